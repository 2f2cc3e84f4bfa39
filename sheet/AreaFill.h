#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>

// The border fill of the drawing box.
//
// Paints the start pixel and every pixel reachable from it through pixels that
// are not pure black (RGB 0, 0, 0) with `colour`, whatever their colour was.
// Black pixels are never painted. A start on black or outside the image paints
// nothing. `image` must be QImage::Format_RGB32. Returns the bounding rectangle
// of the painted pixels, or a null QRect when nothing was painted.
QRect fillArea(QImage &image, int x, int y, QRgb colour);

// The same fill over a raw buffer of opaque pixels laid out as in
// QImage::Format_RGB32 (0xFFRRGGBB), rows `strideInPixels` apart. Nothing past
// the first `width` pixels of a row is read or written.
QRect fillArea(uint32_t *pixels, int width, int height, qsizetype strideInPixels, int x, int y,
               QRgb colour);
