#include "StampantePdf.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "UnitaScala.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int puntiPerPolliceDispositivo = 1200;
constexpr double puntiPerPollice = 72.0;

} // namespace

StampantePdf::StampantePdf(const Carta &carta, Consegna consegna)
    : stampante(carta.stampante), marginiMinimi(carta.margini),
      impaginazione(carta.formato, QPageLayout::Portrait, QMarginsF(), QPageLayout::Point),
      consegna(std::move(consegna))
{}

void StampantePdf::Orientation(qint16 codice)
{
    if (codice != 1 && codice != 2)
        errore(QStringLiteral("non accetta l'orientamento %1").arg(codice));
    if (!pagina.isEmpty())
        errore(QStringLiteral("ha già cominciato la pagina"));
    impaginazione.setOrientation(codice == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
}

float StampantePdf::ScaleWidth()
{
    return float(areaStampabile().width());
}

float StampantePdf::ScaleHeight()
{
    return float(areaStampabile().height());
}

qint16 StampantePdf::ScaleMode()
{
    return UnitaScala::Pixel;
}

float StampantePdf::ScaleX(float lunghezza, qint16 da, qint16 a)
{
    return convertiLunghezza(lunghezza, da, a, puntiPerPolliceDispositivo);
}

float StampantePdf::ScaleY(float lunghezza, qint16 da, qint16 a)
{
    return convertiLunghezza(lunghezza, da, a, puntiPerPolliceDispositivo);
}

void StampantePdf::PaintPicture(const Figura &figura, float left, float top, double width,
                                double height)
{
    const QPointF origine = areaStampabile().topLeft();
    pagina.append({figura.immagine, QRectF(origine.x() + left, origine.y() + top, width, height)});
}

void StampantePdf::EndDoc()
{
    if (pagina.isEmpty())
        return;
    const QByteArray pdf = documento();
    pagina.clear();
    if (pdf.isEmpty())
        errore(QStringLiteral("non ha potuto preparare la pagina"));
    consegna(pdf, impaginazione.orientation() == QPageLayout::Landscape);
}

// The page as a one-page PDF document.
QByteArray StampantePdf::documento() const
{
    QByteArray pdf;
    QBuffer uscita(&pdf);
    if (!uscita.open(QIODevice::WriteOnly))
        return {};
    QPdfWriter scrittore(&uscita);
    scrittore.setResolution(puntiPerPolliceDispositivo);
    scrittore.setCreator(QStringLiteral("TINGOLAMO"));
    if (!scrittore.setPageLayout(impaginazione))
        return {};
    QPainter painter;
    if (!painter.begin(&scrittore))
        return {};
    for (const Disegno &disegno : std::as_const(pagina))
        painter.drawImage(disegno.rettangolo, disegno.immagine);
    if (!painter.end())
        return {};
    return pdf;
}

// The paper of the current orientation less the printer's unprintable
// edges, in device pixels from the paper's top-left corner.
QRectF StampantePdf::areaStampabile() const
{
    const double scala = puntiPerPolliceDispositivo / puntiPerPollice;
    const QRectF carta = impaginazione.fullRect(QPageLayout::Point);
    const QRectF area = carta.marginsRemoved(marginiOrientati());
    return QRectF(area.x() * scala, area.y() * scala, qMax(0.0, area.width()) * scala,
                  qMax(0.0, area.height()) * scala);
}

// The unprintable edges are those of the portrait sheet. A landscape page is
// that sheet turned a quarter, one way or the other depending on the
// printer: each side then keeps clear of the wider of the two edges it may
// fall on.
QMarginsF StampantePdf::marginiOrientati() const
{
    if (impaginazione.orientation() == QPageLayout::Portrait)
        return marginiMinimi;
    const qreal lati = qMax(marginiMinimi.top(), marginiMinimi.bottom());
    const qreal capi = qMax(marginiMinimi.left(), marginiMinimi.right());
    return QMarginsF(lati, capi, lati, capi);
}

void StampantePdf::errore(const QString &cosa) const
{
    throw ErroreStampa(QStringLiteral("La stampante «%1» %2.").arg(stampante, cosa));
}
