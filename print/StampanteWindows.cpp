#include "StampanteWindows.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "UnitaScala.h"

StampanteWindows::StampanteWindows(const QString &nome, std::function<bool()> inTempo)
    : nome(nome), inTempo(std::move(inTempo)), stampante(QPrinter::HighResolution)
{
    stampante.setPrinterName(nome);
    if (!stampante.isValid())
        errore(QStringLiteral("non è disponibile"));
    stampante.setDocName(QStringLiteral("TINGOLAMO"));
    stampante.setCopyCount(1);
    stampante.setFullPage(false);
}

// A document dropped before EndDoc leaves nothing in the queue.
StampanteWindows::~StampanteWindows()
{
    if (pittore.isActive())
        stampante.abort();
}

void StampanteWindows::Orientation(qint16 codice)
{
    if (codice != 1 && codice != 2)
        errore(QStringLiteral("non accetta l'orientamento %1").arg(codice));
    if (pittore.isActive())
        errore(QStringLiteral("ha già cominciato la pagina"));
    if (!stampante.setPageOrientation(codice == 1 ? QPageLayout::Portrait : QPageLayout::Landscape))
        errore(QStringLiteral("non accetta l'orientamento %1").arg(codice));
}

float StampanteWindows::ScaleWidth()
{
    return float(areaStampabile().width());
}

float StampanteWindows::ScaleHeight()
{
    return float(areaStampabile().height());
}

qint16 StampanteWindows::ScaleMode()
{
    return UnitaScala::Pixel;
}

float StampanteWindows::ScaleX(float lunghezza, qint16 da, qint16 a)
{
    return convertiLunghezza(lunghezza, da, a, stampante.logicalDpiX());
}

float StampanteWindows::ScaleY(float lunghezza, qint16 da, qint16 a)
{
    return convertiLunghezza(lunghezza, da, a, stampante.logicalDpiY());
}

// The painter's origin is the top-left corner of the printable area.
void StampanteWindows::PaintPicture(const Figura &figura, float left, float top, double width,
                                    double height)
{
    if (!pittore.isActive() && !pittore.begin(&stampante))
        errore(QStringLiteral("non ha accettato la stampa"));
    pittore.drawImage(QRectF(left, top, width, height), figura.immagine);
}

void StampanteWindows::EndDoc()
{
    if (!pittore.isActive())
        return;
    if (!inTempo()) {
        stampante.abort();
        pittore.end();
        errore(QStringLiteral("non risponde: il disegno non è stato stampato"));
    }
    if (!pittore.end())
        errore(QStringLiteral("non ha accettato la stampa"));
}

// The printable area of the current orientation, in device pixels.
QRectF StampanteWindows::areaStampabile() const
{
    return stampante.pageRect(QPrinter::DevicePixel);
}

void StampanteWindows::errore(const QString &cosa) const
{
    throw ErroreStampa(QStringLiteral("La stampante «%1» %2.").arg(nome, cosa));
}
