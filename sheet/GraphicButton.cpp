#include "GraphicButton.h"

#include "ColourConversion.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace {

constexpr int kPictureSize = 32;
constexpr int kBorder = 2;

} // namespace

GraphicButton::GraphicButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphicButton::setBackColour(Colore colour)
{
    backColour_ = colour;
    update();
}

void GraphicButton::setPicture(const QIcon &picture)
{
    picture_ = picture;
    update();
}

void GraphicButton::setDownPicture(const QIcon &picture)
{
    downPicture_ = picture;
    update();
}

void GraphicButton::setDisabledPicture(const QIcon &picture)
{
    disabledPicture_ = picture;
    update();
}

void GraphicButton::setAppearance(Appearance appearance)
{
    appearance_ = appearance;
    update();
}

void GraphicButton::setSpokenName(const QString &name)
{
    spokenName_ = name;
    updateSpokenName();
}

void GraphicButton::setDisabledSuffix(const QString &suffix)
{
    disabledSuffix_ = suffix;
    updateSpokenName();
}

void GraphicButton::copyPropertiesFrom(const GraphicButton &model)
{
    setGeometry(model.geometry());
    setBackColour(model.backColour_);
    setPicture(model.picture_);
    setDownPicture(model.downPicture_);
    setDisabledPicture(model.disabledPicture_);
    setAppearance(model.appearance_);
    setDisabledSuffix(model.disabledSuffix_);
    setSpokenName(model.spokenName_);
    setEnabled(model.isEnabled());
    setFocusPolicy(model.focusPolicy());
    setCursor(model.cursor());
}

QSize GraphicButton::sizeHint() const
{
    return {kPictureSize + 2 * kBorder + 4, kPictureSize + 2 * kBorder + 4};
}

void GraphicButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(backColour_));
    drawPicture(painter, currentPicture());
    drawBorder(painter);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(kBorder + 2, kBorder + 2, -kBorder - 2, -kBorder - 2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void GraphicButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateSpokenName();
}

const QIcon &GraphicButton::currentPicture() const
{
    if (!isEnabled() && !disabledPicture_.isNull())
        return disabledPicture_;
    if (isDown() && !downPicture_.isNull())
        return downPicture_;
    return picture_;
}

void GraphicButton::drawBorder(QPainter &painter) const
{
    if (appearance_ == Appearance::Flat) {
        painter.setPen(isDown() ? palette().color(QPalette::Dark)
                                : palette().color(QPalette::Shadow));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (isDown())
            painter.drawRect(rect().adjusted(1, 1, -2, -2));
        return;
    }
    qDrawWinButton(&painter, rect(), palette(), isDown());
}

void GraphicButton::drawPicture(QPainter &painter, const QIcon &picture) const
{
    if (picture.isNull())
        return;
    // The picture keeps its design size, shrunk only where the button is smaller.
    const int room = std::min(width(), height()) - 2 * kBorder;
    const int side = std::clamp(room, 1, kPictureSize);
    QRect target(0, 0, side, side);
    target.moveCenter(rect().center());
    if (isDown())
        target.translate(1, 1);
    picture.paint(&painter, target);
}

void GraphicButton::updateSpokenName()
{
    setAccessibleName(isEnabled() ? spokenName_ : spokenName_ + disabledSuffix_);
}
