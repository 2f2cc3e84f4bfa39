#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

// The command line of tingolamo-disegno:
//   [--cartella DIR] [--attesa SECONDI] FILE...   the command
//   --finestra [--cartella DIR] [FILE]              the window
//   --lavoro NAME                                   the worker that reads one picture
struct CommandLine
{
    QString folder; // empty: the picture folder of the program folder
    QStringList pictures;
    bool help = false;
    bool window = false;
    QString workerName;             // set for the worker: the picture's file name
    std::chrono::seconds bound{30}; // how long reading one picture may take
    QString error;                  // Italian, when the command line is not understood
};

CommandLine parseCommandLine(const QStringList &arguments);

// The Italian help text.
QString usageText();
