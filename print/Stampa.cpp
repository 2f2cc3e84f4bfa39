#include "Stampa.h"

#include "Figura.h"
#include "StampaFigura.h"
#include "StampantePredefinita.h"
#include "StampanteQt.h"

#include <chrono>

namespace {

// How long the print server may take to name the default printer.
constexpr std::chrono::seconds attesaServer(5);

} // namespace

QString stampaPagina(const QImage &picture)
{
    const std::optional<QPrinterInfo> info = stampantePredefinita(attesaServer);
    if (!info)
        return QStringLiteral("Nessuna stampante predefinita.");
    StampanteQt stampante(*info);
    return stampaDocumento(figuraDaImmagine(picture), stampante);
}
