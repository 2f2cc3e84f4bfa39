#include "Carta.h"

#include <QSizeF>

namespace {

qreal puntiDaCentesimi(int centesimi)
{
    return centesimi * 72.0 / 2540.0;
}

} // namespace

QPageSize formatoDaCentesimi(int larghezza, int altezza)
{
    return QPageSize(QSizeF(larghezza / 100.0, altezza / 100.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

QMarginsF marginiDaCentesimi(int sinistro, int superiore, int destro, int inferiore)
{
    return QMarginsF(puntiDaCentesimi(sinistro), puntiDaCentesimi(superiore),
                     puntiDaCentesimi(destro), puntiDaCentesimi(inferiore));
}
