#include "AddPage.h"
#include "CommandLine.h"
#include "Console.h"
#include "ProgramFolder.h"
#include "VectorPicture.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int kAllWritten = 0;
constexpr int kSomeNotWritten = 1;
constexpr int kBadCommandLine = 2;

// The program shows no window: it draws off screen whatever the desktop is,
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

QString pageFolder(const CommandLine &line)
{
    if (!line.folder.isEmpty())
        return line.folder;
    return resolveResource(programFolder(), QStringLiteral("\\Gif"));
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffScreen();
    quietLibraries();
    prepareConsole();
    QGuiApplication application(argc, argv);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (line.help) {
        out << usageText();
        return kAllWritten;
    }
    if (!line.error.isEmpty()) {
        err << "tingolamo-disegno: " << line.error << "\n" << usageText();
        return kBadCommandLine;
    }

    const QString folder = pageFolder(line);
    bool allWritten = true;
    for (const QString &picture : line.pictures) {
        const PageOutcome outcome = addPage(picture, folder);
        (outcome.written ? out : err) << outcome.line << Qt::endl;
        allWritten = allWritten && outcome.written;
    }
    return allWritten ? kAllWritten : kSomeNotWritten;
}
