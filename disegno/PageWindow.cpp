#include "PageWindow.h"

#include "AdminWrite.h"
#include "PageFile.h"
#include "PageRules.h"
#include "PageSteps.h"
#include "PageWorker.h"
#include "PictureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

// The program's light yellow, and the white of its drawing box.
const QColor kBackground(255, 255, 192);
const QColor kPaper(255, 255, 255);

QLabel *pictureBox(const QString &name, QWidget *parent)
{
    auto *box = new QLabel(parent);
    box->setFixedSize(kPageBox);
    box->setAlignment(Qt::AlignCenter);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, kPaper);
    box->setPalette(palette);
    box->setAccessibleName(name);
    return box;
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

void print(const PageOutcome &outcome)
{
    QTextStream stream(outcome.written() ? stdout : stderr);
    stream << outcome.line << Qt::endl;
}

} // namespace

PageWindow::PageWindow(const QString &folder, bool programFolder, std::chrono::milliseconds bound,
                       QWidget *parent)
    : QWidget(parent), folder_(folder), programFolder_(programFolder), bound_(bound),
      worker_(new PageWorker(this)), adminWrite_(new AdminWrite(this))
{
    setWindowTitle(QStringLiteral("Aggiungi un disegno a TINGOLAMO"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/art/icona-32.png"));
    icon.addFile(QStringLiteral(":/art/icona-64.png"));
    setWindowIcon(icon);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);

    sentence_ = new QLabel(this);
    sentence_->setWordWrap(true);
    sentence_->setMinimumHeight(sentence_->fontMetrics().lineSpacing() * 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeBoxes());
    layout->addWidget(sentence_);
    layout->addWidget(makeButtons());

    connect(worker_, &PageWorker::finished, this, &PageWindow::showConversion);
    connect(adminWrite_, &AdminWrite::finished, this, &PageWindow::showOutcome);
}

QWidget *PageWindow::makeBoxes()
{
    auto *boxes = new QWidget(this);
    auto *grid = new QGridLayout(boxes);
    grid->setContentsMargins(0, 0, 0, 0);
    picture_ = pictureBox(QStringLiteral("Anteprima dell'immagine"), boxes);
    drawing_ = pictureBox(QStringLiteral("Anteprima del disegno"), boxes);
    grid->addWidget(caption(QStringLiteral("L'immagine"), boxes), 0, 0);
    grid->addWidget(caption(QStringLiteral("Il disegno da colorare"), boxes), 0, 1);
    grid->addWidget(picture_, 1, 0);
    grid->addWidget(drawing_, 1, 1);
    return boxes;
}

QWidget *PageWindow::makeButtons()
{
    auto *buttons = new QWidget(this);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    add_ = new QPushButton(QStringLiteral("&Aggiungi"), buttons);
    cancel_ = new QPushButton(QStringLiteral("A&nnulla"), buttons);
    add_->setEnabled(false);
    add_->setDefault(true);
    row->addStretch();
    row->addWidget(cancel_);
    row->addWidget(add_);
    connect(add_, &QPushButton::clicked, this, &PageWindow::add);
    connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
    return buttons;
}

void PageWindow::open(const QString &picturePath)
{
    picturePath_ = picturePath;
    name_ = drawingName(picturePath);
    say(QStringLiteral("Preparo il disegno da %1…").arg(QFileInfo(picturePath).fileName()));
    if (const std::optional<PageOutcome> early =
            outcomeBeforeReading(picturePath, folder_, name_)) {
        print(*early);
        say(sentenceFor(early->kind, early->reason));
        return;
    }
    const FileBytes file = readPictureFile(picturePath);
    if (!file.ok()) {
        refuse(file.failure);
        return;
    }
    worker_->start(file.bytes, QFileInfo(picturePath).fileName(), bound_);
}

void PageWindow::showConversion(const Conversion &conversion)
{
    if (!conversion.preview.isNull())
        picture_->setPixmap(QPixmap::fromImage(conversion.preview));
    if (!conversion.refusal.isEmpty()) {
        refuse(conversion.refusal);
        return;
    }
    page_ = checkPage(conversion.gif);
    if (!page_.ok()) {
        refuse(page_.problem);
        return;
    }
    drawing_->setPixmap(QPixmap::fromImage(page_.page));
    say(QStringLiteral("Il disegno ha %1 da colorare.").arg(areasText(page_.areas)));
    add_->setEnabled(true);
    add_->setFocus();
}

void PageWindow::add()
{
    add_->setEnabled(false);
    if (programFolder_ && AdminWrite::needed(folder_)) {
        say(QStringLiteral("Aspetto il permesso dell'amministratore…"));
        adminWrite_->start(name_, page_.gif);
        return;
    }
    const PageOutcome outcome = writePage(picturePath_, folder_, name_, page_);
    showOutcome(outcome.kind, outcome.reason);
}

QString PageWindow::sentenceFor(PageOutcome::Kind kind, const QString &reason) const
{
    switch (kind) {
    case PageOutcome::Kind::Written:
        return QStringLiteral("Fatto: %1 è tra i disegni, e TINGOLAMO lo mostra dalla prossima "
                              "volta che parte.")
            .arg(name_);
    case PageOutcome::Kind::Skipped:
        return QStringLiteral("C'è già un disegno che si chiama %1: non lo sostituisco.")
            .arg(name_);
    case PageOutcome::Kind::Refused:
        break;
    }
    return QStringLiteral("Questa immagine non può diventare un disegno: %1.").arg(reason);
}

void PageWindow::showOutcome(PageOutcome::Kind kind, const QString &reason)
{
    const QString target = QDir(folder_).filePath(name_);
    switch (kind) {
    case PageOutcome::Kind::Written:
        print(writtenOutcome(picturePath_, target, page_));
        say(sentenceFor(kind, reason));
        cancel_->setText(QStringLiteral("&Chiudi"));
        break;
    case PageOutcome::Kind::Skipped:
        print(skippedOutcome(picturePath_, target));
        say(sentenceFor(kind, reason));
        break;
    case PageOutcome::Kind::Refused:
        print(refused(picturePath_, reason));
        say(QStringLiteral("Il disegno non è stato aggiunto: %1.").arg(reason));
        add_->setEnabled(true);
        break;
    }
}

void PageWindow::refuse(const QString &reason)
{
    print(refused(picturePath_, reason));
    say(sentenceFor(PageOutcome::Kind::Refused, reason));
}

void PageWindow::say(const QString &sentence)
{
    sentence_->setText(sentence);
}
