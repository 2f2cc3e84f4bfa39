#include "StampaFigura.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "Stampante.h"
#include "UnitaScala.h"

namespace {

constexpr qint16 Verticale = 1;
constexpr qint16 Orizzontale = 2;

// The printed picture's size in the printer's unit.
struct Bersaglio
{
    double larghezza = 0;
    double altezza = 0;
};

void orientaPagina(const Figura &figura, Stampante &stampante)
{
    stampante.Orientation(figura.Height >= figura.Width ? Verticale : Orizzontale);
}

double rapportoFigura(const Figura &figura)
{
    if (figura.Height == 0)
        throw ErroreStampa(QStringLiteral("Il disegno è alto zero: non c'è niente da stampare."));
    return double(figura.Width) / double(figura.Height);
}

// Each read comes before the conversion that uses it, in this order.
double larghezzaPagina(Stampante &stampante)
{
    const float larghezza = stampante.ScaleWidth();
    const qint16 unita = stampante.ScaleMode();
    return stampante.ScaleX(larghezza, unita, UnitaScala::Himetric);
}

double altezzaPagina(Stampante &stampante)
{
    const float altezza = stampante.ScaleHeight();
    const qint16 unita = stampante.ScaleMode();
    return stampante.ScaleY(altezza, unita, UnitaScala::Himetric);
}

double rapportoPagina(double larghezza, double altezza)
{
    if (altezza == 0)
        throw ErroreStampa(QStringLiteral("L'area stampabile della stampante è alta zero."));
    return larghezza / altezza;
}

double versoLarghezza(Stampante &stampante, double himetric)
{
    const qint16 unita = stampante.ScaleMode();
    return stampante.ScaleX(float(himetric), UnitaScala::Himetric, unita);
}

double versoAltezza(Stampante &stampante, double himetric)
{
    const qint16 unita = stampante.ScaleMode();
    return stampante.ScaleY(float(himetric), UnitaScala::Himetric, unita);
}

Bersaglio adatta(Stampante &stampante, double rFigura, double paginaL, double paginaA,
                 double rPagina)
{
    Bersaglio bersaglio;
    if (rFigura >= rPagina) {
        bersaglio.larghezza = versoLarghezza(stampante, paginaL);
        bersaglio.altezza = versoAltezza(stampante, paginaL / rFigura);
    } else {
        bersaglio.altezza = versoAltezza(stampante, paginaA);
        bersaglio.larghezza = versoLarghezza(stampante, paginaA * rFigura);
    }
    return bersaglio;
}

} // namespace

void StampaFigura(const Figura &figura, Stampante &stampante)
{
    orientaPagina(figura, stampante);
    const double rFigura = rapportoFigura(figura);
    const double paginaL = larghezzaPagina(stampante);
    const double paginaA = altezzaPagina(stampante);
    const double rPagina = rapportoPagina(paginaL, paginaA);
    const Bersaglio bersaglio = adatta(stampante, rFigura, paginaL, paginaA, rPagina);
    stampante.PaintPicture(figura, 0, 0, bersaglio.larghezza, bersaglio.altezza);
}

QString stampaDocumento(const Figura &figura, Stampante &stampante)
{
    try {
        StampaFigura(figura, stampante);
        stampante.EndDoc();
    } catch (const ErroreStampa &errore) {
        return errore.messaggio();
    }
    return {};
}
