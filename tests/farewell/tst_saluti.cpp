#include "Saluti.h"
#include "ScenarioFiglio.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTest>

namespace {

const QColor giallino(255, 255, 192);

QLabel *etichetta(const Saluti &saluti, const QString &nome, int index = -1)
{
    const QList<QLabel *> trovate = saluti.findChildren<QLabel *>(nome);
    for (QLabel *label : trovate) {
        if (index < 0 || label->property("index").toInt() == index)
            return label;
    }
    return nullptr;
}

QString descrivi(const QWidget *w)
{
    if (!w)
        return QStringLiteral("(window)");
    const QVariant index = w->property("index");
    return index.isValid() ? QStringLiteral("%1(%2)").arg(w->objectName()).arg(index.toInt())
                           : w->objectName();
}

} // namespace

class TestSaluti : public QObject
{
    Q_OBJECT

private slots:
    void finestra();
    void controlli_data();
    void controlli();
    void impilamento_data();
    void impilamento();
    void testi_data();
    void testi();
    void testiNeiRiquadri();
    void sfondoTrasparente();
    void immagini_data();
    void immagini();
    void tornaDopoRiduzione();
    void fine_data();
    void fine();
};

void TestSaluti::finestra()
{
    Saluti saluti;
    QCOMPARE(saluti.windowTitle(), QStringLiteral("Info"));
    // Qt adds the system menu hint itself whenever a close box is asked for.
    const Qt::WindowFlags flags = saluti.windowFlags();
    QCOMPARE(saluti.windowType(), Qt::Dialog);
    QCOMPARE(flags & ~Qt::WindowSystemMenuHint, Qt::Dialog | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint |
                                                    Qt::WindowCloseButtonHint);
    QCOMPARE(saluti.minimumSize(), QSize(430, 299));
    QCOMPARE(saluti.maximumSize(), QSize(430, 299));

    saluti.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saluti));
    const QRect schermo = saluti.screen()->availableGeometry();
    QCOMPARE(saluti.geometry(), QRect(425, 362, 430, 299));
    QCOMPARE(saluti.geometry().center(), schermo.center());

    const QImage immagine = saluti.grab().toImage();
    QCOMPARE(immagine.size(), QSize(430, 299));
    QCOMPARE(immagine.pixelColor(420, 5), giallino);
    QCOMPARE(immagine.pixelColor(2, 296), giallino);
}

void TestSaluti::controlli_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("atteso");
    QTest::newRow("Label3") << "Label3" << -1 << QRect(16, 104, 217, 57);
    QTest::newRow("Image2") << "Image2" << -1 << QRect(208, 88, 223, 216);
    QTest::newRow("Image1") << "Image1" << -1 << QRect(64, 192, 59, 70);
    QTest::newRow("Label1") << "Label1" << -1 << QRect(16, 16, 393, 105);
    // The Label2 elements size themselves to their text; their corner stays.
    QTest::newRow("Label2(1)") << "Label2" << 1 << QRect(8, 264, 166, 24);
    QTest::newRow("Label2(0)") << "Label2" << 0 << QRect(16, 168, 201, 24);
}

void TestSaluti::controlli()
{
    QFETCH(QString, nome);
    QFETCH(int, index);
    QFETCH(QRect, atteso);
    Saluti saluti;
    QCOMPARE(saluti.findChildren<QWidget *>().size(), 6);
    const QLabel *label = etichetta(saluti, nome, index);
    QVERIFY(label);
    QCOMPARE(label->parentWidget(), &saluti);
    QVERIFY(label->isVisibleTo(&saluti));
    if (nome == QLatin1String("Label2")) {
        QCOMPARE(label->pos(), atteso.topLeft());
        QVERIFY2(label->width() <= atteso.width() + 4 && label->width() >= atteso.width() - 50,
                 qPrintable(QString::number(label->width())));
        QVERIFY2(label->height() <= atteso.height() && label->height() >= 16,
                 qPrintable(QString::number(label->height())));
    } else {
        QCOMPARE(label->geometry(), atteso);
    }
}

void TestSaluti::impilamento_data()
{
    QTest::addColumn<QPoint>("punto");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("background top right") << QPoint(420, 10) << "(window)";
    QTest::newRow("background bottom left") << QPoint(150, 285) << "(window)";
    QTest::newRow("Label1 alone") << QPoint(30, 30) << "Label1";
    QTest::newRow("Label3 over Label1") << QPoint(20, 110) << "Label3";
    QTest::newRow("Label3 over Image2") << QPoint(225, 150) << "Label3";
    QTest::newRow("Label3 over Label1 and Image2") << QPoint(220, 115) << "Label3";
    QTest::newRow("Image2 over Label1") << QPoint(300, 100) << "Image2";
    QTest::newRow("Image2 over Label2(0)") << QPoint(212, 175) << "Image2";
    QTest::newRow("Image2 at the clipped corner") << QPoint(429, 298) << "Image2";
    QTest::newRow("Image1 transparent corner") << QPoint(64, 192) << "Image1";
    QTest::newRow("Image1 centre") << QPoint(93, 227) << "Image1";
    QTest::newRow("Label2(0)") << QPoint(20, 175) << "Label2(0)";
    QTest::newRow("Label2(1)") << QPoint(12, 270) << "Label2(1)";
}

void TestSaluti::impilamento()
{
    QFETCH(QPoint, punto);
    QFETCH(QString, atteso);
    Saluti saluti;
    QCOMPARE(descrivi(saluti.childAt(punto)), atteso);
}

void TestSaluti::testi_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("pixel");
    QTest::addColumn<bool>("aCapo");
    QTest::newRow("Label1") << "Label1" << -1
                            << QString::fromUtf8("Questo programma \xC3\xA8 stato scritto da "
                                                 "Pittorello per far giocare tutti i bambini "
                                                 "del mondo     ")
                            << 24 << true;
    QTest::newRow("Label3") << "Label3" << -1 << "grazie anche a Lisetta e Tobiolo" << 24 << true;
    QTest::newRow("Label2(0)") << "Label2" << 0 << "Freeware: copialo pure!" << 18 << false;
    QTest::newRow("Label2(1)") << "Label2" << 1 << "pittore@example.org" << 18 << false;
}

void TestSaluti::testi()
{
    QFETCH(QString, nome);
    QFETCH(int, index);
    QFETCH(QString, testo);
    QFETCH(int, pixel);
    QFETCH(bool, aCapo);
    Saluti saluti;
    const QLabel *label = etichetta(saluti, nome, index);
    QVERIFY(label);
    QCOMPARE(label->text(), testo);
    QCOMPARE(label->wordWrap(), aCapo);
    QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QCOMPARE(label->foregroundRole(), QPalette::ButtonText);

    const QFont font = label->font();
    QCOMPARE(font.pixelSize(), pixel);
    QVERIFY(!font.bold() && !font.italic() && !font.underline() && !font.strikeOut());
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(font).pixelSize(), pixel);
}

// The wrapped texts stay inside their fixed boxes; each Label2 element keeps
// to one line.
void TestSaluti::testiNeiRiquadri()
{
    Saluti saluti;
    for (const QString &nome : {QStringLiteral("Label1"), QStringLiteral("Label3")}) {
        const QLabel *label = etichetta(saluti, nome);
        const QRect usato = label->fontMetrics().boundingRect(
            label->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
        QVERIFY2(
            label->contentsRect().contains(usato),
            qPrintable(nome +
                       QStringLiteral(" needs %1 x %2").arg(usato.width()).arg(usato.height())));
    }
    QCOMPARE(etichetta(saluti, QStringLiteral("Label3"))->heightForWidth(217) /
                 etichetta(saluti, QStringLiteral("Label3"))->fontMetrics().height(),
             2);
    for (int index : {0, 1}) {
        const QLabel *label = etichetta(saluti, QStringLiteral("Label2"), index);
        const QFontMetrics metriche = label->fontMetrics();
        QVERIFY(label->height() < 2 * metriche.lineSpacing());
        QVERIFY(label->width() >= metriche.horizontalAdvance(label->text()));
    }
}

// The labels let the window's yellow through: beside the end of the thank-you
// line and below the dedication's text nothing is painted.
void TestSaluti::sfondoTrasparente()
{
    Saluti saluti;
    saluti.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saluti));
    const QImage immagine = saluti.grab().toImage();
    QCOMPARE(immagine.pixelColor(200, 109), giallino);
    QCOMPARE(immagine.pixelColor(200, 158), giallino);
}

void TestSaluti::immagini_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("risorsa");
    QTest::addColumn<QRect>("atteso");
    QTest::newRow("Image1") << "Image1"
                            << ":/saluti/Image1.gif" << QRect(64, 192, 59, 70);
    QTest::newRow("Image2") << "Image2"
                            << ":/saluti/Image2.gif" << QRect(208, 88, 223, 216);
}

// Each picture is shown unscaled from its control's corner, its transparent
// surround showing the yellow.
void TestSaluti::immagini()
{
    QFETCH(QString, nome);
    QFETCH(QString, risorsa);
    QFETCH(QRect, atteso);
    if (!QFile::exists(risorsa))
        QSKIP("the farewell pictures are not compiled in yet");

    Saluti saluti;
    saluti.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saluti));
    const QLabel *image = etichetta(saluti, nome);
    QVERIFY(image);
    const QImage originale(risorsa);
    QCOMPARE(originale.size(), atteso.size());
    QVERIFY(originale.hasAlphaChannel());
    QCOMPARE(image->pixmap().size(), atteso.size());
    QCOMPARE(image->geometry(), atteso);

    // Opaque pixels show as drawn (except under the thank-you line); where
    // the picture is transparent and no other control lies, the yellow shows.
    QRegion altri;
    for (const QWidget *w : saluti.findChildren<QWidget *>()) {
        if (w != image)
            altri += w->geometry();
    }
    const QImage schermata = saluti.grab().toImage();
    const QRect visibile = atteso.intersected(saluti.rect());
    const QRect sopra = etichetta(saluti, QStringLiteral("Label3"))->geometry();
    int opachi = 0;
    int trasparenti = 0;
    for (int y = visibile.top(); y <= visibile.bottom(); ++y) {
        for (int x = visibile.left(); x <= visibile.right(); ++x) {
            const QColor sorgente = originale.pixelColor(x - atteso.x(), y - atteso.y());
            if (sorgente.alpha() == 255 && !sopra.contains(x, y)) {
                ++opachi;
                QCOMPARE(schermata.pixelColor(x, y), sorgente);
            } else if (sorgente.alpha() == 0 && !altri.contains(QPoint(x, y))) {
                ++trasparenti;
                QCOMPARE(schermata.pixelColor(x, y), giallino);
            }
        }
    }
    QVERIFY(opachi > 0);
    QVERIFY(trasparenti > 0);
}

// Minimised by a window manager that offers the button anyway, the window
// comes back by itself.
void TestSaluti::tornaDopoRiduzione()
{
    Saluti saluti;
    saluti.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saluti));
    saluti.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!saluti.isMinimized());
    QVERIFY(saluti.isVisible());
    QCOMPARE(saluti.geometry(), QRect(425, 362, 430, 299));
}

void TestSaluti::fine_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("stato");
    QTest::addColumn<QByteArray>("uscita");
    const QByteArray nulla("pronto ");
    for (const char *scenario :
         {"finestra", "finestra-tasto-destro", "Image1", "Image1-angolo", "Image2",
          "Image2-sopra-Label1", "Image2-bordo", "Label1", "Label2-0", "Label2-1"})
        QTest::newRow(scenario) << scenario << 0 << nulla;
    QTest::newRow("close command") << "chiusura" << 0 << QByteArray("pronto chiusura Saluti\n");
    QTest::newRow("Label3, keys and the sheet") << "resta" << 3 << QByteArray("pronto aperta\n");
}

// The real ending runs in a child process: it must leave at once with status
// 0, flushing what was written, and without any further close event of the
// farewell window or the sheet.
void TestSaluti::fine()
{
    QFETCH(QString, scenario);
    QFETCH(int, stato);
    QFETCH(QByteArray, uscita);
    // qemu-user refuses the clone with which QProcess starts a child.
    if (qEnvironmentVariableIsSet("TINGOLAMO_TEST_EMULATOR"))
        QSKIP("under the user-mode emulator no child process can be started");
    QProcess figlio;
    figlio.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--figlio"), scenario});
    QVERIFY(figlio.waitForFinished(30000));
    QCOMPARE(figlio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(figlio.readAllStandardOutput(), uscita);
    QCOMPARE(figlio.exitCode(), stato);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList argomenti = QCoreApplication::arguments();
    if (argomenti.size() == 3 && argomenti.at(1) == QLatin1String("--figlio"))
        return eseguiScenario(argomenti.at(2));
    TestSaluti test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_saluti.moc"
