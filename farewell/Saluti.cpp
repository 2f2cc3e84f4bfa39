#include "Saluti.h"

#include "Cliccabile.h"
#include "Uscita.h"

#include <QCloseEvent>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

namespace {

constexpr QSize dimensioneCliente(430, 299);
const QColor giallino(255, 255, 192);

// The texts are drawn at 18 pt and 13.5 pt at 96 dpi, fixed in pixels so that
// the window looks the same whatever the screen's DPI setting.
constexpr int pixelGrandi = 24;
constexpr int pixelPiccoli = 18;

QFont caratteri(int pixel)
{
    // Liberation Sans has the widths of the classic Windows sans fonts, so the
    // texts break and fit as the window was drawn for.
    QFont font(QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                           QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixel);
    font.setWeight(QFont::Normal);
    return font;
}

// A farewell picture at its own size, drawn for the given pixel density: on
// a dense screen from its double-size version, so the figure stays sharp.
QPixmap immagineSaluti(const QString &nome, qreal densita)
{
    const QString base = QStringLiteral(":/saluti/%1").arg(nome);
    const QSize dimensione = QImageReader(base + QStringLiteral(".gif")).size();
    if (!dimensione.isValid())
        return {};
    QIcon immagine;
    immagine.addFile(base + QStringLiteral(".gif"), dimensione);
    immagine.addFile(base + QStringLiteral("@2x.gif"), dimensione * 2);
    return immagine.pixmap(dimensione, densita);
}

void impostaTesto(QLabel *label, const QString &testo, int pixel)
{
    label->setFont(caratteri(pixel));
    label->setForegroundRole(QPalette::ButtonText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(testo);
}

} // namespace

Saluti::Saluti(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    impostaFinestra();
    creaControlli();
    centraSulloSchermo();
}

void Saluti::impostaFinestra()
{
    setObjectName(QStringLiteral("Saluti"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(dimensioneCliente);
    QPalette tavolozza = palette();
    tavolozza.setColor(QPalette::Window, giallino);
    setPalette(tavolozza);
    setAutoFillBackground(true);
}

// Qt stacks later children above earlier ones, so the controls are made from
// the bottom up: Label1, Label2(0), Label2(1), Image1, Image2, Label3.
void Saluti::creaControlli()
{
    connect(creaDedica(), &Cliccabile::clic, this, &Saluti::Label1_Click);
    for (const qint16 index : {0, 1}) {
        connect(creaLabel2(index), &Cliccabile::clic, this, [this, index] { Label2_Click(index); });
    }
    Cliccabile *image1 = creaImmagine(QStringLiteral("Image1"), QRect(64, 192, 59, 70));
    image1->setAccessibleName(QStringLiteral("Un bambino che cammina e saluta"));
    connect(image1, &Cliccabile::clic, this, &Saluti::Image1_Click);
    Cliccabile *image2 = creaImmagine(QStringLiteral("Image2"), QRect(208, 88, 223, 216));
    image2->setAccessibleName(QStringLiteral("Un amico che saluta con le mani alzate"));
    connect(image2, &Cliccabile::clic, this, &Saluti::Image2_Click);
    creaRingraziamento();
}

Cliccabile *Saluti::creaDidascalia(const QString &nome, const QString &testo, int pixel)
{
    auto *label = new Cliccabile(this);
    label->setObjectName(nome);
    impostaTesto(label, testo, pixel);
    return label;
}

Cliccabile *Saluti::creaDedica()
{
    Cliccabile *label1 = creaDidascalia(
        QStringLiteral("Label1"),
        QStringLiteral("Questo programma è stato scritto da Pittorello per far giocare tutti i "
                       "bambini del mondo     "),
        pixelGrandi);
    label1->setWordWrap(true);
    label1->setGeometry(16, 16, 393, 105);
    return label1;
}

// The two elements of the Label2 array share the objectName "Label2" and carry
// their element number in the property "index". Each keeps its top-left
// corner and takes the size of its text on one line.
Cliccabile *Saluti::creaLabel2(qint16 index)
{
    const QString testi[]{QStringLiteral("Freeware: copialo pure!"),
                          QStringLiteral("pittore@example.org")};
    const QPoint angoli[]{{16, 168}, {8, 264}};
    Cliccabile *label2 = creaDidascalia(QStringLiteral("Label2"), testi[index], pixelPiccoli);
    label2->setProperty("index", index);
    label2->move(angoli[index]);
    label2->adjustSize();
    return label2;
}

// A picture is shown at its own size from the control's top-left corner, with
// its transparent surround; a picture that cannot be loaded shows nothing and
// the control keeps the size it was drawn with.
Cliccabile *Saluti::creaImmagine(const QString &nome, const QRect &progetto)
{
    auto *image = new Cliccabile(this);
    image->setObjectName(nome);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPixmap immagine = immagineSaluti(nome, image->devicePixelRatioF());
    image->setPixmap(immagine);
    const QSize dimensione =
        immagine.isNull() ? progetto.size() : immagine.deviceIndependentSize().toSize();
    image->setGeometry(QRect(progetto.topLeft(), dimensione));
    return image;
}

// The thank-you line answers no click, but it keeps every mouse event from
// the dedication, the picture and the window beneath it.
QLabel *Saluti::creaRingraziamento()
{
    auto *label3 = new QLabel(this);
    label3->setObjectName(QStringLiteral("Label3"));
    impostaTesto(label3, QStringLiteral("grazie anche a Lisetta e Tobiolo"), pixelGrandi);
    label3->setWordWrap(true);
    label3->setGeometry(16, 104, 217, 57);
    label3->setAttribute(Qt::WA_NoMousePropagation);
    return label3;
}

// Placed explicitly: the client area lies in the middle of the screen's
// available area, whatever frame the window manager adds around it.
void Saluti::centraSulloSchermo()
{
    const QRect disponibile = screen()->availableGeometry();
    const QPoint angolo(disponibile.x() + (disponibile.width() - dimensioneCliente.width()) / 2,
                        disponibile.y() + (disponibile.height() - dimensioneCliente.height()) / 2);
    setGeometry(QRect(angolo, dimensioneCliente));
}

void Saluti::reject() {}

// Once drawn for the first time, the window asks for the input: a compositor
// that hands it over on request (with the token of the sheet's last click)
// then gives it to the window that is the only way on. Asked before the
// first picture reaches the screen, a compositor may not know the window yet
// and ignore the request.
void Saluti::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (inputChiesto)
        return;
    inputChiesto = true;
    QMetaObject::invokeMethod(this, &Saluti::activateWindow, Qt::QueuedConnection);
}

// Any mouse button makes a click, on the window as on its controls.
void Saluti::mousePressEvent(QMouseEvent *event)
{
    premuto = true;
    event->accept();
}

void Saluti::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool clicQui = premuto && rect().contains(event->position().toPoint());
    premuto = false;
    if (clicQui)
        Form_Click();
}

void Saluti::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

// The close box and the system's close command end the program from here.
void Saluti::closeEvent(QCloseEvent * /*event*/)
{
    qint16 cancel = 0;
    Form_Unload(cancel);
}

// Some window managers offer a minimise button although the window asks for
// none. The window comes straight back: the sheet beneath takes no input
// while it is open, so hidden it would leave no way out.
void Saluti::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(this, &Saluti::ripristina, Qt::QueuedConnection);
}

void Saluti::ripristina()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    activateWindow();
}

void Saluti::Form_Click()
{
    TerminaProgramma();
}

void Saluti::Form_Unload(qint16 & /*cancel*/)
{
    TerminaProgramma();
}

void Saluti::Image1_Click()
{
    TerminaProgramma();
}

void Saluti::Image2_Click()
{
    TerminaProgramma();
}

void Saluti::Label1_Click()
{
    TerminaProgramma();
}

void Saluti::Label2_Click(qint16 /*index*/)
{
    TerminaProgramma();
}
