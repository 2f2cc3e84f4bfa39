#include "DrawingBox.h"
#include "Foglio.h"
#include "FrameStyle.h"
#include "GraphicButton.h"
#include "Palette.h"
#include "PictureList.h"

#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTest>

#include <map>
#include <memory>

namespace {

QRgb qtColour(Colore colour)
{
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// The first white pixel of the picture, scanning from its middle row.
QPoint whitePixel(const QImage &surface)
{
    for (int y = surface.height() / 2; y < surface.height(); ++y)
        for (int x = surface.width() / 4; x < surface.width(); ++x)
            if ((surface.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                return {x, y};
    return {-1, -1};
}

QPoint blackPixel(const QImage &surface)
{
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if ((surface.pixel(x, y) & 0xFFFFFF) == 0)
                return {x, y};
    return {-1, -1};
}

} // namespace

class TestFoglio : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowAndDesignProperties();
    void layoutPassPlacesEveryControl();
    void controlsStackAndTabInDesignOrder();
    void swatchClicksChooseOneColour();
    void everySizeBuildsItsGrid_data();
    void everySizeBuildsItsGrid();
    void laterResizeEventsOnlyPlace();
    void releaseFillsWithTheChosenColour();
    void pressAloneDoesNothing();
    void choosingADrawingReplacesPictureAndColouring();

private:
    GraphicButton *swatch(int index) const;
    std::map<int, GraphicButton *> swatches() const;
    QRadioButton *option(int index) const;
    void clickOption(int index);
    void releaseOnBox(QPoint pixel, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers keys = Qt::NoModifier);
    void checkPaletteInvariant() const;

    std::unique_ptr<Foglio> foglio;
    DrawingBox *disegno = nullptr;
    PictureList *fileList = nullptr;
};

void TestFoglio::initTestCase()
{
    QCOMPARE(NumeroColori, std::int16_t(0));
    QCOMPARE(ColoreAttivo, Colore(0));
    foglio = std::make_unique<Foglio>();
    foglio->mostra();
    QVERIFY(QTest::qWaitForWindowExposed(foglio.get()));
    disegno = foglio->findChild<DrawingBox *>(QStringLiteral("Disegno"));
    fileList = foglio->findChild<PictureList *>(QStringLiteral("FileList"));
    QVERIFY(disegno && fileList);
}

void TestFoglio::cleanupTestCase()
{
    foglio.reset();
}

GraphicButton *TestFoglio::swatch(int index) const
{
    const auto all = swatches();
    const auto found = all.find(index);
    return found == all.end() ? nullptr : found->second;
}

std::map<int, GraphicButton *> TestFoglio::swatches() const
{
    std::map<int, GraphicButton *> found;
    for (GraphicButton *button : foglio->findChildren<GraphicButton *>(QStringLiteral("Colori")))
        found[button->property("index").toInt()] = button;
    return found;
}

QRadioButton *TestFoglio::option(int index) const
{
    for (QRadioButton *button : foglio->findChildren<QRadioButton *>(QStringLiteral("Scelta")))
        if (button->property("index").toInt() == index)
            return button;
    return nullptr;
}

void TestFoglio::clickOption(int index)
{
    QTest::mouseClick(option(index), Qt::LeftButton, {}, QPoint(6, 8));
}

void TestFoglio::releaseOnBox(QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    const QPoint at = pixel + QPoint(DrawingBox::kBorder, DrawingBox::kBorder);
    QTest::mousePress(disegno, button, keys, at);
    QTest::mouseRelease(disegno, button, keys, at);
}

void TestFoglio::checkPaletteInvariant() const
{
    int disabled = 0;
    for (const auto &[index, button] : swatches()) {
        if (index > 0 && !button->isEnabled()) {
            ++disabled;
            QCOMPARE(index, int(indiceAttivo()));
        }
    }
    QVERIFY(disabled <= 1);
}

void TestFoglio::windowAndDesignProperties()
{
    QCOMPARE(foglio->windowTitle(), QStringLiteral("TINGOLAMO"));
    QVERIFY(foglio->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(foglio->geometry(), foglio->screen()->geometry());
    QCOMPARE(foglio->palette().color(QPalette::Window), QColor(255, 255, 192));
    QVERIFY(!foglio->windowIcon().isNull());

    auto *frame = foglio->findChild<QGroupBox *>(QStringLiteral("NColori"));
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("N\u00B0 Colori"));
    // The frame's own style draws it exactly as Fusion does.
    QStyle *own = frame->style();
    QVERIFY(qobject_cast<FrameStyle *>(own));
    const QImage drawn = frame->grab().toImage();
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    frame->setStyle(fusion.get());
    const QImage byFusion = frame->grab().toImage();
    frame->setStyle(own);
    QCOMPARE(drawn, byFusion);
    const QStringList captions{"4", "8", "16", "32"};
    const QList<QRect> places{{8, 24, 33, 17}, {64, 24, 33, 17}, {8, 64, 33, 17}, {64, 64, 33, 17}};
    for (int index = 0; index < 4; ++index) {
        QRadioButton *button = option(index);
        QVERIFY(button);
        QCOMPARE(button->parentWidget(), frame);
        QCOMPARE(button->text(), captions.at(index));
        QCOMPARE(button->geometry(), places.at(index));
        QCOMPARE(button->isChecked(), index == 0);
    }

    GraphicButton *model = swatch(0);
    QVERIFY(model);
    QVERIFY(!model->isVisible());
    QVERIFY(model->isEnabled());
    QCOMPARE(model->geometry(), QRect(96, 352, 35, 35));
    QCOMPARE(model->backColour(), Colore(0x00FFFFFF));
    QCOMPARE(disegno->cursor().shape(), Qt::CrossCursor);
}

void TestFoglio::layoutPassPlacesEveryControl()
{
    QCOMPARE(foglio->findChild<QGroupBox *>(QStringLiteral("NColori"))->geometry(),
             QRect(26, 26, 105, 105));
    QCOMPARE(NumeroColori, std::int16_t(4));
    QCOMPARE(ColoreAttivo, Colore(0x00FF0000));
    QVERIFY(!IndiceAttivo.has_value());

    const QList<Colore> colours{0x00FF0000, 0x000000FF, 0x0000FF00, 0x0000FFFF};
    for (int k = 1; k <= 4; ++k) {
        GraphicButton *button = swatch(k);
        QVERIFY(button);
        QCOMPARE(button->geometry(), QRect(25, 150 + 66 * (k - 1), 100, 64));
        QVERIFY(button->isVisible());
        QVERIFY(button->isEnabled());
        QCOMPARE(button->backColour(), colours.at(k - 1));
        QCOMPARE(button->appearance(), GraphicButton::Appearance::Flat);
    }
    QCOMPARE(swatches().size(), std::size_t(5));

    // The drawing box holds the default drawing 1:1 at (145, 26).
    const QImage picture = disegno->Picture();
    QVERIFY(!picture.isNull());
    const int w = picture.width() + 2 * DrawingBox::kBorder;
    const int h = picture.height() + 2 * DrawingBox::kBorder;
    QCOMPARE(disegno->geometry(), QRect(145, 26, w, h));
    QCOMPARE(disegno->scaleMode(), DrawingBox::kScalePixels);
    QCOMPARE(disegno->fillStyle(), 0);

    // The two buttons sit under it, half its width each, edges flush.
    auto *fine = foglio->findChild<GraphicButton *>(QStringLiteral("Fine"));
    auto *stampa = foglio->findChild<GraphicButton *>(QStringLiteral("Stampa"));
    QVERIFY(fine && stampa);
    QCOMPARE(fine->geometry().topLeft(), QPoint(145, 26 + h));
    QCOMPARE(stampa->y(), 26 + h);
    QCOMPARE(fine->height(), 35);
    QCOMPARE(stampa->height(), 35);
    QVERIFY(qAbs(fine->width() - w / 2.0) <= 0.5);
    QCOMPARE(stampa->width(), fine->width());
    QCOMPARE(stampa->x() + stampa->width(), 145 + w);

    QCOMPARE(fileList->geometry(), QRect(505, 26, 130, 430));
    QVERIFY(fileList->Path().endsWith(QStringLiteral("/Gif")));
    QVERIFY(!fileList->findItems(QStringLiteral("cromello.gif"), Qt::MatchExactly).isEmpty());
    QVERIFY(fileList->FileName().isEmpty());
}

void TestFoglio::controlsStackAndTabInDesignOrder()
{
    // Later in the child list lies higher; the design's first control is on top.
    const QObjectList children = foglio->children();
    const auto place = [&](const QString &name) {
        for (qsizetype i = 0; i < children.size(); ++i)
            if (children.at(i)->objectName() == name)
                return i;
        return qsizetype(-1);
    };
    QVERIFY(place("NColori") > place("Stampa"));
    QVERIFY(place("Stampa") > place("Fine"));
    QVERIFY(place("Fine") > place("Disegno"));
    QVERIFY(place("Disegno") > place("FileList"));
    QVERIFY(place("FileList") > children.indexOf(swatch(0)));

    // Tab order: the model swatch, the list, the drawing box, the end button.
    const auto next = [](QWidget *widget) {
        QWidget *candidate = widget->nextInFocusChain();
        while (widget->isAncestorOf(candidate))
            candidate = candidate->nextInFocusChain();
        return candidate;
    };
    QCOMPARE(next(swatch(0)), static_cast<QWidget *>(fileList));
    QCOMPARE(next(fileList), static_cast<QWidget *>(disegno));
    QCOMPARE(next(disegno)->objectName(), QStringLiteral("Fine"));
    QCOMPARE(next(next(disegno))->objectName(), QStringLiteral("Stampa"));
}

void TestFoglio::swatchClicksChooseOneColour()
{
    QTest::mouseClick(swatch(3), Qt::LeftButton);
    QCOMPARE(ColoreAttivo, Colore(0x0000FF00));
    QVERIFY(!swatch(3)->isEnabled());
    QCOMPARE(indiceAttivo(), std::int16_t(3));
    QVERIFY(!swatch(0)->isVisible()); // the first click "re-enabled" the hidden model
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(disegno));
    checkPaletteInvariant();

    QTest::mouseClick(swatch(2), Qt::LeftButton);
    QCOMPARE(ColoreAttivo, Colore(0x000000FF));
    QVERIFY(swatch(3)->isEnabled());
    QVERIFY(!swatch(2)->isEnabled());
    checkPaletteInvariant();

    // The chosen swatch cannot be clicked again.
    QTest::mouseClick(swatch(2), Qt::LeftButton);
    QCOMPARE(indiceAttivo(), std::int16_t(2));
    checkPaletteInvariant();

    // A chosen swatch keeps showing its own colour under the tick.
    const QImage face = swatch(2)->grab().toImage();
    QCOMPARE(face.pixel(10, 10) & 0xFFFFFF, qtColour(0x000000FF) & 0xFFFFFF);
}

void TestFoglio::everySizeBuildsItsGrid_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("size");
    QTest::newRow("32") << 3 << 32;
    QTest::newRow("16") << 2 << 16;
    QTest::newRow("8") << 1 << 8;
    QTest::newRow("4") << 0 << 4;
}

void TestFoglio::everySizeBuildsItsGrid()
{
    QFETCH(int, option);
    QFETCH(int, size);
    QTest::mouseClick(swatch(2), Qt::LeftButton); // red, whatever the size
    clickOption(option);

    QCOMPARE(NumeroColori, std::int16_t(size));
    QCOMPARE(ColoreAttivo, Colore(0x00FF0000));
    QCOMPARE(indiceAttivo(), std::int16_t(1));
    const auto all = swatches();
    QCOMPARE(int(all.size()), size + 1);
    const SwatchGrid grid = swatchGrid(size).value();
    for (int k = 1; k <= size; ++k) {
        const SwatchPlace place = grid.place(k);
        GraphicButton *button = all.at(k);
        QCOMPARE(button->geometry(), QRect(place.left, place.top, place.width, place.height));
        QCOMPARE(button->backColour(), ColoriTavolozza[std::size_t(k - 1)]);
        QVERIFY(button->isVisible());
        QVERIFY(button->isEnabled());
    }
    QVERIFY(!all.at(0)->isVisible());

    // After a size change the first click on swatch 1 marks it chosen.
    QTest::mouseClick(swatch(1), Qt::LeftButton);
    QVERIFY(!swatch(1)->isEnabled());
    checkPaletteInvariant();
}

void TestFoglio::laterResizeEventsOnlyPlace()
{
    QTest::mouseClick(swatch(2), Qt::LeftButton);
    const QPoint white = whitePixel(disegno->surface());
    releaseOnBox(white);
    const QImage coloured = disegno->surface();
    const auto before = swatches();

    foglio->resize(900, 700);
    QTest::qWait(20);
    foglio->resize(foglio->screen()->geometry().size());

    QCOMPARE(swatches(), before);
    QCOMPARE(ColoreAttivo, Colore(0x000000FF));
    QCOMPARE(disegno->surface(), coloured);
    QCOMPARE(disegno->pos(), QPoint(145, 26));
    QCOMPARE(fileList->geometry(), QRect(505, 26, 130, 430));
}

void TestFoglio::releaseFillsWithTheChosenColour()
{
    QTest::mouseClick(swatch(3), Qt::LeftButton); // green
    const QImage before = disegno->surface();
    const QPoint white = whitePixel(before);
    QVERIFY(white.x() >= 0);

    releaseOnBox(white, Qt::RightButton, Qt::ShiftModifier);
    const QImage after = disegno->surface();
    QCOMPARE(after.pixel(white), qtColour(0x0000FF00));
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if ((before.pixel(x, y) & 0xFFFFFF) == 0)
                QCOMPARE(after.pixel(x, y) & 0xFFFFFF, 0u);

    // What is painted survives a repaint of the box.
    disegno->repaint();
    const QImage shown = disegno->grab().toImage();
    QCOMPARE(shown.pixel(white + QPoint(DrawingBox::kBorder, DrawingBox::kBorder)),
             qtColour(0x0000FF00));

    // A release on black paints nothing.
    QTest::mouseClick(swatch(1), Qt::LeftButton);
    releaseOnBox(blackPixel(after));
    QCOMPARE(disegno->surface(), after);

    // The picture to print stays as loaded.
    QCOMPARE(disegno->Picture().convertToFormat(QImage::Format_RGB32).pixel(white),
             before.pixel(white));
}

void TestFoglio::pressAloneDoesNothing()
{
    const QImage before = disegno->surface();
    const QPoint white = whitePixel(before);
    QTest::mousePress(disegno, Qt::LeftButton, {},
                      white + QPoint(DrawingBox::kBorder, DrawingBox::kBorder));
    QCOMPARE(disegno->surface(), before);
    QTest::mouseRelease(disegno, Qt::LeftButton, {}, QPoint(-50, -50)); // outside the box
    QCOMPARE(disegno->surface(), before);
}

void TestFoglio::choosingADrawingReplacesPictureAndColouring()
{
    QVERIFY(fileList->count() >= 2);
    auto *fine = foglio->findChild<GraphicButton *>(QStringLiteral("Fine"));
    auto *stampa = foglio->findChild<GraphicButton *>(QStringLiteral("Stampa"));
    const QRect fineBefore = fine->geometry();
    const QRect stampaBefore = stampa->geometry();

    int other = 0;
    while (fileList->item(other)->text() == QStringLiteral("cromello.gif"))
        ++other;
    fileList->setCurrentRow(other);
    QCOMPARE(fileList->FileName(), fileList->item(other)->text());
    const QImage picture = disegno->Picture();
    QCOMPARE(disegno->size(),
             picture.size() + QSize(2 * DrawingBox::kBorder, 2 * DrawingBox::kBorder));
    QCOMPARE(disegno->surface(), picture.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(fine->geometry(), fineBefore);
    QCOMPARE(stampa->geometry(), stampaBefore);
    QCOMPARE(disegno->pos(), QPoint(145, 26));

    // Moving on with the keyboard loads the next one.
    fileList->setFocus();
    QTest::keyClick(fileList, Qt::Key_Down);
    QCOMPARE(fileList->currentRow(), other + 1);
    QVERIFY(disegno->Picture() != picture);
}

QTEST_MAIN(TestFoglio)
#include "tst_foglio.moc"
