#include "Figura.h"

#include <algorithm>
#include <limits>

qint32 himetricDaPixel(int pixel)
{
    constexpr qint64 himetricPerPollice = 2540;
    constexpr qint64 pixelPerPollice = 96;
    const qint64 scalato = qint64(pixel) * himetricPerPollice;
    const qint64 mezzo = pixelPerPollice / 2;
    const qint64 arrotondato =
        scalato >= 0 ? (scalato + mezzo) / pixelPerPollice : (scalato - mezzo) / pixelPerPollice;
    return qint32(std::clamp<qint64>(arrotondato, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

Figura figuraDaImmagine(const QImage &immagine)
{
    return Figura{immagine, himetricDaPixel(immagine.width()), himetricDaPixel(immagine.height())};
}
