#include "Foglio.h"

#include "ColourConversion.h"
#include "DrawingBox.h"
#include "FrameStyle.h"
#include "NativeFiles.h"
#include "PictureList.h"
#include "PictureLoader.h"
#include "PngPicture.h"
#include "ProgramFolder.h"
#include "Saluti.h"
#include "SheetAccessible.h"

#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <utility>

namespace {

constexpr Colore kGiallo = 0x00C0FFFF;
constexpr Colore kNero = 0x00000000;
constexpr Colore kBianco = 0x00FFFFFF;

// How long the sheet waits for a drawing's file: one that does not answer
// costs the child a second, not the sheet.
constexpr std::chrono::seconds kAttesaDisegno{1};

QIcon picture(const QString &name)
{
    QIcon icon;
    icon.addPixmap(pngPicture(QStringLiteral(":/art/%1-32.png").arg(name)));
    icon.addPixmap(pngPicture(QStringLiteral(":/art/%1-64.png").arg(name)));
    return icon;
}

// The small sans font of ordinary controls, sized in pixels so the captions
// fit their design boxes whatever the screen's dots per inch.
QFont controlFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// A length in whole pixels: the sheet works in pixels, and a half pixel
// (an odd box's half width) rounds up.
int pixels(double length)
{
    return static_cast<int>(std::lround(length));
}

// Pixel positions as the platform reports them, rounded to the nearest
// integer with halves to the even neighbour.
int nearestEven(float value)
{
    return static_cast<int>(std::nearbyint(value));
}

QString colourName(int slot)
{
    const std::string_view name = NomiTavolozza.at(static_cast<std::size_t>(slot));
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

void setColours(QWidget *widget, Colore background, Colore foreground)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, toQColor(background));
    colours.setColor(QPalette::WindowText, toQColor(foreground));
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

} // namespace

Foglio::Foglio(QWidget *parent)
    : QWidget(parent), percorsoIniziale_(risorsa(QStringLiteral("\\gif\\cromello.gif"))),
      disegnoIniziale_(loadPictureAside(nativePath(percorsoIniziale_)))
{
    SheetAccessible::install();
    setWindowTitle(QStringLiteral("TINGOLAMO"));
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowIcon(picture(QStringLiteral("icona")));
    setColours(this, kGiallo, kNero);
    setFont(controlFont());
    resize(292, 485);

    creaControlli();
    impilaControlli();
    ordinaTabulazione();
    nominaControlli();
}

Foglio::~Foglio() = default;

void Foglio::mostra()
{
    // Fills the screen whether or not a window manager is there to maximise it.
    setGeometry(screen()->geometry());
    showFullScreen();
}

void Foglio::creaControlli()
{
    // The template swatch is made first, so that it heads the tab order as
    // it does in the window's design: Qt's setTabOrder cannot move a control
    // in front of the first one of the chain.
    auto *modello = new GraphicButton(this);
    modello->setGeometry(96, 352, 35, 35);
    modello->setBackColour(kBianco);
    modello->setDownPicture(picture(QStringLiteral("stella")));
    modello->setDisabledPicture(picture(QStringLiteral("spunta")));
    modello->setVisible(false);
    Colori.add(0, modello);

    NColori = new QGroupBox(QStringLiteral("N° Colori"), this);
    NColori->setObjectName(QStringLiteral("NColori"));
    NColori->setGeometry(24, 32, 105, 105);
    setColours(NColori, kGiallo, kNero);
    FrameStyle::applyTo(NColori);

    struct Option
    {
        std::int16_t index;
        const char *caption;
        QRect place;
    };
    // Made in index order, which is their tab order inside the frame.
    static constexpr Option kOptions[] = {
        {0, "4", {8, 24, 33, 17}},
        {1, "8", {64, 24, 33, 17}},
        {2, "16", {8, 64, 33, 17}},
        {3, "32", {64, 64, 33, 17}},
    };
    for (const Option &option : kOptions) {
        auto *button = new QRadioButton(QString::fromLatin1(option.caption), NColori);
        button->setGeometry(option.place);
        setColours(button, kGiallo, kNero);
        Scelta.add(option.index, button);
    }
    Scelta(0).setChecked(true);

    Stampa = new GraphicButton(this);
    Stampa->setObjectName(QStringLiteral("Stampa"));
    Stampa->setGeometry(72, 400, 153, 49);
    Stampa->setBackColour(kBianco);
    Stampa->setPicture(picture(QStringLiteral("stampa")));

    Fine = new GraphicButton(this);
    Fine->setObjectName(QStringLiteral("Fine"));
    Fine->setGeometry(32, 400, 153, 49);
    Fine->setBackColour(kBianco);
    Fine->setPicture(picture(QStringLiteral("fine")));

    Disegno = new DrawingBox(this);
    Disegno->setObjectName(QStringLiteral("Disegno"));
    Disegno->setGeometry(48, 40, 145, 185);

    FileList = new PictureList(this);
    FileList->setObjectName(QStringLiteral("FileList"));
    FileList->setGeometry(48, 224, 145, 119);

    Colori.setClickHandler([this](std::int16_t index) { Colori_Click(index); });
    Scelta.setClickHandler([this](std::int16_t index) { Scelta_Click(index); });
    connect(Disegno, &DrawingBox::mouseUp, this, &Foglio::Disegno_MouseUp);
    connect(FileList, &PictureList::selectionMoved, this, &Foglio::FileList_Click);
    connect(Stampa, &QAbstractButton::clicked, this, &Foglio::Stampa_Click);
    connect(Fine, &QAbstractButton::clicked, this, &Foglio::Fine_Click);
}

void Foglio::impilaControlli()
{
    // An earlier control of the design lies above a later one: raise them
    // from the last to the first.
    Colori(0).raise();
    FileList->raise();
    Disegno->raise();
    Fine->raise();
    Stampa->raise();
    for (std::int16_t index = 0; index <= 3; ++index)
        Scelta(index).raise();
    NColori->raise();
}

void Foglio::ordinaTabulazione()
{
    QWidget::setTabOrder(&Colori(0), FileList);
    QWidget::setTabOrder(FileList, Disegno);
    QWidget::setTabOrder(Disegno, Fine);
    QWidget::setTabOrder(Fine, Stampa);
    QWidget::setTabOrder(Stampa, NColori);
}

// The names a screen reader says; nothing of this shows on the screen. The
// swatches take their colour's name when the palette is built.
void Foglio::nominaControlli()
{
    for (std::int16_t index = 0; index <= 3; ++index)
        Scelta(index).setAccessibleName(Scelta(index).text() + QStringLiteral(" colori"));
    Stampa->setSpokenName(QStringLiteral("Stampa il disegno"));
    Fine->setSpokenName(QStringLiteral("Esci"));
    Disegno->setAccessibleName(QStringLiteral("Disegno da colorare"));
    FileList->setAccessibleName(QStringLiteral("Disegni"));
    Colori(0).setDisabledSuffix(QStringLiteral(", scelto"));
}

void Foglio::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// The layout pass. The first resize event lays out the whole sheet; later ones
// (a window manager sends one more right after the first) only redo the
// placements, which depend on constants and on the drawing box alone.
void Foglio::Form_Resize()
{
    if (primoPassaggioFatto_) {
        collocaDisegno();
        collocaLista();
        collocaPulsanti();
        return;
    }
    primoPassaggioFatto_ = true;
    CostruisciTavolozza();
    collocaDisegno();
    caricaDisegnoIniziale();
    Disegno->setScaleMode(DrawingBox::kScalePixels);
    Disegno->setFillStyle(0);
    collocaLista();
    FileList->setPath(risorsa(QStringLiteral("\\Gif")));
    ColoreAttivo = Colori(1).backColour();
    collocaPulsanti();
}

void Foglio::collocaDisegno()
{
    Disegno->move(Disegno->x(), 26);
    Disegno->move(145, Disegno->y());
}

void Foglio::caricaDisegnoIniziale()
{
    PictureLoad load = takeWithin(disegnoIniziale_, kAttesaDisegno);
    if (!load.ok()) {
        // The sheet still comes up whole, so another drawing can be chosen.
        avvisa(QStringLiteral("Il disegno iniziale «%1» non si può aprire: %2.")
                   .arg(QDir::toNativeSeparators(percorsoIniziale_), load.failure));
        return;
    }
    Disegno->setPicture(std::move(load.picture));
}

void Foglio::collocaLista()
{
    FileList->move(FileList->x(), 26);
    FileList->move(505, FileList->y());
    FileList->resize(FileList->width(), 430);
    FileList->resize(130, FileList->height());
}

void Foglio::collocaPulsanti()
{
    const double metà = Disegno->width() / 2.0;
    Fine->resize(pixels(metà), Fine->height());
    Stampa->resize(pixels(metà), Stampa->height());
    Fine->resize(Fine->width(), 35);
    Stampa->resize(Stampa->width(), 35);
    const int sotto = Disegno->y() + Disegno->height();
    Fine->move(Fine->x(), sotto);
    Fine->move(Disegno->x(), Fine->y());
    Stampa->move(Stampa->x(), sotto);
    Stampa->move(Disegno->x() + Disegno->width() - Stampa->width(), Stampa->y());
}

// The palette build: the frame, the size chosen by the options, and one
// swatch per colour, numbered down the columns.
void Foglio::CostruisciTavolozza()
{
    NColori->move(NColori->x(), 26);
    NColori->move(26, NColori->y());
    if (Scelta(0).isChecked())
        NumeroColori = 4;
    if (Scelta(1).isChecked())
        NumeroColori = 8;
    if (Scelta(2).isChecked())
        NumeroColori = 16;
    if (Scelta(3).isChecked())
        NumeroColori = 32;
    Tavolozza.fill();
    const SwatchGrid grid = swatchGrid(NumeroColori).value();
    std::int16_t k = 0;
    for (int column = 0; column < grid.columns; ++column) {
        for (int row = 0; row < grid.rows; ++row) {
            ++k;
            GraphicButton &swatch = Colori.Load(k);
            swatch.resize(swatch.width(), grid.height);
            swatch.resize(grid.width, swatch.height());
            swatch.setAppearance(GraphicButton::Appearance::Flat);
            swatch.move(grid.left(column), swatch.y());
            swatch.move(swatch.x(), grid.top(row));
            swatch.setBackColour(Tavolozza.at(k - 1));
            swatch.setSpokenName(colourName(k - 1));
            swatch.setVisible(true);
        }
    }
}

void Foglio::Scelta_Click(std::int16_t)
{
    for (std::int16_t k = 1; k <= NumeroColori; ++k)
        Colori.Unload(k);
    IndiceAttivo = 1;
    CostruisciTavolozza();
    ColoreAttivo = Colori(1).backColour();
}

void Foglio::Colori_Click(std::int16_t index)
{
    ColoreAttivo = Colori(index).backColour();
    Colori(indiceAttivo()).setEnabled(true);
    Colori(index).setEnabled(false);
    IndiceAttivo = index;
    Disegno->setFocus();
    Suona(risorsa(QStringLiteral("\\Suoni\\colori.wav")));
}

void Foglio::Disegno_MouseUp(std::int16_t, std::int16_t, float x, float y)
{
    Disegno->setFillColour(ColoreAttivo);
    const int py = nearestEven(y);
    const int px = nearestEven(x);
    Disegno->floodFill(px, py);
    Suona(risorsa(QStringLiteral("\\Suoni\\riempi.wav")));
}

void Foglio::FileList_Click()
{
    // Read aside, so a parent's page on a share that stops answering cannot
    // freeze the sheet.
    std::future<PictureLoad> pending = loadPictureAside(FileList->selectedPath());
    PictureLoad load = takeWithin(pending, kAttesaDisegno);
    if (!load.ok()) {
        avvisa(QStringLiteral("Il disegno «%1» non si può aprire: %2.")
                   .arg(FileList->FileName(), load.failure));
        return;
    }
    Disegno->setPicture(std::move(load.picture));
    Suona(risorsa(QStringLiteral("\\Suoni\\disegno.wav")));
}

void Foglio::Stampa_Click()
{
    const QString errore = stampaPagina(Disegno->Picture());
    if (!errore.isEmpty())
        avvisa(errore);
}

// Every way out of the farewell window ends the program, so nothing runs
// after it has been shown. The sheet is named as its parent: a compositor
// that stacks and focuses windows by their family (Wayland's have nothing
// else to go by) then shows it above the full-screen sheet and gives it the
// input, where a window of no family would open hidden behind a sheet that
// takes no more input.
void Foglio::Fine_Click()
{
    if (!saluti_)
        saluti_ = new Saluti(this);
    saluti_->exec();
}

void Foglio::Suona(const QString &path)
{
    if (auto *suona = suoni_.entry<void(const QString &)>("tingolamoSuona"))
        suona(path);
}

QString Foglio::stampaPagina(const QImage &picture)
{
    auto *stampa = stampa_.entry<void(const QImage &, QString &)>("tingolamoStampa");
    if (!stampa)
        return QStringLiteral("La stampa non è disponibile: manca una parte del programma.");
    QString errore;
    stampa(picture, errore);
    return errore;
}

QString Foglio::risorsa(const QString &relative) const
{
    return resolveResource(programFolder(), relative);
}

// One message for the grown-up, shown once the current handler has finished
// so the sheet is never left half built behind it.
void Foglio::avvisa(const QString &message)
{
    QTimer::singleShot(0, this, [this, message] {
        QMessageBox::warning(this, QStringLiteral("TINGOLAMO"), message);
    });
}
