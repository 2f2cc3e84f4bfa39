// Plays each argument through Suona, one after the other, and prints for each
// the milliseconds the call took, one line per call. With --no-app the calls
// are made without an application object.
#include "Suona.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

double playTimed(const char *argument)
{
    const auto start = std::chrono::steady_clock::now();
    Suona(QString::fromLocal8Bit(argument));
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

} // namespace

int main(int argc, char *argv[])
{
    const bool withApp = !(argc > 1 && std::strcmp(argv[1], "--no-app") == 0);
    std::optional<QCoreApplication> app;
    if (withApp)
        app.emplace(argc, argv);
    for (int i = withApp ? 1 : 2; i < argc; ++i) {
        std::printf("%.1f\n", playTimed(argv[i]));
        std::fflush(stdout);
    }
    return 0;
}
