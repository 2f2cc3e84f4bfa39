#pragma once

#include <QtGlobal>

// Codes of the units of length a printer works in.
namespace UnitaScala {
constexpr qint16 Twip = 1;
constexpr qint16 Punto = 2;
constexpr qint16 Pixel = 3;
constexpr qint16 Pollice = 5;
constexpr qint16 Millimetro = 6;
constexpr qint16 Centimetro = 7;
constexpr qint16 Himetric = 8;
} // namespace UnitaScala

// How many units of code `codice` make one inch; a pixel is one device dot
// at `puntiPerPollice` dots per inch. Throws ErroreStampa for an unknown code.
double unitaPerPollice(qint16 codice, double puntiPerPollice);

// `lunghezza` in unit `da` converted to unit `a`, in single precision.
float convertiLunghezza(float lunghezza, qint16 da, qint16 a, double puntiPerPollice);
