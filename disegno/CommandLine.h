#pragma once

#include <QString>
#include <QStringList>

// The command line of tingolamo-disegno: [--cartella DIR] FILE...
struct CommandLine
{
    QString folder; // empty: the picture folder of the program folder
    QStringList pictures;
    bool help = false;
    QString error; // Italian, when the command line is not understood
};

CommandLine parseCommandLine(const QStringList &arguments);

// The Italian help text.
QString usageText();
