#include "ThisProcess.h"

#include <unistd.h>

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool runsAsAdministrator()
{
    return ::geteuid() == 0;
}
