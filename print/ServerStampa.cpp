#include "ServerStampa.h"

#include "ErroreStampa.h"

#include <cups/cups.h>

#include <iterator>

namespace {

// How long one wait on the connection lasts before the deadline is looked
// at again.
constexpr double passoAttesa = 0.1;

// What cancelling a job that could not be handed over may cost.
constexpr std::chrono::milliseconds attesaAnnullamento(1000);

const char *const titolo = "TINGOLAMO";

// Nobody is there to type a password: a server that asks for one refuses.
const char *nessunaPassword(const char *, http_t *, const char *, const char *, void *)
{
    return nullptr;
}

struct Destinazione
{
    void operator()(cups_dest_t *destinazione) const { cupsFreeDests(1, destinazione); }
};

QByteArray risorsaDi(const QByteArray &indirizzo)
{
    char schema[32], utente[256], host[256], risorsa[1024];
    int porta = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, indirizzo.constData(), schema, sizeof(schema), utente,
                        sizeof(utente), host, sizeof(host), &porta, risorsa,
                        sizeof(risorsa)) < HTTP_URI_STATUS_OK)
        return QByteArrayLiteral("/");
    return QByteArray(risorsa);
}

int intero(ipp_t *collezione, const char *nome)
{
    return ippGetInteger(ippFindAttribute(collezione, nome, IPP_TAG_INTEGER), 0);
}

bool accettato()
{
    return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

QString senzaPunto(QString frase)
{
    while (frase.endsWith(u'.'))
        frase.chop(1);
    return frase;
}

ErroreStampa nonRisponde(const QString &stampante)
{
    return ErroreStampa(
        QStringLiteral("La stampante «%1» non risponde: il disegno non è stato stampato.")
            .arg(stampante));
}

// Cancels job `lavoro` on a connection of its own, the one it was sent on
// having failed.
void annullaAParte(const Carta &carta, int lavoro)
{
    ServerStampa aParte(ServerStampa::Clock::now() + attesaAnnullamento);
    aParte.annulla(carta, lavoro);
}

} // namespace

void ServerStampa::Chiusura::operator()(_http_s *connessione) const
{
    httpClose(connessione);
}

void ServerStampa::Risposta::operator()(_ipp_s *ipp) const
{
    ippDelete(ipp);
}

ServerStampa::ServerStampa(Clock::time_point scadenza) : scadenza(scadenza)
{
    cupsSetPasswordCB2(nessunaPassword, nullptr);
    const auto rimasti =
        std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Clock::now()).count();
    if (rimasti <= 0)
        return;
    http.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                            int(rimasti), nullptr));
    if (http)
        httpSetTimeout(http.get(), passoAttesa, ancoraTempo, this);
}

ServerStampa::~ServerStampa() = default;

int ServerStampa::ancoraTempo(_http_s *, void *server)
{
    auto *const questo = static_cast<ServerStampa *>(server);
    if (Clock::now() < questo->scadenza)
        return 1;
    questo->scaduto = true;
    return 0;
}

std::optional<Carta> ServerStampa::cartaPredefinita()
{
    if (!http)
        return std::nullopt;
    const std::unique_ptr<cups_dest_t, Destinazione> predefinita(
        cupsGetNamedDest(http.get(), nullptr, nullptr));
    if (!predefinita) {
        if (scaduto)
            throw ErroreStampa(QStringLiteral(
                "Il servizio di stampa non risponde: il disegno non è stato stampato."));
        return std::nullopt;
    }
    Carta carta;
    carta.stampante = QString::fromUtf8(predefinita->name);
    const char *indirizzo =
        cupsGetOption("printer-uri-supported", predefinita->num_options, predefinita->options);
    carta.indirizzo = indirizzo ? QByteArray(indirizzo)
                                : "ipp://localhost/printers/" + QByteArray(predefinita->name);
    cartaDellaStampante(carta);
    return carta;
}

// Sends `richiesta` (which it frees) and returns the answer, or nothing when
// none came or the server refused.
ServerStampa::RispostaIpp ServerStampa::chiedi(_ipp_s *richiesta, const QByteArray &risorsa)
{
    if (!http) {
        ippDelete(richiesta);
        return nullptr;
    }
    RispostaIpp risposta(cupsDoRequest(http.get(), richiesta, risorsa.constData()));
    if (!accettato())
        return nullptr;
    return risposta;
}

// The default paper and its unprintable edges, as the printer reports them.
void ServerStampa::cartaDellaStampante(Carta &carta)
{
    ipp_t *const richiesta = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 carta.indirizzo.constData());
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char *const voci[] = {"media-col-default", "media-default"};
    ippAddStrings(richiesta, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(voci)), nullptr, voci);
    const RispostaIpp risposta = chiedi(richiesta, risorsaDi(carta.indirizzo));
    if (!risposta)
        fallito(carta);
    ipp_attribute_t *const nome = ippFindAttribute(risposta.get(), "media-default", IPP_TAG_ZERO);
    ipp_t *const foglio =
        ippGetCollection(ippFindAttribute(risposta.get(), "media-col-default", IPP_TAG_ZERO), 0);
    ipp_t *const misure =
        ippGetCollection(ippFindAttribute(foglio, "media-size", IPP_TAG_BEGIN_COLLECTION), 0);
    const int larghezza = intero(misure, "x-dimension");
    const int altezza = intero(misure, "y-dimension");
    if (!nome || larghezza <= 0 || altezza <= 0)
        throw ErroreStampa(
            QStringLiteral("La stampante «%1» non dice su che carta stampa.").arg(carta.stampante));
    carta.media = ippGetString(nome, 0, nullptr);
    carta.formato = formatoDaCentesimi(larghezza, altezza);
    carta.margini = marginiDaCentesimi(
        intero(foglio, "media-left-margin"), intero(foglio, "media-top-margin"),
        intero(foglio, "media-right-margin"), intero(foglio, "media-bottom-margin"));
}

void ServerStampa::consegna(const Carta &carta, const QByteArray &pdf, bool orizzontale)
{
    if (!http)
        throw nonRisponde(carta.stampante);
    const int lavoro = creaLavoroSospeso(carta, orizzontale);
    try {
        inviaDocumento(carta, lavoro, pdf);
        rilascia(carta, lavoro);
    } catch (const ErroreStampa &) {
        annullaAParte(carta, lavoro);
        throw;
    }
}

void ServerStampa::annulla(const Carta &carta, int lavoro)
{
    if (http)
        cupsCancelJob2(http.get(), carta.stampante.toUtf8().constData(), lavoro, 0);
}

// A new job on the printer, held: nothing of it prints until it is let go.
int ServerStampa::creaLavoroSospeso(const Carta &carta, bool orizzontale)
{
    cups_option_t *opzioni = nullptr;
    int quante = cupsAddOption("media", carta.media.constData(), 0, &opzioni);
    if (orizzontale)
        quante = cupsAddOption("landscape", "", quante, &opzioni);
    quante = cupsAddOption("job-hold-until", "indefinite", quante, &opzioni);

    ipp_t *const richiesta = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 carta.indirizzo.constData());
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, titolo);
    cupsEncodeOptions2(richiesta, quante, opzioni, IPP_TAG_OPERATION);
    cupsEncodeOptions2(richiesta, quante, opzioni, IPP_TAG_JOB);
    cupsFreeOptions(quante, opzioni);

    const RispostaIpp risposta = chiedi(richiesta, risorsaDi(carta.indirizzo));
    const int lavoro =
        risposta ? ippGetInteger(ippFindAttribute(risposta.get(), "job-id", IPP_TAG_INTEGER), 0)
                 : 0;
    if (lavoro <= 0)
        fallito(carta);
    return lavoro;
}

void ServerStampa::inviaDocumento(const Carta &carta, int lavoro, const QByteArray &pdf)
{
    const QByteArray coda = carta.stampante.toUtf8();
    if (cupsStartDocument(http.get(), coda.constData(), lavoro, titolo, CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE)
        fallito(carta);
    if (cupsWriteRequestData(http.get(), pdf.constData(), std::size_t(pdf.size())) !=
        HTTP_STATUS_CONTINUE)
        fallito(carta);
    if (cupsFinishDocument(http.get(), coda.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        fallito(carta);
}

// Lets the held job go: from now on it prints.
void ServerStampa::rilascia(const Carta &carta, int lavoro)
{
    ipp_t *const richiesta = ippNewRequest(IPP_OP_RELEASE_JOB);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 carta.indirizzo.constData());
    ippAddInteger(richiesta, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", lavoro);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    if (!chiedi(richiesta, QByteArrayLiteral("/jobs/")))
        fallito(carta);
}

// The step just tried failed: the server did not answer in time, or said no.
void ServerStampa::fallito(const Carta &carta) const
{
    if (scaduto || cupsLastError() == IPP_STATUS_ERROR_INTERNAL ||
        cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        throw nonRisponde(carta.stampante);
    throw ErroreStampa(
        QStringLiteral("La stampante «%1» non ha accettato la stampa: %2.")
            .arg(carta.stampante, senzaPunto(QString::fromUtf8(cupsLastErrorString()))));
}
