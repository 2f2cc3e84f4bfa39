#include "CommandLine.h"

#include "VectorPicture.h"

namespace {

const QString kFolderOption = QStringLiteral("--cartella");
const QString kBoundOption = QStringLiteral("--attesa");
const QString kWorkerOption = QStringLiteral("--lavoro");
constexpr int kLongestBound = 3600;

bool isOption(const QString &argument, const QString &option)
{
    return argument == option || argument.startsWith(option + QLatin1Char('='));
}

// The value of an option given as "--option value" or "--option=value";
// moves `i` past it. Empty, with an error, when it is missing.
QString optionValue(const QStringList &arguments, qsizetype &i, const QString &option,
                    QString &error)
{
    const QString &argument = arguments.at(i);
    if (argument != option)
        return argument.mid(option.size() + 1);
    if (++i == arguments.size()) {
        error = QStringLiteral("manca il valore dopo %1").arg(option);
        return {};
    }
    return arguments.at(i);
}

void parseBound(const QString &value, CommandLine &line)
{
    bool ok = false;
    const int seconds = value.toInt(&ok);
    if (!ok || seconds < 1 || seconds > kLongestBound)
        line.error = QStringLiteral("%1 vuole un numero di secondi tra 1 e %2")
                         .arg(kBoundOption)
                         .arg(kLongestBound);
    else
        line.bound = std::chrono::seconds(seconds);
}

void checkWhatIsAsked(CommandLine &line)
{
    if (!line.error.isEmpty() || line.help)
        return;
    if (!line.workerName.isEmpty()) {
        if (line.window || !line.pictures.isEmpty())
            line.error = QStringLiteral("%1 va da solo").arg(kWorkerOption);
    } else if (line.window) {
        if (line.pictures.size() > 1)
            line.error = QStringLiteral("la finestra apre una sola immagine alla volta");
    } else if (line.pictures.isEmpty()) {
        line.error = QStringLiteral("nessuna immagine da trasformare");
    }
}

// What the command turns into drawings.
QString whatIsRead()
{
    if (vectorPicturesReadable())
        return QStringLiteral(
            "Trasforma ogni IMMAGINE (PNG, JPEG, GIF, BMP, SVG o la prima pagina di un PDF)\n"
            "in un disegno da colorare per TINGOLAMO e lo aggiunge ai disegni.\n");
    return QStringLiteral(
        "Trasforma ogni IMMAGINE (PNG, JPEG, GIF o BMP) in un disegno da colorare per\n"
        "TINGOLAMO e lo aggiunge ai disegni. I disegni SVG e i PDF qui non si leggono.\n");
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size() && line.error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        if (!options || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.pictures << argument;
        } else if (argument == QLatin1String("--")) {
            options = false;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help") ||
                   argument == QLatin1String("--aiuto")) {
            line.help = true;
        } else if (argument == QLatin1String("--finestra")) {
            line.window = true;
        } else if (isOption(argument, kFolderOption)) {
            line.folder = optionValue(arguments, i, kFolderOption, line.error);
        } else if (isOption(argument, kBoundOption)) {
            const QString value = optionValue(arguments, i, kBoundOption, line.error);
            if (line.error.isEmpty())
                parseBound(value, line);
        } else if (isOption(argument, kWorkerOption)) {
            line.workerName = optionValue(arguments, i, kWorkerOption, line.error);
        } else {
            line.error = QStringLiteral("opzione sconosciuta: %1").arg(argument);
        }
    }
    checkWhatIsAsked(line);
    return line;
}

QString usageText()
{
    return QStringLiteral(
               "Uso: tingolamo-disegno [--cartella CARTELLA] [--attesa SECONDI] IMMAGINE...\n"
               "     tingolamo-disegno --finestra [--cartella CARTELLA] [IMMAGINE]\n"
               "%1"
               "\n"
               "  --cartella CARTELLA  scrive i disegni in CARTELLA invece che nella\n"
               "                       cartella Gif del programma\n"
               "  --attesa SECONDI     quanto può durare al massimo la lettura di\n"
               "                       un'immagine (30 secondi se non si dice)\n"
               "  --finestra           mostra l'immagine e il disegno in una finestra,\n"
               "                       con i pulsanti Aggiungi e Annulla\n"
               "  -h, --help           mostra questo aiuto\n")
        .arg(whatIsRead());
}
