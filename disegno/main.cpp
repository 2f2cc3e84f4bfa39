#include "AddPage.h"
#include "CommandLine.h"
#include "Console.h"
#include "Conversion.h"
#include "DisplayCheck.h"
#include "ItalianQt.h"
#include "PageWindow.h"
#include "PictureChooser.h"
#include "PictureFile.h"
#include "ProgramFolder.h"
#include "ThisProcess.h"
#include "VectorPicture.h"
#include "WorkerReply.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

constexpr int kAllWritten = 0;
constexpr int kSomeNotWritten = 1;
constexpr int kBadCommandLine = 2;

// The worker shows no window: it draws off screen whatever the desktop is,
// also without one (over ssh, under sudo).
void drawOffScreen()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The libraries' own warnings about a damaged file would only hide the one
// line this program prints for it.
void quietLibraries()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.*=false\n*.warning=false"));
    quietVectorLibraries();
}

QString defaultFolder()
{
    return resolveResource(programFolder(), QStringLiteral("\\Gif"));
}

QString pageFolder(const CommandLine &line)
{
    return line.folder.isEmpty() ? defaultFolder() : line.folder;
}

// The worker: the picture's bytes on the standard input, the reply on the
// standard output. It never reads a picture with the administrator's rights.
int runWorker(int argc, char *argv[], const CommandLine &line)
{
    drawOffScreen();
    const QGuiApplication application(argc, argv);
    quietLibraries();
    Conversion conversion;
    if (runsAsAdministrator()) {
        conversion.refusal = QStringLiteral("le immagini non si leggono da amministratore");
    } else {
        const QByteArray bytes = readStandardInput(kPictureFileLimit);
        if (bytes.size() > kPictureFileLimit)
            conversion.refusal = QStringLiteral("il file è troppo grande");
        else
            conversion = convertPicture(bytes, line.workerName);
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    const QByteArray reply = encodeReply(conversion);
    return out.write(reply) == reply.size() && out.flush() ? 0 : 1;
}

int runWindow(int argc, char *argv[], const CommandLine &line)
{
    if (!graphicalDesktopAvailable())
        return explainNoDesktop();
    leaveOwnConsole();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tingolamo-disegno"));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));
    QApplication::setDesktopFileName(QStringLiteral(TINGOLAMO_APP_ID ".disegno"));
    const ItalianQt italiano;
    const QString picture = line.pictures.isEmpty() ? choosePicture() : line.pictures.first();
    if (picture.isEmpty())
        return kAllWritten;
    PageWindow window(pageFolder(line), line.folder.isEmpty(), line.bound);
    window.show();
    window.open(picture);
    return QApplication::exec();
}

int runCommand(int argc, char *argv[], const CommandLine &line)
{
    const QCoreApplication application(argc, argv);
    quietLibraries();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString folder = pageFolder(line);
    bool allWritten = true;
    for (const QString &picture : line.pictures) {
        const PageOutcome outcome = addPage(picture, folder, line.bound);
        (outcome.written() ? out : err) << outcome.line << Qt::endl;
        allWritten = allWritten && outcome.written();
    }
    return allWritten ? kAllWritten : kSomeNotWritten;
}

} // namespace

int main(int argc, char *argv[])
{
    prepareConsole();
    const CommandLine line = parseCommandLine(commandLineArguments(argc, argv));
    if (line.help) {
        QTextStream(stdout) << usageText();
        return kAllWritten;
    }
    if (!line.error.isEmpty()) {
        QTextStream(stderr) << "tingolamo-disegno: " << line.error << "\n" << usageText();
        return kBadCommandLine;
    }
    if (!line.workerName.isEmpty())
        return runWorker(argc, argv, line);
    if (line.window)
        return runWindow(argc, argv, line);
    return runCommand(argc, argv, line);
}
