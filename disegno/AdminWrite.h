#pragma once

#include "AddPage.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

// Writes a checked page into the picture folder of the installed program,
// which belongs to the system: through pkexec, which asks for the
// administrator's password, to the small helper tingolamo-disegno-scrivi
// beside this program. The helper checks the page again and writes it as the
// command does. The window keeps painting meanwhile; after five minutes
// without an answer it stops waiting.
class AdminWrite : public QObject
{
    Q_OBJECT

public:
    explicit AdminWrite(QObject *parent = nullptr);

    // Hands `gif` to the helper, to be written as the drawing `name`.
    void start(const QString &name, const QByteArray &gif);

signals:
    // Written, skipped (a drawing of that name is there) or refused, and why.
    void finished(PageOutcome::Kind kind, const QString &reason);

private:
    void helperEnded(int exitCode, QProcess::ExitStatus status);
    void end(PageOutcome::Kind kind, const QString &reason);

    QProcess process_;
    QTimer deadline_;
    bool ended_ = true;
};
