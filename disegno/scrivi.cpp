// tingolamo-disegno-scrivi NAME.gif < page.gif
//
// The administrator's helper of the window of tingolamo-disegno, started
// through pkexec: it writes one finished page, given on the standard input,
// as the drawing NAME.gif of the picture folder beside it. It reads no
// picture but a GIF of two colours, checks it with the drawing check and
// writes only its own encoding of it, never over an existing drawing. It
// prints the command's line when the page is written, and otherwise the
// reason, in Italian, on the standard error.
#include "AddPage.h"
#include "CheckedPage.h"
#include "PageFile.h"
#include "PictureFile.h"
#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <unistd.h>

namespace {

constexpr int kWritten = 0;
constexpr int kRefused = 1;
constexpr int kBadUse = 2;
constexpr int kAlreadyThere = 3;
// The page comes from the window at once; a standard input that stays open
// and silent longer than this ends the helper.
constexpr unsigned kSecondsForInput = 10;

QByteArray readPage()
{
    ::alarm(kSecondsForInput);
    const QByteArray page = readStandardInput(kMostPageBytes);
    ::alarm(0);
    return page;
}

int exitStatusOf(const PageOutcome &outcome)
{
    switch (outcome.kind) {
    case PageOutcome::Kind::Written:
        return kWritten;
    case PageOutcome::Kind::Skipped:
        return kAlreadyThere;
    case PageOutcome::Kind::Refused:
        break;
    }
    return kRefused;
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.*=false\n*.warning=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    const QString name = arguments.value(1);
    if (arguments.size() != 2 || !isDrawingName(name)) {
        err << "uso: tingolamo-disegno-scrivi NOME.gif < disegno.gif "
               "(un nome in minuscolo, senza cartelle)"
            << Qt::endl;
        return kBadUse;
    }
    const QString folder = resolveResource(programFolder(), QStringLiteral("\\Gif"));
    const PageOutcome outcome = writePage(name, folder, name, checkPage(readPage()));
    if (outcome.written())
        out << outcome.line << Qt::endl;
    else
        err << outcome.reason << Qt::endl;
    return exitStatusOf(outcome);
}
