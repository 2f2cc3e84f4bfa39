#include "PictureList.h"

#include "NativeFiles.h"

#include <QApplication>
#include <QScrollBar>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>

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

    // Touches come as touches, not as the mouse events Qt would make of them:
    // a finger dragged like a held mouse button would choose every line it
    // crosses.
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);

    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedEntry() != nullptr)
            emit selectionMoved();
    });
}

QString PictureList::Path() const
{
    return fromNativePath(folder_);
}

void PictureList::setPath(const QString &folder)
{
    folder_ = nativePath(folder);
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

bool PictureList::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        break;
    default:
        return QListWidget::viewportEvent(event);
    }
    auto *touch = static_cast<QTouchEvent *>(event);
    event->accept();
    if (event->type() == QEvent::TouchCancel || touch->points().isEmpty()) {
        swiping_ = false;
        return true;
    }
    const QPointF at = touch->points().constFirst().position();
    if (event->type() == QEvent::TouchBegin)
        touchBegin(at);
    else if (event->type() == QEvent::TouchUpdate)
        touchMove(at);
    else
        touchEnd(at);
    return true;
}

void PictureList::touchBegin(const QPointF &at)
{
    touchStart_ = at;
    scrollStart_ = verticalScrollBar()->value();
    swiping_ = false;
}

// Once the finger has moved farther than a tap allows, the lines follow it.
void PictureList::touchMove(const QPointF &at)
{
    const QPointF moved = at - touchStart_;
    if (!swiping_ && moved.manhattanLength() < QApplication::startDragDistance())
        return;
    swiping_ = true;
    // The scroll bar counts lines, or pixels where the style scrolls by pixel.
    const int step = verticalScrollMode() == ScrollPerPixel ? 1 : std::max(1, sizeHintForRow(0));
    verticalScrollBar()->setValue(scrollStart_ - static_cast<int>(std::lround(moved.y() / step)));
}

void PictureList::touchEnd(const QPointF &at)
{
    if (swiping_) {
        swiping_ = false;
        return;
    }
    const QModelIndex line = indexAt(at.toPoint());
    if (!line.isValid())
        return;
    setFocus(Qt::MouseFocusReason);
    setCurrentIndex(line);
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
