// Fingers and pens on the sheet's controls, sent through Qt's own input path
// so that the mouse events Qt makes of unhandled touches and pen strokes
// reach the widgets as they would on a real screen.

#include "DrawingBox.h"
#include "GraphicButton.h"
#include "PictureList.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>
#include <qpa/qwindowsysteminterface_p.h>

#include <memory>

namespace {

// A white picture crossed by one black line: two areas to fill.
QImage twoAreas()
{
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawLine(60, 0, 60, 79);
    return picture;
}

QPoint lineCentre(const PictureList &list, int row)
{
    return list.visualItemRect(list.item(row)).center();
}

} // namespace

class TestTouch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void tapOnALineChoosesIt();
    void swipeScrollsAndChoosesNothing();
    void mouseDragStillChoosesEveryLineCrossed();
    void tapOnTheDrawingFillsOnce();
    void penTapOnTheDrawingFillsOnce();
    void tapOnASwatchChoosesItOnce();

private:
    void tap(QWidget *widget, QPoint at);
    void pen(QWidget *widget, QPoint at, Qt::MouseButtons buttons);

    std::unique_ptr<QPointingDevice> finger;
    std::unique_ptr<QPointingDevice> stylus;
    std::unique_ptr<QWidget> window;
    PictureList *list = nullptr;
    DrawingBox *box = nullptr;
    GraphicButton *swatch = nullptr;
};

void TestTouch::initTestCase()
{
    finger.reset(QTest::createTouchDevice());
    stylus = std::make_unique<QPointingDevice>(
        QStringLiteral("pen"), 2, QInputDevice::DeviceType::Stylus,
        QPointingDevice::PointerType::Pen,
        QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    QWindowSystemInterface::registerInputDevice(stylus.get());
    // On X11 (with XInput 2), Windows and macOS Qt itself makes mouse events
    // of the pen strokes a widget does not take; offscreen has to be told.
    QWindowSystemInterfacePrivate::TabletEvent::setPlatformSynthesizesMouse(false);
}

void TestTouch::init()
{
    window = std::make_unique<QWidget>();
    window->resize(400, 300);
    list = new PictureList(window.get());
    list->setGeometry(10, 10, 130, 120);
    list->setPath(QStringLiteral(TINGOLAMO_GIF_DIR));
    box = new DrawingBox(window.get());
    box->move(150, 10);
    box->setScaleMode(DrawingBox::kScalePixels);
    box->setPicture(twoAreas());
    swatch = new GraphicButton(window.get());
    swatch->setGeometry(10, 150, 100, 64);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(list->count() > 10);
}

void TestTouch::tap(QWidget *widget, QPoint at)
{
    QTest::touchEvent(widget, finger.get()).press(0, at, widget);
    QTest::touchEvent(widget, finger.get()).release(0, at, widget);
}

void TestTouch::pen(QWidget *widget, QPoint at, Qt::MouseButtons buttons)
{
    QWindow *handle = widget->window()->windowHandle();
    const QPointF local = widget->mapTo(widget->window(), QPointF(at));
    QWindowSystemInterface::handleTabletEvent(handle, stylus.get(), local,
                                              handle->mapToGlobal(local), buttons,
                                              buttons ? 0.8 : 0.0, 0, 0, 0, 0, 0);
    QWindowSystemInterface::flushWindowSystemEvents();
}

void TestTouch::tapOnALineChoosesIt()
{
    QSignalSpy loads(list, &PictureList::selectionMoved);
    tap(list->viewport(), lineCentre(*list, 2));
    QCOMPARE(loads.count(), 1);
    QCOMPARE(list->FileName(), list->item(2)->text());

    tap(list->viewport(), lineCentre(*list, 0));
    QCOMPARE(loads.count(), 2);
    QCOMPARE(list->FileName(), list->item(0)->text());
}

void TestTouch::swipeScrollsAndChoosesNothing()
{
    QSignalSpy loads(list, &PictureList::selectionMoved);
    QScrollBar *bar = list->verticalScrollBar();
    QCOMPARE(bar->value(), 0);
    QWidget *viewport = list->viewport();
    QPoint at(40, viewport->height() - 5);
    QTest::touchEvent(viewport, finger.get()).press(0, at, viewport);
    for (int step = 0; step < 10; ++step) {
        at.ry() -= 10;
        QTest::touchEvent(viewport, finger.get()).move(0, at, viewport);
    }
    QTest::touchEvent(viewport, finger.get()).release(0, at, viewport);

    QCOMPARE(loads.count(), 0);
    QVERIFY(list->FileName().isEmpty());
    QVERIFY2(bar->value() > 0, "the list scrolled towards its end");
}

// With the button held, the mouse chooses every line it passes over, and so
// loads each of them: that stays as it was.
void TestTouch::mouseDragStillChoosesEveryLineCrossed()
{
    QSignalSpy loads(list, &PictureList::selectionMoved);
    QWidget *viewport = list->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, lineCentre(*list, 0));
    for (int row = 1; row <= 3; ++row)
        QTest::mouseMove(viewport, lineCentre(*list, row));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, lineCentre(*list, 3));
    QCOMPARE(loads.count(), 4);
    QCOMPARE(list->FileName(), list->item(3)->text());
}

void TestTouch::tapOnTheDrawingFillsOnce()
{
    QSignalSpy fills(box, &DrawingBox::mouseUp);
    const QPoint pixel(20, 30);
    tap(box, pixel + QPoint(DrawingBox::kBorder, DrawingBox::kBorder));
    QCOMPARE(fills.count(), 1);
    QCOMPARE(fills.at(0).at(0).value<std::int16_t>(), std::int16_t(1)); // the left button
    QCOMPARE(fills.at(0).at(2).toFloat(), float(pixel.x()));
    QCOMPARE(fills.at(0).at(3).toFloat(), float(pixel.y()));
}

void TestTouch::penTapOnTheDrawingFillsOnce()
{
#if !QT_CONFIG(tabletevent)
    QSKIP("This Qt has no tablet events: a pen reaches it as the mouse events the system makes");
#endif
    QSignalSpy fills(box, &DrawingBox::mouseUp);
    const QPoint at(90, 40);
    pen(box, at, Qt::LeftButton);
    pen(box, at, Qt::NoButton);
    QCOMPARE(fills.count(), 1);
    QCOMPARE(fills.at(0).at(2).toFloat(), float(at.x() - DrawingBox::kBorder));
}

void TestTouch::tapOnASwatchChoosesItOnce()
{
    QSignalSpy chosen(swatch, &QAbstractButton::clicked);
    tap(swatch, QPoint(50, 32));
    QCOMPARE(chosen.count(), 1);
}

QTEST_MAIN(TestTouch)
#include "tst_touch.moc"
