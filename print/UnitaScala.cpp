#include "UnitaScala.h"

#include "ErroreStampa.h"

double unitaPerPollice(qint16 codice, double puntiPerPollice)
{
    switch (codice) {
    case UnitaScala::Twip:
        return 1440.0;
    case UnitaScala::Punto:
        return 72.0;
    case UnitaScala::Pixel:
        return puntiPerPollice;
    case UnitaScala::Pollice:
        return 1.0;
    case UnitaScala::Millimetro:
        return 25.4;
    case UnitaScala::Centimetro:
        return 2.54;
    case UnitaScala::Himetric:
        return 2540.0;
    default:
        throw ErroreStampa(QStringLiteral("La stampante usa un'unità di misura sconosciuta."));
    }
}

float convertiLunghezza(float lunghezza, qint16 da, qint16 a, double puntiPerPollice)
{
    const double pollici = double(lunghezza) / unitaPerPollice(da, puntiPerPollice);
    return float(pollici * unitaPerPollice(a, puntiPerPollice));
}
