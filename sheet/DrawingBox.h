#pragma once

#include "Palette.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

// The drawing box: shows its picture unscaled from the top-left corner of its
// inner area and takes the picture's size. The box keeps what has been painted
// on it as an image of its own, so a repaint never loses the colouring.
class DrawingBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBorder = 2;
    static constexpr int kScalePixels = 3;
    static constexpr int kScaleTwips = 1;

    explicit DrawingBox(QWidget *parent = nullptr);

    // The picture as it was loaded (kept compact, see compactCopy()); the
    // colouring lives in surface().
    const QImage &Picture() const { return picture_; }
    // Replaces the picture and discards the colouring; the box takes the
    // picture's size (an empty picture leaves the size as it is). Pass the
    // picture by std::move so its memory becomes the surface.
    void setPicture(QImage picture);
    const QImage &surface() const { return surface_; }

    Colore fillColour() const { return fillColour_; }
    void setFillColour(Colore colour) { fillColour_ = colour; }
    int scaleMode() const { return scaleMode_; }
    void setScaleMode(int mode) { scaleMode_ = mode; }
    int fillStyle() const { return fillStyle_; }
    void setFillStyle(int style) { fillStyle_ = style; }

    // Border fill at picture pixel (x, y) with the fill colour, stopping at
    // pure black. The painted part is on screen when this returns. Returns
    // whether anything was painted.
    bool floodFill(int x, int y);

signals:
    // A mouse button was released after a press on the box: the button and
    // the Shift/Ctrl/Alt keys as masks, the position in the box's scale unit
    // relative to the top-left corner of its inner area.
    void mouseUp(std::int16_t button, std::int16_t shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    float toScale(qreal pixels) const;

    QImage picture_;
    QImage surface_;
    Colore fillColour_ = 0;
    int scaleMode_ = kScaleTwips;
    int fillStyle_ = 1;
};
