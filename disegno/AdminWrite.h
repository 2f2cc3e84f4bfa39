#pragma once

#include "AddPage.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

// Writes a checked page into the picture folder of the installed program when
// the folder belongs to the system and the user may not write there. How is
// the platform's (linux/, windows/): on Linux through pkexec, which asks for
// the administrator's password, to the small helper tingolamo-disegno-scrivi
// beside this program, which checks the page again and writes it as the
// command does; the window keeps painting meanwhile, and after five minutes
// without an answer it stops waiting. Windows has no such helper: the page is
// refused at once with a sentence that says how to start the program as the
// administrator.
class AdminWrite : public QObject
{
    Q_OBJECT

public:
    explicit AdminWrite(QObject *parent = nullptr);

    // Whether writing into `folder` takes the administrator.
    static bool needed(const QString &folder);

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
