#include "FrameStyle.h"

#include "PngPicture.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace {

const QString kFusion = QStringLiteral("fusion");

// Fusion's frame picture and the geometry it draws it with.
const QString kFusionFrame =
    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
constexpr QMargins kFrameBorder(6, 6, 6, 6);
constexpr int kTitleGap = 3;

} // namespace

FrameStyle::FrameStyle(QObject *parent)
    : QProxyStyle(QStyleFactory::create(kFusion)), frame_(pngPicture(kFusionFrame))
{
    setParent(parent);
}

void FrameStyle::applyTo(QWidget *groupBox)
{
    if (QApplication::style()->name().compare(kFusion, Qt::CaseInsensitive) != 0)
        return;
    groupBox->setStyle(new FrameStyle(groupBox));
}

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                               QPainter *painter, const QWidget *widget) const
{
    if (element != PE_FrameGroupBox || frame_.isNull()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Below the title, or a small gap when there is neither title nor check box.
    int top = kTitleGap;
    const auto *box = qobject_cast<const QGroupBox *>(widget);
    if (!box || box->isCheckable() || !box->title().isEmpty())
        top += qMax(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight),
                    option->fontMetrics.height());
    qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), kFrameBorder, frame_);
}
