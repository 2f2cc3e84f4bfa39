#include "DrawingCheck.h"
#include "PictureLoader.h"
#include "VectorPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

// Runs the built tingolamo-disegno on pictures of every kind it reads, each
// drawn here, and checks the drawings it writes with the picture folder's own
// rules.
class TestDisegno : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void turnsPicturesIntoPages_data();
    void turnsPicturesIntoPages();
    void refusesWhatCannotBeColoured_data();
    void refusesWhatCannotBeColoured();
    void keepsAnExistingDrawing();
    void writesIntoThePictureFolderOfItsRealFolder();

private:
    QTemporaryDir pictures;
    std::unique_ptr<QTemporaryDir> output; // a new one for every test
};

namespace {

const QString program = QStringLiteral(TINGOLAMO_DISEGNO);

struct Run
{
    int exitCode = -1;
    QStringList out;
    QStringList err;
};

QStringList lines(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

Run run(const QString &executable, const QStringList &arguments)
{
    QProcess process;
    // Read as text: a line ends in "\r\n" on Windows.
    process.start(executable, arguments, QIODevice::ReadOnly | QIODevice::Text);
    Run result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = lines(process.readAllStandardOutput());
    result.err = lines(process.readAllStandardError());
    return result;
}

QString withName(const QTemporaryDir &dir, const QString &name)
{
    return dir.filePath(name);
}

// A page at twice the page size, anti-aliased in dark grey: a frame cut into
// two halves; a ring and a ring too small to colour in the top half, a large
// dark disc in the bottom half. Four areas: the paper round the frame, the
// two halves and the inside of the ring.
QImage antiAliasedDrawing()
{
    QImage image(710, 1120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 70, 70), 3.3));
    painter.drawRect(QRectF(40.5, 40.5, 630, 1040));
    painter.drawLine(QPointF(40, 560.5), QPointF(670, 560.5));
    painter.drawEllipse(QPointF(200, 300), 90, 90);
    painter.drawEllipse(QPointF(500, 300), 6, 6);
    painter.setBrush(QColor(70, 70, 70));
    painter.drawEllipse(QPointF(355, 820), 230, 230);
    return image;
}

// Grey paper with grain and specks, in light that fades from the top right to
// the bottom left as in a photographed sheet; dark lines: a frame cut into
// three columns. Four areas, and the insides of the columns must come out
// clean.
QImage noisyScan()
{
    QImage image(710, 1120, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient light(QPointF(710, 0), QPointF(0, 1120));
        light.setColorAt(0, QColor(225, 225, 225));
        light.setColorAt(1, QColor(130, 130, 130));
        painter.fillRect(image.rect(), light);
        painter.setPen(QPen(QColor(60, 60, 60), 5));
        painter.drawRect(50, 50, 610, 1020);
        painter.drawLine(253, 50, 253, 1070);
        painter.drawLine(456, 50, 456, 1070);
    }
    QRandomGenerator random(15);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]) + random.bounded(-45, 46);
            line[x] = qRgb(qBound(0, grey, 255), qBound(0, grey, 255), qBound(0, grey, 255));
        }
    }
    QPainter specks(&image);
    for (int i = 0; i < 400; ++i)
        specks.fillRect(random.bounded(710), random.bounded(1120), 2, 2, QColor(40, 40, 40));
    return image;
}

QList<QRect> noisyScanInsides()
{
    return {QRect(60, 60, 185, 1000), QRect(263, 60, 185, 1000), QRect(466, 60, 185, 1000)};
}

// Black lines on transparent pixels that are themselves black with no alpha,
// smaller than the page: a frame cut by its diagonal. Three areas.
QImage transparentPicture()
{
    QImage image(200, 300, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(10, 10, 180, 280);
    painter.drawLine(10, 10, 190, 290);
    return image;
}

// Thin strokes, a third of a pixel of the page: a frame cut in two halves by
// a line with a gap of exactly two pixels of the page (it is drawn at 14
// units a pixel, four times the page), a ring in each half and a ring too
// small to colour. Five areas.
QByteArray svgDrawing()
{
    return "<?xml version=\"1.0\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"160\""
           " viewBox=\"0 0 100 160\">\n"
           " <g fill=\"none\" stroke=\"#222\" stroke-width=\"0.3\">\n"
           "  <rect x=\"5\" y=\"5\" width=\"90\" height=\"150\"/>\n"
           "  <path d=\"M 50 5 V 80 M 50 80.5714 V 155\"/>\n"
           "  <circle cx=\"27.5\" cy=\"45\" r=\"15\"/>\n"
           "  <circle cx=\"72.5\" cy=\"115\" r=\"15\"/>\n"
           "  <circle cx=\"72.5\" cy=\"45\" r=\"1.5\"/>\n"
           " </g>\n"
           "</svg>\n";
}

// A one-page A4 document: a frame cut into three bands. Four areas.
bool writePdf(const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(40, 40, 500, 750);
    painter.drawLine(40, 290, 540, 290);
    painter.drawLine(40, 540, 540, 540);
    return painter.end();
}

// A photograph's worth of soft light and shade, with no lines at all.
QImage photograph()
{
    QImage shades(40, 30, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < shades.height(); ++y)
        for (int x = 0; x < shades.width(); ++x)
            shades.setPixel(x, y,
                            qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    return shades.scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DrawingRules pageRules()
{
    DrawingRules rules;
    rules.minAreas = 2;
    return rules;
}

bool isBlack(const QImage &image, int x, int y)
{
    return (image.pixel(x, y) & 0x00FFFFFF) == 0;
}

// The first black pixel that lies in no 2 x 2 square of black, if any.
std::optional<QPoint> thinLine(const QImage &image)
{
    const auto square = [&](int left, int top) {
        return left >= 0 && top >= 0 && left + 1 < image.width() && top + 1 < image.height() &&
               isBlack(image, left, top) && isBlack(image, left + 1, top) &&
               isBlack(image, left, top + 1) && isBlack(image, left + 1, top + 1);
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isBlack(image, x, y) && !square(x - 1, y - 1) && !square(x, y - 1) &&
                !square(x - 1, y) && !square(x, y))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

int blackPixels(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += isBlack(image, x, y) ? 1 : 0;
    return count;
}

QRect scaled(const QRect &rect, double factor)
{
    return QRect(QPoint(qRound(rect.left() * factor), qRound(rect.top() * factor)),
                 QPoint(qRound(rect.right() * factor), qRound(rect.bottom() * factor)));
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

void TestDisegno::initTestCase()
{
    QVERIFY(pictures.isValid());
    QVERIFY(antiAliasedDrawing().save(withName(pictures, "Disegno.PNG")));
    QVERIFY(noisyScan().save(withName(pictures, "scansione.jpg"), "JPEG", 80));
    QVERIFY(transparentPicture().save(withName(pictures, "trasparente.png")));
    QVERIFY(writeBytes(withName(pictures, "disegno vettoriale.svg"), svgDrawing()));
    QVERIFY(writePdf(withName(pictures, "pagina.pdf")));
    QVERIFY(writeBytes(withName(pictures, "lettera.png"), "Cara nonna,\nciao!\n"));
    QImage blank(600, 800, QImage::Format_RGB32);
    blank.fill(QColor(235, 235, 230));
    QVERIFY(blank.save(withName(pictures, "bianca.jpg"), "JPEG", 60));
    QVERIFY(photograph().save(withName(pictures, "foto.jpg"), "JPEG", 90));
}

void TestDisegno::init()
{
    output = std::make_unique<QTemporaryDir>();
    QVERIFY(output->isValid());
}

void TestDisegno::turnsPicturesIntoPages_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("drawing");
    QTest::addColumn<int>("areas");
    QTest::addColumn<QList<QRect>>("cleanInsides");

    QTest::newRow("anti-aliased grey PNG") << "Disegno.PNG"
                                           << "disegno.gif" << 4 << QList<QRect>();
    QTest::newRow("noisy, shaded JPEG scan") << "scansione.jpg"
                                             << "scansione.gif" << 4 << noisyScanInsides();
    QTest::newRow("transparent PNG") << "trasparente.png"
                                     << "trasparente.gif" << 3 << QList<QRect>();
    if (!vectorPicturesReadable())
        return;
    QTest::newRow("SVG") << "disegno vettoriale.svg"
                         << "disegno vettoriale.gif" << 5 << QList<QRect>();
    QTest::newRow("PDF") << "pagina.pdf"
                         << "pagina.gif" << 4 << QList<QRect>();
}

void TestDisegno::turnsPicturesIntoPages()
{
    QFETCH(QString, picture);
    QFETCH(QString, drawing);
    QFETCH(int, areas);
    QFETCH(QList<QRect>, cleanInsides);

    const Run result =
        run(program, {QStringLiteral("--cartella"), output->path(), withName(pictures, picture)});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err.join('\n')));
    QCOMPARE(result.out.size(), 1);
    QVERIFY2(result.out.first().contains(QStringLiteral("scritto")), qPrintable(result.out[0]));
    QCOMPARE(entries(*output), QStringList{drawing});

    const QString path = output->filePath(drawing);
    QVERIFY(QFileInfo(path).permissions() & QFile::ReadOther);
    QVERIFY(decodePicture(readBytes(path)).ok());
    const QStringList problems = drawingFileProblems(path, pageRules());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));

    const QImage page(path);
    QCOMPARE(countAreas(page).areas, areas);
    QVERIFY(page.width() == 355 || page.height() == 560);
    const std::optional<QPoint> thin = thinLine(page);
    QVERIFY2(!thin,
             thin ? qPrintable(QStringLiteral("thin line at %1, %2").arg(thin->x()).arg(thin->y()))
                  : "");
    const double factor = double(page.width()) / QImage(withName(pictures, picture)).width();
    for (const QRect &inside : cleanInsides)
        QCOMPARE(blackPixels(page, scaled(inside, factor)), 0);
}

void TestDisegno::refusesWhatCannotBeColoured_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text named .png") << "lettera.png"
                                     << "non è un'immagine";
    QTest::newRow("blank page") << "bianca.jpg"
                                << "niente da colorare";
    QTest::newRow("photograph") << "foto.jpg"
                                << "sembra una fotografia";
    QTest::newRow("missing file") << "manca.png"
                                  << "non esiste";
    if (vectorPicturesReadable())
        return;
    // The Windows build reads neither, and says so.
    QTest::newRow("SVG where it is not read") << "disegno vettoriale.svg"
                                              << "SVG, che su Windows non si legge";
    QTest::newRow("PDF where it is not read") << "pagina.pdf"
                                              << "PDF, che su Windows non si legge";
}

void TestDisegno::refusesWhatCannotBeColoured()
{
    QFETCH(QString, picture);
    QFETCH(QString, reason);
    const QString path = withName(pictures, picture);
    const Run result = run(program, {QStringLiteral("--cartella"), output->path(), path});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(result.err.size(), 1);
    QVERIFY2(result.err.first().startsWith(path + QStringLiteral(": rifiutato, ")) &&
                 result.err.first().contains(reason),
             qPrintable(result.err.first()));
    QCOMPARE(entries(*output), QStringList());
}

void TestDisegno::keepsAnExistingDrawing()
{
    const QString existing = output->filePath(QStringLiteral("trasparente.gif"));
    QVERIFY(writeBytes(existing, "il disegno di prima"));
    const Run result =
        run(program, {QStringLiteral("--cartella"), output->path(),
                      withName(pictures, "Disegno.PNG"), withName(pictures, "trasparente.png")});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out.size(), 1);
    QVERIFY(result.out.first().contains(QStringLiteral("disegno.gif")));
    QCOMPARE(result.err.size(), 1);
    QVERIFY2(result.err.first().contains(QStringLiteral("saltato")), qPrintable(result.err[0]));
    QCOMPARE(readBytes(existing), QByteArray("il disegno di prima"));
    QCOMPARE(entries(*output), (QStringList{"disegno.gif", "trasparente.gif"}));
}

// Installed, the command is reached through a link in another folder, and the
// picture folder may be spelt in any case. On Windows it is started from its
// own folder, whose name no 8-bit code page may be able to spell.
void TestDisegno::writesIntoThePictureFolderOfItsRealFolder()
{
    const QString programFolder = output->filePath(QStringLiteral("programma à ζ"));
    QVERIFY(QDir().mkpath(programFolder + QStringLiteral("/gIF")));
    const QString copy = programFolder + QLatin1Char('/') + QFileInfo(program).fileName();
    QVERIFY(QFile::copy(program, copy));
#ifdef Q_OS_WIN
    const QString started = copy;
#else
    const QString binFolder = output->filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(binFolder));
    const QString started = binFolder + QStringLiteral("/tingolamo-disegno");
    QVERIFY(QFile::link(QStringLiteral("../programma à ζ/tingolamo-disegno"), started));
#endif

    const Run result = run(started, {withName(pictures, "trasparente.png")});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err.join('\n')));
    QVERIFY(QFile::exists(programFolder + QStringLiteral("/gIF/trasparente.gif")));
}

QTEST_GUILESS_MAIN(TestDisegno)
#include "tst_disegno.moc"
