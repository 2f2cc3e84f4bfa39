#pragma once

#include <QImage>

// The two images the drawing box keeps of a drawing. Plain functions over
// QImage, no widgets.

// The colouring surface: the picture composed over the box's white ground,
// so transparent pixels become white and fill like white, as
// QImage::Format_RGB32. Works in the picture's own memory when nobody else
// shares it, so a large drawing is not held twice while it is made.
QImage colouringSurface(QImage picture);

// The picture as loaded, kept at eight bits a pixel with its exact colours
// when it has at most 256 of them (a GIF picture always has), otherwise the
// picture itself. A null picture stays null.
QImage compactCopy(const QImage &picture);
