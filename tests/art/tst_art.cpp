// The pictures as the program sees them: loaded from the resources that
// linking tingolamo_art brings in, with no explicit resource initialisation.

#include <algorithm>

#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtMath>
#include <QtTest>

namespace {

// Every colour a swatch can have: the chosen-colour mark and the pressed
// star are drawn over it.
const QList<QRgb> swatchColours = {
    0x0000FF, 0xFF0000, 0x00FF00, 0xFFFF00, 0xD4D4F6, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    0x000000, 0x800080, 0x800000, 0x7F7FFF, 0x808000, 0x008000, 0x008080, 0xC0C0C0,
    0x808080, 0x4040FF, 0x00C0C0, 0x27D4FF, 0xFF80FF, 0xFFC0C0, 0xC0FFC0, 0xFFC0FF,
    0x0000C0, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000, 0xC000C0, 0xC0FFFF, 0xDCDCE4,
};

int contrast(QRgb a, QRgb b)
{
    return qMax(qAbs(qRed(a) - qRed(b)),
                qMax(qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))));
}

bool opaqueAt(const QImage &image, QPoint p)
{
    return image.rect().contains(p) && qAlpha(image.pixel(p)) != 0;
}

// The colours of the opaque pixels met along a ray from the centre, each
// run of one colour once. The steps are short enough that the ray cannot
// slip between two pixels that touch only at a corner.
QList<QRgb> pixelsAlongRay(const QImage &image, double angle)
{
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    const QPointF step(qCos(angle) * 0.05, qSin(angle) * 0.05);
    QList<QRgb> pixels;
    for (QPointF at = centre; image.rect().contains(at.toPoint()); at += step) {
        const QPoint p(qFloor(at.x()), qFloor(at.y()));
        if (opaqueAt(image, p) && (pixels.isEmpty() || pixels.last() != image.pixel(p)))
            pixels.append(image.pixel(p));
    }
    return pixels;
}

QImage loadImage(const QString &path)
{
    QImage image(path);
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestArt : public QObject
{
    Q_OBJECT

private slots:
    void buttonPictures_data();
    void buttonPictures();
    void markEdgesShowOnEverySwatch_data();
    void markEdgesShowOnEverySwatch();
    void farewellPictures_data();
    void farewellPictures();
};

void TestArt::buttonPictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("side");
    for (const char *name : {"icona", "stampa", "fine", "stella", "spunta"}) {
        for (const int side : {32, 64}) {
            const QString path =
                QStringLiteral(":/art/%1-%2.png").arg(QLatin1String(name)).arg(side);
            QTest::newRow(qPrintable(path)) << path << side;
        }
    }
}

// Sixteen colours at most, each pixel either fully opaque or fully
// transparent, the corners transparent and the middle drawn.
void TestArt::buttonPictures()
{
    QFETCH(QString, path);
    QFETCH(int, side);

    const QImage image = loadImage(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(side, side));

    QSet<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qAlpha(pixel) == 0 || qAlpha(pixel) == 255, "a half-transparent pixel");
            if (qAlpha(pixel) == 255) {
                colours.insert(pixel);
                ++opaque;
            }
        }
    }
    QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size()) + " colours"));
    QVERIFY(colours.size() >= 3);
    QVERIFY2(opaque > side * side / 3, "too little is drawn");
    QVERIFY2(opaque < side * side, "no transparent ground");
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(side - 1, 0)), 0);
    QVERIFY(opaqueAt(image, QPoint(side / 2, side / 2)));
}

void TestArt::markEdgesShowOnEverySwatch_data()
{
    QTest::addColumn<QString>("path");
    for (const char *name : {"spunta-32", "spunta-64", "stella-32", "stella-64"}) {
        const QString path = QStringLiteral(":/art/%1.png").arg(QLatin1String(name));
        QTest::newRow(name) << path;
    }
}

// The chosen-colour mark and the pressed star lie on the swatch's own
// colour. In every direction, of the last two colours before the ground
// shows through again (the edging or outline) one must stand out from that
// colour, whichever it is.
void TestArt::markEdgesShowOnEverySwatch()
{
    QFETCH(QString, path);
    const QImage image = loadImage(path);
    QVERIFY(!image.isNull());

    constexpr int rays = 48;
    constexpr int edgeColours = 2;
    for (int i = 0; i < rays; ++i) {
        const QList<QRgb> along = pixelsAlongRay(image, 2 * M_PI * i / rays);
        QVERIFY(!along.isEmpty());
        const QList<QRgb> edge = along.mid(qMax(0, along.size() - edgeColours));
        for (const QRgb swatch : swatchColours) {
            const bool stands = std::any_of(edge.cbegin(), edge.cend(), [swatch](QRgb c) {
                return contrast(c, swatch) >= 100;
            });
            QVERIFY2(stands, qPrintable(QStringLiteral("ray %1 fades into #%2")
                                            .arg(i)
                                            .arg(swatch & 0xFFFFFF, 6, 16, QLatin1Char('0'))));
        }
    }
}

void TestArt::farewellPictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("Image1") << QStringLiteral(":/saluti/Image1.gif") << QSize(59, 70);
    QTest::newRow("Image2") << QStringLiteral(":/saluti/Image2.gif") << QSize(223, 216);
    QTest::newRow("Image1@2x") << QStringLiteral(":/saluti/Image1@2x.gif") << QSize(118, 140);
    QTest::newRow("Image2@2x") << QStringLiteral(":/saluti/Image2@2x.gif") << QSize(446, 432);
}

// One frame, the exact size, a transparent surround that lets the window's
// yellow through, an opaque figure and no white that would vanish.
void TestArt::farewellPictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("gif"));
    QCOMPARE(reader.imageCount(), 1);
    const QImage decoded = reader.read();
    QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(decoded.size(), size);
    QVERIFY(decoded.hasAlphaChannel());

    const QImage image = decoded.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qAlpha(pixel) == 0 || qAlpha(pixel) == 255, "a half-transparent pixel");
            if (qAlpha(pixel) == 0)
                continue;
            ++opaque;
            QVERIFY2((pixel & 0xFFFFFF) != 0xFFFFFF, "pure white inside the figure");
        }
    }
    const int area = size.width() * size.height();
    QVERIFY2(opaque > area / 5, "the figure is too faint");
    QVERIFY2(opaque < area * 4 / 5, "the surround is not transparent");
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(0, size.height() - 1)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    QVERIFY(opaqueAt(image, QPoint(size.width() / 2, size.height() / 2)));
}

QTEST_GUILESS_MAIN(TestArt)
#include "tst_art.moc"
