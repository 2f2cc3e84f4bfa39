#include "PictureLoader.h"
#include "PictureSurface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// A 1 x 1 GIF89a whose one pixel is transparent.
const QByteArray kTinyTransparentGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

QByteArray defaultDrawing()
{
    QFile file(QStringLiteral(TINGOLAMO_GIF_DIR "/cromello.gif"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A GIF header that declares a 60000 x 60000 picture and then ends.
QByteArray hugeHeader()
{
    QByteArray gif("GIF89a");
    gif += QByteArray::fromHex("60ea60ea"
                               "000000");
    gif += QByteArray::fromHex("2c00000000"
                               "60ea60ea"
                               "00"
                               "02");
    return gif;
}

// A 1 x 1 GIF89a of `frames` images. With `damagedLater`, every image after
// the first carries compressed data that does not decode.
QByteArray frames(int count, bool damagedLater = false)
{
    QByteArray gif = QByteArray::fromHex("47494638396101000100800000000000ffffff");
    for (int i = 0; i < count; ++i) {
        gif += QByteArray::fromHex("2c00000000010001000002");
        gif += QByteArray::fromHex(i > 0 && damagedLater ? "03ffffff00" : "02440100");
    }
    return gif + ';';
}

QByteArray write(const QTemporaryDir &dir, const char *name, const QByteArray &contents)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
    return QFile::encodeName(path);
}

} // namespace

class TestLoader : public QObject
{
    Q_OBJECT

private slots:
    void loadsACompleteGif();
    void transparentPixelsSurvive();
    void refusesDamagedContents_data();
    void refusesDamagedContents();
    void refusesWhatIsNoFile();
    void decodesOnlyTheFirstOfManyFrames();
    void refusesTooManyFrames();
    void keepsTheLoadedPictureExactly();
    void refusesAnUnreadableFile();
};

void TestLoader::loadsACompleteGif()
{
    const QByteArray drawing = defaultDrawing();
    QVERIFY(!drawing.isEmpty());
    const PictureLoad load = decodePicture(drawing);
    QVERIFY2(load.ok(), qPrintable(load.failure));
    QVERIFY(load.picture.width() > 0 && load.picture.width() <= 355);
    QVERIFY(load.picture.height() > 0 && load.picture.height() <= 560);

    QTemporaryDir dir;
    const PictureLoad fromFile = loadPicture(write(dir, "Disegno con spazi è.GIF", drawing));
    QVERIFY2(fromFile.ok(), qPrintable(fromFile.failure));
    QCOMPARE(fromFile.picture, load.picture);
}

void TestLoader::transparentPixelsSurvive()
{
    const PictureLoad load = decodePicture(kTinyTransparentGif);
    QVERIFY2(load.ok(), qPrintable(load.failure));
    QCOMPARE(load.picture.size(), QSize(1, 1));
    QCOMPARE(qAlpha(load.picture.pixel(0, 0)), 0);
}

void TestLoader::refusesDamagedContents_data()
{
    QTest::addColumn<QByteArray>("contents");
    const QByteArray drawing = defaultDrawing();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text named .gif") << QByteArray("Questo non è un disegno.\n");
    QTest::newRow("header only") << QByteArray("GIF89a");
    QTest::newRow("cut in half") << drawing.left(drawing.size() / 2);
    QTest::newRow("trailer missing") << drawing.left(drawing.size() - 1);
    QTest::newRow("tiny cut") << kTinyTransparentGif.left(kTinyTransparentGif.size() - 4);
    QTest::newRow("declares 60000 x 60000") << hugeHeader();
    QByteArray scrambled = drawing;
    for (qsizetype i = 800; i < scrambled.size() - 10; i += 7)
        scrambled[i] = char(0xFF);
    QTest::newRow("scrambled data") << scrambled;
}

void TestLoader::refusesDamagedContents()
{
    QFETCH(QByteArray, contents);
    const PictureLoad load = decodePicture(contents);
    QVERIFY(!load.ok());
    QVERIFY(!load.failure.isEmpty());

    QTemporaryDir dir;
    const PictureLoad fromFile = loadPicture(write(dir, "rovinato.gif", contents));
    QVERIFY(!fromFile.ok());
    QVERIFY(!fromFile.failure.isEmpty());
}

void TestLoader::refusesWhatIsNoFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("cartella.gif"));
    QVERIFY(!loadPicture(QFile::encodeName(dir.filePath("cartella.gif"))).ok());
    QVERIFY(!loadPicture(QFile::encodeName(dir.filePath("sparito.gif"))).ok());
    // A selection with an empty name leaves just the folder and a slash.
    QVERIFY(!loadPicture(QFile::encodeName(dir.path()) + '/').ok());
    QVERIFY(!loadPicture(QByteArray()).ok());
}

void TestLoader::refusesAnUnreadableFile()
{
    if (::geteuid() == 0)
        QSKIP("root reads every file whatever its permissions");
    QTemporaryDir dir;
    const QByteArray path = write(dir, "chiuso.gif", defaultDrawing());
    QVERIFY(QFile::setPermissions(QFile::decodeName(path), QFileDevice::Permissions()));
    QVERIFY(!loadPicture(path).ok());
}

void TestLoader::decodesOnlyTheFirstOfManyFrames()
{
    // Later frames are never shown: their data is walked over, not decoded.
    const PictureLoad load = decodePicture(frames(50, true));
    QVERIFY2(load.ok(), qPrintable(load.failure));
    QCOMPARE(load.picture.size(), QSize(1, 1));
    QVERIFY(!decodePicture(frames(50, true).chopped(3)).ok());
}

void TestLoader::refusesTooManyFrames()
{
    QVERIFY(decodePicture(frames(kPictureFrameLimit)).ok());
    const PictureLoad load = decodePicture(frames(kPictureFrameLimit + 1));
    QVERIFY(!load.ok());
    QVERIFY(!load.failure.isEmpty());
}

void TestLoader::keepsTheLoadedPictureExactly()
{
    // Printing uses the kept picture: its compact copy must lose nothing.
    for (const QByteArray &gif : {defaultDrawing(), kTinyTransparentGif}) {
        const QImage picture = decodePicture(gif).picture;
        QVERIFY(!picture.isNull());
        const QImage kept = compactCopy(picture);
        QCOMPARE(kept.depth(), 8);
        QCOMPARE(kept.convertToFormat(picture.format()), picture);
    }
    QCOMPARE(colouringSurface(decodePicture(kTinyTransparentGif).picture).pixel(0, 0),
             qRgb(255, 255, 255));

    // More colours than eight bits hold: the picture is kept as it is.
    QImage many(300, 1, QImage::Format_RGB32);
    for (int x = 0; x < many.width(); ++x)
        many.setPixel(x, 0, qRgb(x % 256, x / 256, 7));
    QCOMPARE(compactCopy(many), many);
    QCOMPARE(compactCopy(many).format(), QImage::Format_RGB32);
}

QTEST_GUILESS_MAIN(TestLoader)
#include "tst_loader.moc"
