#include "AreaFill.h"

#include <QTest>

#include <algorithm>
#include <climits>
#include <deque>
#include <random>
#include <vector>

namespace {

constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb red = 0xFFFF0000;
constexpr QRgb blue = 0xFF0000FF;

bool isBlack(uint32_t pixel)
{
    return (pixel & 0x00FFFFFF) == 0;
}

// A picture as a plain buffer, rows `stride` pixels apart; the pixels past
// `width` in each row are padding that no fill may touch.
struct Picture
{
    int width = 0;
    int height = 0;
    qsizetype stride = 0;
    std::vector<uint32_t> pixels;

    uint32_t &at(int x, int y) { return pixels[y * stride + x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Breadth-first search over the four edge neighbours: slow and plainly right.
QRect referenceFill(Picture &picture, int x, int y, QRgb colour)
{
    if (!picture.contains(x, y) || isBlack(picture.at(x, y)))
        return {};
    std::vector<bool> seen(size_t(picture.width) * picture.height);
    std::deque<QPoint> queue{QPoint(x, y)};
    seen[y * picture.width + x] = true;
    QRect painted;
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        picture.at(p.x(), p.y()) = colour | 0xFF000000;
        painted |= QRect(p, QSize(1, 1));
        for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint n = p + step;
            if (!picture.contains(n.x(), n.y()) || seen[n.y() * picture.width + n.x()])
                continue;
            if (isBlack(picture.at(n.x(), n.y())))
                continue;
            seen[n.y() * picture.width + n.x()] = true;
            queue.push_back(n);
        }
    }
    return painted;
}

// Random pictures of the kinds a fill meets: black strokes and speckles,
// greys, printed colours, patches of the fill colour and near-blacks that are
// not boundary. Deterministic for a given seed.
class PictureMaker
{
public:
    explicit PictureMaker(unsigned seed) : m_random(seed) {}

    int below(int n) { return int(m_random() % unsigned(n)); }

    Picture make(int padding, QRgb fillColour)
    {
        Picture picture;
        picture.width = below(4) == 0 ? 1 + below(8) : 1 + below(200);
        picture.height = below(4) == 0 ? 1 + below(8) : 1 + below(200);
        picture.stride = picture.width + padding;
        picture.pixels.assign(size_t(picture.stride) * picture.height, 0xA5A5A5A5);
        const int speckles = below(3) == 0 ? below(60) : 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                picture.at(x, y) = below(100) < speckles ? black : background(fillColour);
        for (int strokes = below(12); strokes > 0; --strokes)
            stroke(picture, below(4) == 0 ? background(fillColour) : black);
        return picture;
    }

    QRgb colour(QRgb inPicture)
    {
        const QRgb choices[] = {inPicture, white, black, 0x00000000, 0x0012AB34, QRgb(m_random())};
        return choices[below(6)];
    }

private:
    QRgb background(QRgb fillColour)
    {
        const QRgb choices[] = {white,
                                white,
                                white,
                                0xFFC0C0C0,
                                0xFF7F7F7F,
                                0xFF000001,
                                0xFF010000,
                                fillColour | 0xFF000000,
                                QRgb(m_random()) | 0xFF000000};
        return choices[below(9)];
    }

    // A wandering line; diagonal steps leave pixels that touch only at corners.
    void stroke(Picture &picture, QRgb ink)
    {
        int x = below(picture.width);
        int y = below(picture.height);
        const bool diagonal = below(2) == 0;
        for (int length = below(3 * (picture.width + picture.height)); length > 0; --length) {
            picture.at(x, y) = ink;
            const int direction = below(4);
            const int dx = diagonal ? (direction & 1 ? 1 : -1) : (direction == 0 ? 1 : -1);
            const int dy = diagonal ? (direction & 2 ? 1 : -1) : (direction == 2 ? 1 : -1);
            if (diagonal || direction < 2)
                x = std::clamp(x + dx, 0, picture.width - 1);
            if (diagonal || direction >= 2)
                y = std::clamp(y + dy, 0, picture.height - 1);
        }
    }

    std::mt19937 m_random;
};

QImage toImage(Picture &picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(&picture.at(0, y), picture.width, reinterpret_cast<QRgb *>(image.scanLine(y)));
    return image;
}

bool samePixels(const QImage &image, Picture &picture)
{
    for (int y = 0; y < picture.height; ++y)
        if (!std::equal(&picture.at(0, y), &picture.at(0, y) + picture.width,
                        reinterpret_cast<const QRgb *>(image.constScanLine(y))))
            return false;
    return true;
}

bool allOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0xFF)
                return false;
    return true;
}

// An image of `rows`, one string per row: '#' black, '.' white, 'r' red.
QImage imageOf(const QStringList &rows)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QChar c = rows[y][x];
            image.setPixel(x, y, c == '#' ? black : c == 'r' ? red : white);
        }
    return image;
}

QStringList rowsOf(const QImage &image)
{
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row += p == black ? '#' : p == white ? '.' : p == red ? 'r' : p == blue ? 'b' : '?';
        }
        rows << row;
    }
    return rows;
}

} // namespace

class TestAreaFill : public QObject
{
    Q_OBJECT

private slots:
    void matchesReferenceOnRandomImages();
    void matchesReferenceOnRawBuffersWithPadding();
    void matchesReferenceOnLargeHardImages();
    void startOnBlackOrOutsidePaintsNothing();
    void gapInOutlineLetsFillThrough();
    void diagonalOutlineClosesArea();
    void fillColourAlreadyPresentIsNotAWall();
    void blackFillBecomesBoundary();
    void singleRowAndSingleColumnImages();
    void hugeOpenImage();
};

void TestAreaFill::matchesReferenceOnRandomImages()
{
    PictureMaker maker(20240611);
    for (int round = 0; round < 2500; ++round) {
        const QRgb printed = maker.colour(red) | 0xFF000000;
        Picture expected = maker.make(0, printed);
        QImage image = toImage(expected);
        // A child fills several times in a row; each fill starts from the last.
        for (int click = 0; click < 4; ++click) {
            const QRgb colour = maker.colour(printed);
            int x = maker.below(expected.width + 4) - 2;
            int y = maker.below(expected.height + 4) - 2;
            const QRect want = referenceFill(expected, x, y, colour);
            const QRect got = fillArea(image, x, y, colour);
            if (got != want || !samePixels(image, expected) || !allOpaque(image))
                QFAIL(qPrintable(QStringLiteral("round %1 click %2: %3x%4 image, start (%5, %6), "
                                                "colour %7")
                                     .arg(round)
                                     .arg(click)
                                     .arg(expected.width)
                                     .arg(expected.height)
                                     .arg(x)
                                     .arg(y)
                                     .arg(colour, 8, 16, QChar('0'))));
        }
    }
}

void TestAreaFill::matchesReferenceOnRawBuffersWithPadding()
{
    PictureMaker maker(77);
    for (int round = 0; round < 1500; ++round) {
        const QRgb printed = maker.colour(blue) | 0xFF000000;
        Picture expected = maker.make(1 + maker.below(9), printed);
        Picture actual = expected;
        for (int click = 0; click < 3; ++click) {
            const QRgb colour = maker.colour(printed);
            const int x = maker.below(expected.width + 2) - 1;
            const int y = maker.below(expected.height + 2) - 1;
            const QRect want = referenceFill(expected, x, y, colour);
            const QRect got = fillArea(actual.pixels.data(), actual.width, actual.height,
                                       actual.stride, x, y, colour);
            QCOMPARE(got, want);
            // Padding included: nothing past the row ends may change.
            QVERIFY2(actual.pixels == expected.pixels, qPrintable(QString::number(round)));
        }
    }
}

// Pictures that push the span stack: a serpentine of 3-pixel corridors and
// dense speckle near the point where open areas stop connecting.
void TestAreaFill::matchesReferenceOnLargeHardImages()
{
    const int size = 1024;
    Picture maze{size, size, size, std::vector<uint32_t>(size_t(size) * size, white)};
    for (int x = 3; x < size; x += 4)
        for (int y = 0; y < size; ++y)
            if (y != ((x / 4) % 2 == 0 ? size - 1 : 0))
                maze.at(x, y) = black;
    Picture speckled{size, size, size, std::vector<uint32_t>(size_t(size) * size, white)};
    std::mt19937 random(5);
    for (uint32_t &pixel : speckled.pixels)
        if (random() % 100 < 38)
            pixel = black;
    for (Picture *picture : {&maze, &speckled}) {
        QImage image = toImage(*picture);
        const QRect want = referenceFill(*picture, 1, 1, red);
        QCOMPARE(fillArea(image, 1, 1, red), want);
        QVERIFY(samePixels(image, *picture));
    }
}

void TestAreaFill::startOnBlackOrOutsidePaintsNothing()
{
    const QImage original = imageOf({"....", ".##.", "...."});
    QImage image = original;
    for (const QPoint start : {QPoint(1, 1), QPoint(2, 1), QPoint(-1, 0), QPoint(0, -1),
                               QPoint(4, 0), QPoint(0, 3), QPoint(INT_MIN, INT_MAX)}) {
        QVERIFY(fillArea(image, start.x(), start.y(), red).isNull());
        QCOMPARE(image, original);
        // Nothing painted, so the shared picture is not even copied.
        QCOMPARE(image.constBits(), original.constBits());
    }
}

void TestAreaFill::gapInOutlineLetsFillThrough()
{
    QImage image = imageOf({".......", ".#####.", ".#...#.", ".#.....", ".#####.", "......."});
    QCOMPARE(fillArea(image, 3, 3, red), QRect(0, 0, 7, 6));
    QCOMPARE(rowsOf(image),
             QStringList({"rrrrrrr", "r#####r", "r#rrr#r", "r#rrrrr", "r#####r", "rrrrrrr"}));
}

void TestAreaFill::diagonalOutlineClosesArea()
{
    QImage image = imageOf({"...#...", "..#.#..", ".#...#.", "..#.#..", "...#..."});
    QCOMPARE(fillArea(image, 3, 2, red), QRect(2, 1, 3, 3));
    QCOMPARE(rowsOf(image), QStringList({"...#...", "..#r#..", ".#rrr#.", "..#r#..", "...#..."}));
}

void TestAreaFill::fillColourAlreadyPresentIsNotAWall()
{
    // A red band splits the white area; the fill crosses it whatever its colour.
    QImage image = imageOf({"#######", "#..r..#", "#.rrr.#", "#..r..#", "#######"});
    QCOMPARE(fillArea(image, 1, 1, blue), QRect(1, 1, 5, 3));
    QCOMPARE(rowsOf(image), QStringList({"#######", "#bbbbb#", "#bbbbb#", "#bbbbb#", "#######"}));

    // Refilling with the colour already there still reports the whole area.
    QImage solid = imageOf({"rr#..", "rr#..", "rrr.."});
    const QImage before = solid.copy();
    QCOMPARE(fillArea(solid, 0, 0, red), QRect(0, 0, 5, 3));
    QCOMPARE(rowsOf(solid), QStringList({"rr#rr", "rr#rr", "rrrrr"}));
    QCOMPARE(fillArea(solid, 4, 0, red), QRect(0, 0, 5, 3));
    QCOMPARE(solid.copy(0, 0, 2, 3), before.copy(0, 0, 2, 3));

    // A corridor is the first to reach the rows of a red ring beside it; the
    // fill that later comes round the wall still gets into the ring.
    QImage corridor =
        imageOf({"#...#.......", "#...#.......", "#...#.......", "#...#...rrr.", "#...#...r.r.",
                 "#...#...rrr.", "#...#.......", "#...#.......", "#..........."});
    QCOMPARE(fillArea(corridor, 2, 0, red), QRect(1, 0, 11, 9));
    QStringList painted(8, QStringLiteral("#rrr#rrrrrrr"));
    painted << QStringLiteral("#rrrrrrrrrrr");
    QCOMPARE(rowsOf(corridor), painted);
}

void TestAreaFill::blackFillBecomesBoundary()
{
    QImage image = imageOf({".....", "..#..", "..#..", "....."});
    QImage inner = imageOf({"###", "#.#", "###"});
    QCOMPARE(fillArea(inner, 1, 1, 0x00000000), QRect(1, 1, 1, 1));
    QCOMPARE(inner.pixel(1, 1), black);
    QVERIFY(fillArea(inner, 1, 1, red).isNull());

    // Blacken the right column, then a fill from the left stops at it.
    QImage strip = imageOf({"..#.", "..#.", "..#."});
    QCOMPARE(fillArea(strip, 3, 1, black), QRect(3, 0, 1, 3));
    QVERIFY(fillArea(strip, 3, 2, red).isNull());
    QCOMPARE(fillArea(strip, 0, 0, red), QRect(0, 0, 2, 3));
    QCOMPARE(rowsOf(strip), QStringList({"rr##", "rr##", "rr##"}));
    QVERIFY(allOpaque(strip));

    QCOMPARE(fillArea(image, 0, 0, black), QRect(0, 0, 5, 4));
    QCOMPARE(rowsOf(image), QStringList({"#####", "#####", "#####", "#####"}));
}

void TestAreaFill::singleRowAndSingleColumnImages()
{
    QImage row = imageOf({"..#...#r"});
    QCOMPARE(fillArea(row, 4, 0, red), QRect(3, 0, 3, 1));
    QCOMPARE(rowsOf(row), QStringList({"..#rrr#r"}));
    QCOMPARE(fillArea(row, 7, 0, blue), QRect(7, 0, 1, 1));

    QImage column = imageOf({".", ".", "#", ".", "r", "."});
    QCOMPARE(fillArea(column, 0, 5, blue), QRect(0, 3, 1, 3));
    QCOMPARE(rowsOf(column), QStringList({".", ".", "#", "b", "b", "b"}));

    QImage dot = imageOf({"."});
    QCOMPARE(fillArea(dot, 0, 0, red), QRect(0, 0, 1, 1));
    QCOMPARE(dot.pixel(0, 0), red);
}

void TestAreaFill::hugeOpenImage()
{
    QImage image(4096, 4096, QImage::Format_RGB32);
    image.fill(white);
    QCOMPARE(fillArea(image, 2048, 2048, red), image.rect());
    for (const QPoint p :
         {QPoint(0, 0), QPoint(4095, 0), QPoint(0, 4095), QPoint(4095, 4095), QPoint(1234, 3210)})
        QCOMPARE(image.pixel(p), red);
    QCOMPARE(fillArea(image, 0, 4095, red), image.rect());
}

QTEST_APPLESS_MAIN(TestAreaFill)
#include "tst_AreaFill.moc"
