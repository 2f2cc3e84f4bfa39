#include "DrawingCheck.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

// Checks every file of the picture folder against the drawing rules, and checks
// that those rules catch the faults they are there for.
class TestDrawings : public QObject
{
    Q_OBJECT

private slots:
    void pictureFolderHoldsTheDefaultDrawing();
    void everyDrawingIsColourable_data();
    void everyDrawingIsColourable();
    void countsFourConnectedAreas();
    void catchesFaultyPictures_data();
    void catchesFaultyPictures();
    void defaultDrawingIsKeptSimple();
    void catchesFaultyFiles();
};

namespace {

const QString pictureFolder = QStringLiteral(TINGOLAMO_GIF_DIR);

// White picture cut by 3-pixel black lines into columns x rows cells that
// reach the edges, so that it has exactly columns * rows areas.
QImage gridPicture(QSize size, int columns, int rows)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int c = 1; c < columns; ++c)
        painter.fillRect(c * size.width() / columns - 1, 0, 3, size.height(), Qt::black);
    for (int r = 1; r < rows; ++r)
        painter.fillRect(0, r * size.height() / rows - 1, size.width(), 3, Qt::black);
    return image;
}

QImage withPixel(QImage image, QPoint at, QRgb colour)
{
    image.setPixel(at, colour);
    return image;
}

// A closed black square outline with a 4 x 4 hole inside one cell.
QImage withTinyArea(QImage image)
{
    QPainter painter(&image);
    painter.fillRect(20, 20, 8, 8, Qt::black);
    painter.fillRect(22, 22, 4, 4, Qt::white);
    return image;
}

// A 1 x 1 GIF of black and white whose every frame is one black pixel.
QByteArray tinyGif(int frames)
{
    QByteArray gif = QByteArray::fromHex("474946383961"
                                         "01000100"
                                         "800000"
                                         "000000ffffff");
    for (int f = 0; f < frames; ++f)
        gif += QByteArray::fromHex("21f904000a000000"
                                   "2c0000000001000100"
                                   "00"
                                   "0202440100");
    return gif + QByteArray::fromHex("3b");
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

bool mentions(const QStringList &problems, const QString &what)
{
    return problems.join(QLatin1Char('\n')).contains(what);
}

} // namespace

void TestDrawings::pictureFolderHoldsTheDefaultDrawing()
{
    QVERIFY2(QDir(pictureFolder).exists(), qPrintable(pictureFolder + " is missing"));
    QVERIFY2(QFile::exists(pictureFolder + QStringLiteral("/cromello.gif")),
             "the default drawing cromello.gif is missing");
}

void TestDrawings::everyDrawingIsColourable_data()
{
    QTest::addColumn<QString>("path");
    const QFileInfoList files = QDir(pictureFolder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files)
        QTest::newRow(qPrintable(file.fileName())) << file.filePath();
}

void TestDrawings::everyDrawingIsColourable()
{
    QFETCH(QString, path);
    const QString name = QFileInfo(path).fileName();
    const QStringList problems = drawingFileProblems(path, rulesForFile(name));
    QVERIFY2(problems.isEmpty(), qPrintable(name + ": " + problems.join(QStringLiteral("; "))));

    const QImage image(path);
    const AreaCount count = countAreas(image);
    qInfo("%s %d x %d: %d areas, smallest %d pixels", qPrintable(name), image.width(),
          image.height(), count.areas, count.smallestPixels);
}

void TestDrawings::countsFourConnectedAreas()
{
    // A 1-pixel ring: 8 x 8 inside, 400 - 100 outside.
    QImage ring(20, 20, QImage::Format_RGB32);
    ring.fill(Qt::white);
    QPainter(&ring).fillRect(5, 5, 10, 10, Qt::black);
    QPainter(&ring).fillRect(6, 6, 8, 8, Qt::white);
    const AreaCount rings = countAreas(ring);
    QCOMPARE(rings.areas, 2);
    QCOMPARE(rings.smallestPixels, 64);
    QVERIFY(QRect(6, 6, 8, 8).contains(rings.smallestAt));

    // Pixels that touch only at their corners still separate two areas.
    QImage diagonal(30, 30, QImage::Format_RGB32);
    diagonal.fill(Qt::white);
    for (int i = 0; i < 30; ++i)
        diagonal.setPixel(i, i, qRgb(0, 0, 0));
    QCOMPARE(countAreas(diagonal).areas, 2);

    // Any colour other than black belongs to an area, even an almost black one.
    QImage parted = gridPicture(QSize(90, 30), 3, 1);
    QPainter(&parted).fillRect(29, 0, 3, 30, QColor(1, 1, 1));
    QCOMPARE(countAreas(parted).areas, 2);
}

void TestDrawings::catchesFaultyPictures_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QString>("problem");

    const QImage good = gridPicture(QSize(300, 300), 3, 3);
    QTest::newRow("good") << good << QString();
    QTest::newRow("largest allowed") << gridPicture(QSize(355, 560), 6, 10) << QString();
    QTest::newRow("grey pixel") << withPixel(good, QPoint(150, 150), qRgb(128, 128, 128))
                                << QStringLiteral("1 pixels are neither black nor white");
    QTest::newRow("almost white pixel") << withPixel(good, QPoint(7, 9), qRgb(254, 254, 254))
                                        << QStringLiteral("the first at (7, 9)");
    QTest::newRow("coloured pixel") << withPixel(good, QPoint(299, 299), qRgb(255, 0, 0))
                                    << QStringLiteral("neither black nor white");
    QTest::newRow("tiny area") << withTinyArea(good)
                               << QStringLiteral("an area of 16 pixels at (22, 22)");
    QTest::newRow("too wide") << gridPicture(QSize(356, 300), 3, 3)
                              << QStringLiteral("size 356 x 300 is over 355 x 560");
    QTest::newRow("too tall") << gridPicture(QSize(300, 561), 3, 3)
                              << QStringLiteral("size 300 x 561");
    QTest::newRow("too few areas")
        << gridPicture(QSize(300, 300), 7, 1) << QStringLiteral("7 areas, not between 8 and 60");
    QTest::newRow("too many areas")
        << gridPicture(QSize(355, 560), 8, 8) << QStringLiteral("64 areas");
    QImage allBlack(100, 100, QImage::Format_RGB32);
    allBlack.fill(Qt::black);
    QTest::newRow("all black") << allBlack << QStringLiteral("0 areas, not between");
}

void TestDrawings::catchesFaultyPictures()
{
    QFETCH(QImage, image);
    QFETCH(QString, problem);
    const QStringList problems = drawingProblems(image, DrawingRules());
    if (problem.isEmpty())
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    else
        QVERIFY2(mentions(problems, problem),
                 qPrintable(QStringLiteral("expected \"%1\", got: %2")
                                .arg(problem, problems.join(QStringLiteral("; ")))));
}

void TestDrawings::defaultDrawingIsKeptSimple()
{
    const QImage thirty = gridPicture(QSize(300, 300), 5, 6);
    QVERIFY(drawingProblems(thirty, rulesForFile(QStringLiteral("gatto.gif"))).isEmpty());
    QVERIFY(mentions(drawingProblems(thirty, rulesForFile(QStringLiteral("cromello.gif"))),
                     QStringLiteral("30 areas, not between 8 and 25")));
    QCOMPARE(rulesForFile(QStringLiteral("/somewhere/CROMELLO.GIF")).maxAreas, 25);
}

void TestDrawings::catchesFaultyFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const DrawingRules rules;

    const QStringList single = drawingFileProblems(writeFile(dir, "one.gif", tinyGif(1)), rules);
    QCOMPARE(single, QStringList{"0 areas, not between 8 and 60"});

    const QStringList animated = drawingFileProblems(writeFile(dir, "two.gif", tinyGif(2)), rules);
    QVERIFY2(mentions(animated, "2 frames instead of one"), qPrintable(animated.join("; ")));

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        gridPicture(QSize(300, 300), 3, 3).save(&buffer, "PNG");
    }
    const QStringList renamed = drawingFileProblems(writeFile(dir, "png.gif", png), rules);
    QCOMPARE(renamed, QStringList{"not a GIF file (no GIF8 header)"});

    const QStringList text = drawingFileProblems(writeFile(dir, "leggimi.txt", "ciao\n"), rules);
    QVERIFY(mentions(text, "not a GIF"));

    const QStringList broken =
        drawingFileProblems(writeFile(dir, "broken.gif", tinyGif(1).left(20)), rules);
    QVERIFY2(mentions(broken, "cannot be decoded") || mentions(broken, "frames"),
             qPrintable(broken.join("; ")));
}

QTEST_GUILESS_MAIN(TestDrawings)
#include "tst_drawings.moc"
