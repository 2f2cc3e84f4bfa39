#pragma once

#include <QByteArray>
#include <QImage>

// A single-frame GIF of two colours, black and white, of `page`: every pixel
// that is pure black stays black, every other pixel becomes white. Empty when
// the encoder fails.
QByteArray encodeTwoColourGif(const QImage &page);
