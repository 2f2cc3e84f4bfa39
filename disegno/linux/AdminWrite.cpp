#include "AdminWrite.h"

#include "ProgramFolder.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>

namespace {

constexpr std::chrono::minutes kLongestWait{5};
constexpr int kMostReasonCharacters = 400;

// What the helper's exit status means; pkexec itself ends with 126 when the
// administrator's permission was refused or not given, with 127 when it
// could not ask for it.
constexpr int kHelperWrote = 0;
constexpr int kHelperFoundOne = 3;
constexpr int kNotAuthorised = 126;
constexpr int kCouldNotAsk = 127;

QString lastLine(const QByteArray &output)
{
    const QStringList lines =
        QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed().left(kMostReasonCharacters);
}

} // namespace

AdminWrite::AdminWrite(QObject *parent) : QObject(parent)
{
    deadline_.setSingleShot(true);
    connect(&process_, &QProcess::finished, this, &AdminWrite::helperEnded);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(PageOutcome::Kind::Refused, QStringLiteral("pkexec non si è potuto avviare"));
    });
    connect(&deadline_, &QTimer::timeout, this, [this] {
        process_.kill();
        end(PageOutcome::Kind::Refused,
            QStringLiteral("il permesso dell'amministratore non è arrivato in 5 minuti"));
    });
}

bool AdminWrite::needed(const QString &folder)
{
    return !QFileInfo(folder).isWritable();
}

void AdminWrite::start(const QString &name, const QByteArray &gif)
{
    ended_ = false;
    const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    if (pkexec.isEmpty()) {
        end(PageOutcome::Kind::Refused,
            QStringLiteral("manca pkexec, che chiede la password dell'amministratore"));
        return;
    }
    const QString helper = programFolder() + QStringLiteral("/tingolamo-disegno-scrivi");
    deadline_.start(kLongestWait);
    process_.start(pkexec, {helper, name});
    if (ended_)
        return;
    process_.write(gif);
    process_.closeWriteChannel();
}

void AdminWrite::helperEnded(int exitCode, QProcess::ExitStatus status)
{
    const QString said = lastLine(process_.readAllStandardError());
    if (status != QProcess::NormalExit)
        end(PageOutcome::Kind::Refused, QStringLiteral("l'aiutante si è interrotto"));
    else if (exitCode == kHelperWrote)
        end(PageOutcome::Kind::Written, QString());
    else if (exitCode == kHelperFoundOne)
        end(PageOutcome::Kind::Skipped, said);
    else if (exitCode == kNotAuthorised || exitCode == kCouldNotAsk)
        end(PageOutcome::Kind::Refused,
            QStringLiteral("senza il permesso dell'amministratore non posso scriverlo"));
    else
        end(PageOutcome::Kind::Refused,
            said.isEmpty() ? QStringLiteral("l'aiutante non ha potuto scriverlo") : said);
}

void AdminWrite::end(PageOutcome::Kind kind, const QString &reason)
{
    if (ended_)
        return;
    ended_ = true;
    deadline_.stop();
    emit finished(kind, reason);
}
