#include "ThisProcess.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace {

struct LocalFreer
{
    void operator()(wchar_t **words) const { LocalFree(words); }
};

} // namespace

// The 8-bit argv holds the command line in the system's code page, which
// cannot spell every file name: it goes unread.
QStringList commandLineArguments(int, char *[])
{
    int count = 0;
    const std::unique_ptr<wchar_t *, LocalFreer> words(
        CommandLineToArgvW(GetCommandLineW(), &count));
    QStringList arguments;
    for (int i = 0; words && i < count; ++i)
        arguments << QString::fromWCharArray(words.get()[i]);
    return arguments;
}

// An administrator's process started through "Esegui come amministratore"
// cannot simply start a worker without those rights, and a worker that
// refused to read would leave it nothing to add: Windows reads with the
// rights of whoever started the program.
bool runsAsAdministrator()
{
    return false;
}
