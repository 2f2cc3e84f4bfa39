#pragma once

#include <QProxyStyle>

// The Fusion style with one change: the frame of a group box is drawn from
// Qt's own frame picture read by the built-in PNG reader. Fusion reads that
// picture without naming its format, and Qt then loads every image plug-in of
// the system (SVG, JPEG, icons …) to ask each whether it knows the file,
// at the sheet's first paint. The frame looks exactly as Fusion draws it.
class FrameStyle : public QProxyStyle
{
    Q_OBJECT

public:
    explicit FrameStyle(QObject *parent);

    // The style for `groupBox`: a FrameStyle owned by it when the program
    // runs in the Fusion style, otherwise the style it already has.
    static void applyTo(QWidget *groupBox);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    QPixmap frame_;
};
