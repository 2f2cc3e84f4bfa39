#include "Stampa.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "PaintingWait.h"
#include "ServerStampa.h"
#include "StampaFigura.h"
#include "StampantePdf.h"

#include <chrono>

namespace {

// How long the print server may take over one page, from the click to the
// job in its queue. A job that fails then is cancelled in at most a second
// more, so the click has its answer well within ten seconds.
constexpr std::chrono::milliseconds attesaServer(5500);

QString stampaEntro(const Figura &figura, ServerStampa::Clock::time_point scadenza)
{
    try {
        ServerStampa server(scadenza);
        const std::optional<Carta> carta = server.cartaPredefinita();
        if (!carta)
            return QStringLiteral("Nessuna stampante predefinita.");
        StampantePdf stampante(*carta, [&server, &carta](const QByteArray &pdf, bool orizzontale) {
            server.consegna(*carta, pdf, orizzontale);
        });
        return stampaDocumento(figura, stampante);
    } catch (const ErroreStampa &errore) {
        return errore.messaggio();
    }
}

} // namespace

QString stampaPagina(const QImage &picture)
{
    const auto scadenza = ServerStampa::Clock::now() + attesaServer;
    const Figura figura = figuraDaImmagine(picture);
    QString messaggio = QStringLiteral("Il disegno non è stato stampato.");
    runWhileWindowsPaint([&] { messaggio = stampaEntro(figura, scadenza); });
    return messaggio;
}
