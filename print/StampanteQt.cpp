#include "StampanteQt.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "RispostaServer.h"
#include "UnitaScala.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinterInfo>

namespace {

constexpr double puntiPerPollice = 72.0;

QString senzaPunto(QString frase)
{
    while (frase.endsWith(u'.'))
        frase.chop(1);
    return frase;
}

} // namespace

StampanteQt::StampanteQt(const QPrinterInfo &info) : printer(info, QPrinter::HighResolution)
{
    // Qt keeps its own default paper unless told the printer's.
    printer.setPageSize(info.defaultPageSize());
    printer.setPageOrientation(QPageLayout::Portrait);
    QPageLayout impaginazione = printer.pageLayout();
    impaginazione.setUnits(QPageLayout::Point);
    marginiMinimi = impaginazione.minimumMargins();
    // The printable area is ours to place: the painter's origin is the
    // paper's corner and nothing of Qt's margins applies.
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(), QPageLayout::Point);
}

void StampanteQt::Orientation(qint16 codice)
{
    if (codice != 1 && codice != 2)
        errore(QStringLiteral("non accetta l'orientamento %1").arg(codice));
    if (!pagina.isEmpty())
        errore(QStringLiteral("ha già cominciato la pagina"));
    if (!printer.setPageOrientation(codice == 1 ? QPageLayout::Portrait : QPageLayout::Landscape))
        errore(QStringLiteral("non accetta l'orientamento %1").arg(codice));
}

float StampanteQt::ScaleWidth()
{
    return float(areaStampabile().width());
}

float StampanteQt::ScaleHeight()
{
    return float(areaStampabile().height());
}

qint16 StampanteQt::ScaleMode()
{
    return UnitaScala::Pixel;
}

float StampanteQt::ScaleX(float lunghezza, qint16 da, qint16 a)
{
    return convertiLunghezza(lunghezza, da, a, printer.resolution());
}

float StampanteQt::ScaleY(float lunghezza, qint16 da, qint16 a)
{
    return convertiLunghezza(lunghezza, da, a, printer.resolution());
}

void StampanteQt::PaintPicture(const Figura &figura, float left, float top, double width,
                               double height)
{
    const QPointF origine = areaStampabile().topLeft();
    pagina.append({figura.immagine, QRectF(origine.x() + left, origine.y() + top, width, height)});
}

void StampanteQt::EndDoc()
{
    if (pagina.isEmpty())
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        errore(QStringLiteral("non risponde"));
    for (const Disegno &disegno : std::as_const(pagina))
        painter.drawImage(disegno.rettangolo, disegno.immagine);
    pagina.clear();
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        errore(QStringLiteral("non ha accettato la stampa"));
    if (const std::optional<QString> rifiuto = rifiutoDelServer())
        errore(QStringLiteral("non ha accettato la stampa: %1").arg(senzaPunto(*rifiuto)));
}

// The paper of the current orientation less the printer's unprintable
// edges, in device pixels from the paper's top-left corner.
QRectF StampanteQt::areaStampabile() const
{
    const double scala = printer.resolution() / puntiPerPollice;
    const QRectF carta = printer.pageLayout().fullRect(QPageLayout::Point);
    const QRectF area = carta.marginsRemoved(marginiOrientati());
    return QRectF(area.x() * scala, area.y() * scala, qMax(0.0, area.width()) * scala,
                  qMax(0.0, area.height()) * scala);
}

// The unprintable edges are those of the portrait sheet. A landscape page is
// that sheet turned a quarter, one way or the other depending on the
// printer: each side then keeps clear of the wider of the two edges it may
// fall on.
QMarginsF StampanteQt::marginiOrientati() const
{
    if (printer.pageLayout().orientation() == QPageLayout::Portrait)
        return marginiMinimi;
    const qreal lati = qMax(marginiMinimi.top(), marginiMinimi.bottom());
    const qreal capi = qMax(marginiMinimi.left(), marginiMinimi.right());
    return QMarginsF(lati, capi, lati, capi);
}

void StampanteQt::errore(const QString &cosa) const
{
    throw ErroreStampa(QStringLiteral("La stampante «%1» %2.").arg(printer.printerName(), cosa));
}
