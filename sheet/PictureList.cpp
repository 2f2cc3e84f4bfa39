#include "PictureList.h"

#include <QFile>

PictureList::PictureList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);

    // Big enough to read from a child's distance, the chosen line plain to see
    // whether or not the list has the focus.
    QFont big = font();
    big.setPixelSize(16);
    setFont(big);
    QPalette colours = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, QColor(0xFF, 0x8C, 0x00));
        colours.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    setPalette(colours);

    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedEntry() != nullptr)
            emit selectionMoved();
    });
}

QString PictureList::Path() const
{
    return QFile::decodeName(folder_);
}

void PictureList::setPath(const QString &folder)
{
    folder_ = QFile::encodeName(folder);
    entries_ = listPictures(folder_);
    const QSignalBlocker quiet(this);
    clear();
    for (const CatalogueEntry &entry : entries_)
        addItem(entry.displayName);
}

QString PictureList::FileName() const
{
    const CatalogueEntry *entry = selectedEntry();
    return entry != nullptr ? entry->displayName : QString();
}

QByteArray PictureList::selectedPath() const
{
    const CatalogueEntry *entry = selectedEntry();
    return folder_ + '/' + (entry != nullptr ? entry->nativeName : QByteArray());
}

void PictureList::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    // Qt makes the first line current when the focus comes in, so the first
    // Down would choose the second. While nothing is chosen, nothing is
    // current: the first arrow key then chooses the first line.
    if (selectedEntry() == nullptr)
        selectionModel()->clearCurrentIndex();
}

QItemSelectionModel::SelectionFlags PictureList::selectionCommand(const QModelIndex &index,
                                                                  const QEvent *event) const
{
    // A chosen line can be changed but never cleared (Ctrl+click would).
    const auto flags = QListWidget::selectionCommand(index, event);
    if (index.isValid() && (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
        return QItemSelectionModel::ClearAndSelect;
    return flags;
}

const CatalogueEntry *PictureList::selectedEntry() const
{
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    if (chosen.isEmpty())
        return nullptr;
    const auto row = static_cast<std::size_t>(chosen.front().row());
    return row < entries_.size() ? &entries_[row] : nullptr;
}
