#pragma once

#include <QStringList>

// What this process was started with, and with which rights. One
// implementation per platform (linux/, windows/).

// The program's arguments, its own name first, as the system gave them: on
// Windows the wide command line, whatever the code page.
QStringList commandLineArguments(int argc, char *argv[]);

// Whether the process holds the administrator's rights, with which the
// worker refuses to read a picture.
bool runsAsAdministrator();
