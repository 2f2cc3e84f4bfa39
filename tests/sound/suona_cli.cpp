// Plays each argument through Suona, one after the other, and prints for each
// the milliseconds the call took, one line per call. With --no-app the calls
// are made without an application object.
#include "Suona.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

double playTimed(const QString &path)
{
    const auto start = std::chrono::steady_clock::now();
    Suona(path);
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// With the application, its own view of the arguments: on Windows the
// UTF-16 command line, whatever the 8-bit code page can spell.
QStringList cuePaths(int argc, char *argv[], bool withApp)
{
    if (withApp)
        return QCoreApplication::arguments().mid(1);
    QStringList paths;
    for (int i = 2; i < argc; ++i)
        paths << QString::fromLocal8Bit(argv[i]);
    return paths;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool withApp = !(argc > 1 && std::strcmp(argv[1], "--no-app") == 0);
    std::optional<QCoreApplication> app;
    if (withApp)
        app.emplace(argc, argv);
    for (const QString &path : cuePaths(argc, argv, withApp)) {
        std::printf("%.1f\n", playTimed(path));
        std::fflush(stdout);
    }
    return 0;
}
