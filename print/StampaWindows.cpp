#include "Stampa.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "PaintingWait.h"
#include "StampaFigura.h"
#include "StampanteWindows.h"

#include <QPrinterInfo>

#include <chrono>
#include <memory>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

// How long the printer may take over one page, from the click to the page
// in the spooler: the same bound as the print server has on Linux.
constexpr std::chrono::milliseconds attesaStampante(5500);

// What the print, which may outlive the click, shares with it.
struct Esito
{
    std::mutex mutex;
    QString stampante; // the default printer's name, once known
    QString messaggio;
    bool scaduto = false;
};

void stampaSullaPredefinita(const Figura &figura, Esito &esito)
{
    const QString nome = QPrinterInfo::defaultPrinterName();
    if (nome.isEmpty()) {
        const std::lock_guard lock(esito.mutex);
        esito.messaggio = QStringLiteral("Nessuna stampante predefinita.");
        return;
    }
    {
        const std::lock_guard lock(esito.mutex);
        esito.stampante = nome;
    }
    QString messaggio;
    try {
        StampanteWindows stampante(nome, [&esito] {
            const std::lock_guard lock(esito.mutex);
            return !esito.scaduto;
        });
        messaggio = stampaDocumento(figura, stampante);
    } catch (const ErroreStampa &errore) {
        messaggio = errore.messaggio();
    }
    const std::lock_guard lock(esito.mutex);
    esito.messaggio = messaggio;
}

QString nonRisponde(const QString &stampante)
{
    if (stampante.isEmpty())
        return QStringLiteral(
            "Il servizio di stampa non risponde: il disegno non è stato stampato.");
    return QStringLiteral("La stampante «%1» non risponde: il disegno non è stato stampato.")
        .arg(stampante);
}

} // namespace

QString stampaPagina(const QImage &picture)
{
    const Clock::time_point scadenza = Clock::now() + attesaStampante;
    const auto esito = std::make_shared<Esito>();
    // The spooler's calls have no deadline of their own: a printer that does
    // not answer keeps its worker, and the click has its answer anyway.
    const bool finita =
        runWhileWindowsPaintUntil(scadenza, [esito, figura = figuraDaImmagine(picture)] {
            stampaSullaPredefinita(figura, *esito);
        });
    const std::lock_guard lock(esito->mutex);
    if (!finita) {
        esito->scaduto = true;
        return nonRisponde(esito->stampante);
    }
    return esito->messaggio;
}
