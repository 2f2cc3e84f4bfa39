// The sheet's pictures on a screen of double pixel density (the test runs
// with QT_SCALE_FACTOR=2): button and farewell pictures from their large
// versions, and the drawing with every picture pixel a 2 x 2 block.

#include "DrawingBox.h"
#include "GraphicButton.h"
#include "Saluti.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QTest>

namespace {

// White with one black line down the middle.
QImage oneLine()
{
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawLine(61, 0, 61, 79);
    return picture;
}

// Whether the opaque pixels of `art` show unchanged in `shot` at `at`.
bool showsAt(const QImage &shot, const QImage &art, QPoint at)
{
    const QImage wanted = art.convertToFormat(QImage::Format_ARGB32);
    const QImage seen = shot.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < wanted.height(); ++y)
        for (int x = 0; x < wanted.width(); ++x)
            if (qAlpha(wanted.pixel(x, y)) == 255 &&
                seen.pixel(at + QPoint(x, y)) != wanted.pixel(x, y))
                return false;
    return true;
}

} // namespace

class TestHighDensity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buttonPictureFromItsLargeVersion();
    void drawingInWholePicturePixels();
    void farewellPicturesFromTheirLargeVersions();
};

void TestHighDensity::initTestCase()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
}

void TestHighDensity::buttonPictureFromItsLargeVersion()
{
    QIcon picture;
    picture.addFile(QStringLiteral(":/art/stampa-32.png"), QSize(32, 32));
    picture.addFile(QStringLiteral(":/art/stampa-64.png"), QSize(64, 64));
    GraphicButton button;
    button.setGeometry(0, 0, 80, 40);
    button.setPicture(picture);

    QRect place(0, 0, 32, 32);
    place.moveCenter(button.rect().center());
    const QImage shot = button.grab().toImage();
    QCOMPARE(shot.size(), QSize(160, 80));
    QVERIFY(showsAt(shot, QImage(QStringLiteral(":/art/stampa-64.png")), place.topLeft() * 2));
}

void TestHighDensity::drawingInWholePicturePixels()
{
    DrawingBox box;
    box.setPicture(oneLine());
    QVERIFY(box.floodFill(10, 10));
    const QImage surface = box.surface();
    const QImage shot = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), box.size() * 2);
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const QPoint block =
                (QPoint(x, y) + QPoint(DrawingBox::kBorder, DrawingBox::kBorder)) * 2;
            for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
                QCOMPARE(shot.pixel(block + corner), surface.pixel(x, y));
        }
    }
}

void TestHighDensity::farewellPicturesFromTheirLargeVersions()
{
    Saluti saluti;
    for (const char *const name : {"Image1", "Image2"}) {
        auto *picture = saluti.findChild<QLabel *>(QLatin1String(name));
        QVERIFY(picture);
        const QImage small(QStringLiteral(":/saluti/%1.gif").arg(QLatin1String(name)));
        const QImage large(QStringLiteral(":/saluti/%1@2x.gif").arg(QLatin1String(name)));
        QCOMPARE(picture->size(), small.size());
        const QImage shot = picture->grab().toImage();
        QCOMPARE(shot.size(), large.size());
        QVERIFY2(showsAt(shot, large, QPoint(0, 0)), name);
    }
}

QTEST_MAIN(TestHighDensity)
#include "tst_highdensity.moc"
