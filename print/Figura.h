#pragma once

#include <QImage>
#include <QtGlobal>

// A picture to print: the image as loaded from its file and its size in
// HIMETRIC (0.01 mm).
struct Figura
{
    QImage immagine;
    qint32 Width = 0;
    qint32 Height = 0;
};

// A length of `pixel` pixels at 96 dots per inch in HIMETRIC, rounded to
// the nearest unit (2,540 HIMETRIC to the inch).
qint32 himetricDaPixel(int pixel);

// The picture of `immagine`, sized from its pixels at 96 dots per inch.
Figura figuraDaImmagine(const QImage &immagine);
