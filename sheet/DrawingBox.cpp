#include "DrawingBox.h"

#include "AreaFill.h"
#include "ColourConversion.h"
#include "PictureSurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <utility>

namespace {

std::int16_t buttonMask(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

std::int16_t shiftMask(Qt::KeyboardModifiers modifiers)
{
    std::int16_t mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

} // namespace

DrawingBox::DrawingBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void DrawingBox::setPicture(QImage picture)
{
    // The old drawing is let go first, and the new one is made in the memory
    // it was loaded into: a large drawing is never held twice in full.
    surface_ = QImage();
    picture_ = compactCopy(picture);
    surface_ = colouringSurface(std::move(picture));
    if (!surface_.isNull())
        resize(surface_.width() + 2 * kBorder, surface_.height() + 2 * kBorder);
    update();
}

bool DrawingBox::floodFill(int x, int y)
{
    if (surface_.isNull())
        return false;
    const QRect painted = fillArea(surface_, x, y, toQRgb(fillColour_));
    if (painted.isNull())
        return false;
    repaint(painted.translated(kBorder, kBorder));
    return true;
}

void DrawingBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // On a dense screen every picture pixel becomes a block of equal device
    // pixels: the black outlines stay crisp and no colour bleeds across them.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect inner = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    const QRect dirty = event->rect() & inner;
    painter.fillRect(dirty, Qt::white);
    if (!surface_.isNull()) {
        const QRect source = dirty.translated(-kBorder, -kBorder) & surface_.rect();
        painter.drawImage(source.topLeft() + QPoint(kBorder, kBorder), surface_, source);
    }
    if (!inner.contains(event->rect()))
        qDrawWinPanel(&painter, rect(), palette(), true);
}

void DrawingBox::mousePressEvent(QMouseEvent *event)
{
    // A press does nothing by itself; accepting it keeps the release for the box.
    event->accept();
}

void DrawingBox::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF inner = event->position() - QPointF(kBorder, kBorder);
    emit mouseUp(buttonMask(event->button()), shiftMask(event->modifiers()), toScale(inner.x()),
                 toScale(inner.y()));
}

float DrawingBox::toScale(qreal pixels) const
{
    // Before the sheet switches the box to pixels it counts in twips (15 to
    // the pixel at 96 dots per inch).
    const qreal factor = scaleMode_ == kScalePixels ? 1.0 : 15.0;
    return static_cast<float>(pixels * factor);
}
