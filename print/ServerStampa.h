#pragma once

#include "Carta.h"

#include <QByteArray>

#include <chrono>
#include <memory>
#include <optional>

struct _http_s;
struct _ipp_s;

// One conversation with the user's print server, none of which waits past
// the deadline it was opened with: every read and write on the connection
// gives up then, and the connection is closed with the object.
class ServerStampa
{
public:
    using Clock = std::chrono::steady_clock;

    explicit ServerStampa(Clock::time_point scadenza);
    ~ServerStampa();

    ServerStampa(const ServerStampa &) = delete;
    ServerStampa &operator=(const ServerStampa &) = delete;

    // The default printer and its default paper; nothing when no server can
    // be reached or no printer is the default. Throws ErroreStampa when the
    // server does not answer in time or does not tell its paper.
    std::optional<Carta> cartaPredefinita();

    // Hands `pdf`, one page, to the printer of `carta` as a job of its own.
    // The job is held until the whole document is in, and only then let go:
    // when this returns, the job is in the printer's queue. Throws
    // ErroreStampa otherwise; the job is then cancelled, and even if the
    // server is not there to hear that, a held job never prints.
    void consegna(const Carta &carta, const QByteArray &pdf, bool orizzontale);

    // Asks the server to cancel job `lavoro` of the printer of `carta`,
    // without looking at the answer.
    void annulla(const Carta &carta, int lavoro);

private:
    struct Chiusura
    {
        void operator()(_http_s *http) const;
    };
    struct Risposta
    {
        void operator()(_ipp_s *ipp) const;
    };
    using RispostaIpp = std::unique_ptr<_ipp_s, Risposta>;

    static int ancoraTempo(_http_s *http, void *server);
    RispostaIpp chiedi(_ipp_s *richiesta, const QByteArray &risorsa);
    void cartaDellaStampante(Carta &carta);
    int creaLavoroSospeso(const Carta &carta, bool orizzontale);
    void inviaDocumento(const Carta &carta, int lavoro, const QByteArray &pdf);
    void rilascia(const Carta &carta, int lavoro);
    [[noreturn]] void fallito(const Carta &carta) const;

    const Clock::time_point scadenza;
    bool scaduto = false;
    std::unique_ptr<_http_s, Chiusura> http;
};
