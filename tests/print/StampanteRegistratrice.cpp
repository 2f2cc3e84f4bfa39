#include "StampanteRegistratrice.h"

#include "ErroreStampa.h"

namespace {

// HIMETRIC in one unit of each code this printer knows: twip, pixel at
// 600 dots per inch, HIMETRIC.
double himetricPerUnita(qint16 codice)
{
    switch (codice) {
    case 1:
        return 2540.0 / 1440.0;
    case 3:
        return 2540.0 / 600.0;
    case 8:
        return 1.0;
    default:
        throw ErroreStampa(QStringLiteral("unità %1 sconosciuta").arg(codice));
    }
}

} // namespace

StampanteRegistratrice::StampanteRegistratrice(double areaLarghezzaHimetric,
                                               double areaAltezzaHimetric, qint16 unita)
    : areaLarghezza(areaLarghezzaHimetric), areaAltezza(areaAltezzaHimetric), unita(unita)
{}

QStringList StampanteRegistratrice::membriChiamati() const
{
    QStringList membri;
    for (const Chiamata &chiamata : registro)
        membri << chiamata.membro;
    return membri;
}

StampanteRegistratrice::Chiamata StampanteRegistratrice::disegno() const
{
    for (auto it = registro.crbegin(); it != registro.crend(); ++it) {
        if (it->membro == QLatin1String("PaintPicture"))
            return *it;
    }
    return {};
}

double StampanteRegistratrice::inHimetric(double lunghezza) const
{
    return lunghezza * himetricPerUnita(unita);
}

void StampanteRegistratrice::Orientation(qint16 codice)
{
    registra(QStringLiteral("Orientation"), {double(codice)});
}

float StampanteRegistratrice::ScaleWidth()
{
    registra(QStringLiteral("ScaleWidth"));
    return float(areaLarghezza / himetricPerUnita(unita));
}

float StampanteRegistratrice::ScaleHeight()
{
    registra(QStringLiteral("ScaleHeight"));
    return float(areaAltezza / himetricPerUnita(unita));
}

qint16 StampanteRegistratrice::ScaleMode()
{
    registra(QStringLiteral("ScaleMode"));
    return unita;
}

float StampanteRegistratrice::ScaleX(float lunghezza, qint16 da, qint16 a)
{
    registra(QStringLiteral("ScaleX"), {lunghezza, double(da), double(a)});
    return converti(lunghezza, da, a);
}

float StampanteRegistratrice::ScaleY(float lunghezza, qint16 da, qint16 a)
{
    registra(QStringLiteral("ScaleY"), {lunghezza, double(da), double(a)});
    return converti(lunghezza, da, a);
}

void StampanteRegistratrice::PaintPicture(const Figura &, float left, float top, double width,
                                          double height)
{
    registra(QStringLiteral("PaintPicture"), {left, top, width, height});
}

void StampanteRegistratrice::EndDoc()
{
    registra(QStringLiteral("EndDoc"));
}

void StampanteRegistratrice::registra(const QString &membro, const QList<double> &argomenti)
{
    registro.append({membro, argomenti});
    if (membro == membroGuasto)
        throw ErroreStampa(QStringLiteral("guasto su %1").arg(membro));
}

float StampanteRegistratrice::converti(float lunghezza, qint16 da, qint16 a) const
{
    return float(double(lunghezza) * himetricPerUnita(da) / himetricPerUnita(a));
}
