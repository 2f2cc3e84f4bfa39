#include "CommandLine.h"

#include "VectorPicture.h"

namespace {

const QString kFolderOption = QStringLiteral("--cartella");

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!options || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.pictures << argument;
        } else if (argument == QLatin1String("--")) {
            options = false;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help") ||
                   argument == QLatin1String("--aiuto")) {
            line.help = true;
        } else if (argument == kFolderOption) {
            if (++i == arguments.size()) {
                line.error = QStringLiteral("manca la cartella dopo %1").arg(kFolderOption);
                return line;
            }
            line.folder = arguments.at(i);
        } else if (argument.startsWith(kFolderOption + QLatin1Char('='))) {
            line.folder = argument.mid(kFolderOption.size() + 1);
        } else {
            line.error = QStringLiteral("opzione sconosciuta: %1").arg(argument);
            return line;
        }
    }
    if (!line.help && line.pictures.isEmpty())
        line.error = QStringLiteral("nessuna immagine da trasformare");
    return line;
}

QString usageText()
{
    const QString what =
        vectorPicturesReadable()
            ? QStringLiteral(
                  "Trasforma ogni IMMAGINE (PNG, JPEG, GIF, BMP, SVG o la prima pagina di un PDF)\n"
                  "in un disegno da colorare per TINGOLAMO e lo aggiunge ai disegni.\n")
            : QStringLiteral(
                  "Trasforma ogni IMMAGINE (PNG, JPEG, GIF o BMP) in un disegno da colorare\n"
                  "per TINGOLAMO e lo aggiunge ai disegni. Su Windows i disegni SVG e i\n"
                  "documenti PDF non si leggono: salva prima la pagina come immagine PNG.\n");
    return QStringLiteral("Uso: tingolamo-disegno [--cartella CARTELLA] IMMAGINE...\n") + what +
           QStringLiteral("\n"
                          "  --cartella CARTELLA  scrive i disegni in CARTELLA invece che nella\n"
                          "                       cartella Gif del programma\n"
                          "  -h, --help           mostra questo aiuto\n");
}
