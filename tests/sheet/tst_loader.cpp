#include "NativeFiles.h"
#include "PictureLoader.h"
#include "PictureSurface.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <gif_lib.h>

#include <bit>
#include <future>
#include <memory>

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

// The layout of a GIF written for a test: the picture's size, where its one
// image lies, and how its colours are given.
struct GifLayout
{
    QSize screen;
    QRect image;
    bool globalMap = true;
    bool localMap = false;
    bool interlaced = false;
    int transparent = -1;
};

int appendTo(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

// A GIF of eight colours whose pixels use the first six.
QByteArray writeGif(const GifLayout &layout)
{
    const GifColorType colours[8] = {{0, 0, 0},     {255, 0, 0},   {0, 128, 255}, {250, 250, 10},
                                     {10, 200, 10}, {90, 30, 160}, {1, 2, 3},     {4, 5, 6}};
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject *)> map(
        GifMakeMapObject(8, colours), GifFreeMapObject);
    QByteArray bytes;
    int error = 0;
    GifFileType *gif = EGifOpen(&bytes, appendTo, &error);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, layout.screen.width(), layout.screen.height(), 8, 1,
                      layout.globalMap ? map.get() : nullptr);
    if (layout.transparent >= 0) {
        const GifByteType control[4] = {0x01, 0, 0, GifByteType(layout.transparent)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    const QRect &r = layout.image;
    EGifPutImageDesc(gif, r.x(), r.y(), r.width(), r.height(), layout.interlaced,
                     layout.localMap ? map.get() : nullptr);
    std::vector<GifPixelType> row(static_cast<size_t>(r.width()));
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x)
            row[size_t(x)] = GifPixelType((x * 7 + y * 3) % 6);
        EGifPutLine(gif, row.data(), r.width());
    }
    EGifCloseFile(gif, &error);
    return bytes;
}

// The same GIF with its global map cut to `count` colours (0: none), so that
// its pixels use indexes past the map.
QByteArray cutGlobalMap(QByteArray gif, int count)
{
    const int bits = count == 0 ? 0 : std::countr_zero(unsigned(count)) - 1;
    gif[10] = char((count == 0 ? 0x70 : 0xF0) | bits);
    return gif.remove(13 + 3 * count, 3 * (8 - count));
}

QImage readWithQt(const QByteArray &gif)
{
    QBuffer buffer;
    buffer.setData(gif);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "gif").read();
}

QByteArray write(const QTemporaryDir &dir, const char *name, const QByteArray &contents)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
    return nativePath(path);
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
    void readsAsQtsGifReader_data();
    void readsAsQtsGifReader();
    void waitsForALoadAsideNoLongerThanItsBound();
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
    const PictureLoad fromFile = loadPicture(write(dir, "Disegno con spazi è ζ.GIF", drawing));
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
    QVERIFY(!loadPicture(nativePath(dir.filePath("cartella.gif"))).ok());
    QVERIFY(!loadPicture(nativePath(dir.filePath("sparito.gif"))).ok());
    // A selection with an empty name leaves just the folder and a slash.
    QVERIFY(!loadPicture(nativePath(dir.path()) + '/').ok());
    QVERIFY(!loadPicture(QByteArray()).ok());
}

void TestLoader::refusesAnUnreadableFile()
{
    QTemporaryDir dir;
    const QByteArray path = write(dir, "chiuso.gif", defaultDrawing());
    // Root reads every file whatever its permissions, and on Windows they
    // are no more than the read-only mark.
    QFile file(fromNativePath(path));
    if (!file.setPermissions(QFileDevice::Permissions()) || file.open(QIODevice::ReadOnly))
        QSKIP("this user reads the file whatever its permissions");
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

void TestLoader::readsAsQtsGifReader_data()
{
    QTest::addColumn<QByteArray>("gif");
    QTest::addColumn<bool>("decodedOnce");
    const QDir drawings(QStringLiteral(TINGOLAMO_GIF_DIR));
    for (const QString &name : drawings.entryList({QStringLiteral("*.gif")})) {
        QFile file(drawings.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll() << true;
    }
    QTest::newRow("tiny see-through") << kTinyTransparentGif << true;
    const QSize screen(23, 17);
    const QRect whole(QPoint(0, 0), screen);
    QTest::newRow("plain") << writeGif({screen, whole}) << true;
    QTest::newRow("transparent") << writeGif({screen, whole, true, false, false, 1}) << true;
    QTest::newRow("local map only") << writeGif({screen, whole, false, true}) << true;
    QTest::newRow("indexes past the map") << cutGlobalMap(writeGif({screen, whole}), 4) << true;
    QTest::newRow("transparent, indexes past the map")
        << cutGlobalMap(writeGif({screen, whole, true, false, false, 2}), 4) << true;
    QTest::newRow("transparent past the map")
        << cutGlobalMap(writeGif({screen, whole, true, false, false, 5}), 4) << true;
    // What Qt's reader is left to read: the rest of the picture filled, an
    // image wider than the picture, rows in passes, no colours at all.
    QTest::newRow("image inside the picture")
        << writeGif({screen, QRect(3, 2, 11, 9), true, false, false, 2}) << false;
    QTest::newRow("image past the edge") << writeGif({screen, whole.translated(3, 0)}) << false;
    QTest::newRow("interlaced") << writeGif({screen, whole, true, false, true}) << false;
    QTest::newRow("no colour map") << cutGlobalMap(writeGif({screen, whole}), 0) << false;
}

void TestLoader::readsAsQtsGifReader()
{
    // The drawing is decoded once, by the walk that checks it; what it gives
    // must be, pixel for pixel, what Qt's own GIF reader gives.
    QFETCH(QByteArray, gif);
    QFETCH(bool, decodedOnce);
    const PictureLoad load = decodePicture(gif);
    QVERIFY2(load.ok(), qPrintable(load.failure));
    const QImage expected = readWithQt(gif);
    QCOMPARE(load.picture.size(), expected.size());
    QCOMPARE(load.picture.format() == QImage::Format_Indexed8, decodedOnce);
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (load.picture.pixel(x, y) != expected.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("(%1, %2): %3 instead of %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(load.picture.pixel(x, y), 8, 16)
                                     .arg(expected.pixel(x, y), 8, 16)));
        }
    }
    QCOMPARE(colouringSurface(load.picture), colouringSurface(expected));
}

void TestLoader::waitsForALoadAsideNoLongerThanItsBound()
{
    std::future<PictureLoad> aside =
        loadPictureAside(nativePath(QStringLiteral(TINGOLAMO_GIF_DIR "/cromello.gif")));
    const PictureLoad drawing = takeWithin(aside, std::chrono::seconds(10));
    QVERIFY2(drawing.ok(), qPrintable(drawing.failure));
    QCOMPARE(drawing.picture, decodePicture(defaultDrawing()).picture);

    // A load that never comes costs its bound, then reads as a failure.
    std::promise<PictureLoad> never;
    std::future<PictureLoad> stuck = never.get_future();
    QElapsedTimer clock;
    clock.start();
    const PictureLoad load = takeWithin(stuck, std::chrono::milliseconds(200));
    QVERIFY(!load.ok());
    QVERIFY(!load.failure.isEmpty());
    QVERIFY2(clock.elapsed() >= 190 && clock.elapsed() < 2000,
             qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestLoader)
#include "tst_loader.moc"
