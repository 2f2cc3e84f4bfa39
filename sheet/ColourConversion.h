#pragma once

#include "Palette.h"

#include <QColor>

// The sheet keeps colours as 0x00BBGGRR; Qt wants 0xAARRGGBB.
inline QRgb toQRgb(Colore colour)
{
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

inline QColor toQColor(Colore colour)
{
    return QColor::fromRgb(toQRgb(colour));
}
