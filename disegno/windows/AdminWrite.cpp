#include "AdminWrite.h"

#include <QDir>
#include <QTemporaryFile>

// A folder of Program Files accepts new files from the administrator alone,
// and a program started without those rights cannot gain them for one
// write. Qt does not look at a folder's access list for isWritable(): a file
// the window tries to make there tells.

AdminWrite::AdminWrite(QObject *parent) : QObject(parent) {}

bool AdminWrite::needed(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tingolamo-prova-XXXXXX")));
    return !probe.open();
}

void AdminWrite::start(const QString &, const QByteArray &)
{
    ended_ = false;
    end(PageOutcome::Kind::Refused,
        QStringLiteral("per aggiungerlo alla cartella del programma, avvia «Aggiungi un "
                       "disegno a TINGOLAMO» come amministratore (tasto destro del mouse, "
                       "«Esegui come amministratore»)"));
}

void AdminWrite::end(PageOutcome::Kind kind, const QString &reason)
{
    if (ended_)
        return;
    ended_ = true;
    emit finished(kind, reason);
}
