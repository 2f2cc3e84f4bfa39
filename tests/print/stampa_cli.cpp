// Prints a picture file through stampaPagina, as the print button does, and
// tells what came back: "stampato" or the message the user would see, one
// line per print, with the time each call took when asked.
//
// With --senza-fine it draws the page on the default printer and then drops
// the document without ending it, as a print stopped by a failure does.
//
//   stampa_cli [--volte N] [--tempi] [--senza-fine] <picture>

#include "Stampa.h"

#ifndef Q_OS_WIN
#include "ErroreStampa.h"
#include "Figura.h"
#include "ServerStampa.h"
#include "StampaFigura.h"
#include "StampantePdf.h"
#endif

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

namespace {

struct Opzioni
{
    QString percorso;
    int volte = 1;
    bool tempi = false;
    bool senzaFine = false;
};

Opzioni leggiOpzioni(const QGuiApplication &app)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("volte"), QStringLiteral("Number of prints."),
                      QStringLiteral("N"), QStringLiteral("1")});
    parser.addOption({QStringLiteral("tempi"), QStringLiteral("Show each call's duration.")});
    parser.addOption(
        {QStringLiteral("senza-fine"), QStringLiteral("Draw, then drop the document.")});
    parser.addPositionalArgument(QStringLiteral("picture"), QStringLiteral("Picture to print."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    return {parser.positionalArguments().constFirst(),
            parser.value(QStringLiteral("volte")).toInt(), parser.isSet(QStringLiteral("tempi")),
            parser.isSet(QStringLiteral("senza-fine"))};
}

// Draws the page for the default printer and lets it go without EndDoc.
#ifdef Q_OS_WIN
QString disegnaSenzaFinire(const QImage &)
{
    return QStringLiteral("--senza-fine is for the CUPS printing of Linux");
}
#else
QString disegnaSenzaFinire(const QImage &picture)
{
    try {
        ServerStampa server(ServerStampa::Clock::now() + std::chrono::seconds(5));
        const std::optional<Carta> carta = server.cartaPredefinita();
        if (!carta)
            return QStringLiteral("Nessuna stampante predefinita.");
        StampantePdf stampante(*carta, [](const QByteArray &, bool) {});
        StampaFigura(figuraDaImmagine(picture), stampante);
    } catch (const ErroreStampa &errore) {
        return errore.messaggio();
    }
    return QStringLiteral("abbandonato");
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const Opzioni opzioni = leggiOpzioni(app);
    QTextStream out(stdout);

    const QImage picture(opzioni.percorso);
    if (picture.isNull()) {
        out << "cannot read " << opzioni.percorso << Qt::endl;
        return 2;
    }
    bool tutteStampate = true;
    for (int i = 0; i < opzioni.volte; ++i) {
        QElapsedTimer orologio;
        orologio.start();
        const QString messaggio =
            opzioni.senzaFine ? disegnaSenzaFinire(picture) : stampaPagina(picture);
        const double millisecondi = orologio.nsecsElapsed() / 1e6;
        out << (messaggio.isEmpty() ? QStringLiteral("stampato") : messaggio);
        if (opzioni.tempi)
            out << '\t' << QString::number(millisecondi, 'f', 2) << " ms";
        out << Qt::endl;
        tutteStampate = tutteStampate && messaggio.isEmpty();
    }
    return tutteStampate ? 0 : 1;
}
