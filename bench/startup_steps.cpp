// What the start-up steps before the sheet cost: the display check, Qt's
// Italian translation and the single running copy's server, beside the
// application object itself for scale.
//
//   DISPLAY=:N build-bench/bench/startup_steps [repeats]
//
// The display check and the translation are repeated and averaged; the
// application object and the server exist once per process.

#include "DisplayCheck.h"
#include "ItalianQt.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace {

template <typename Step> double averageMs(int repeats, Step step)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repeats; ++i)
        step();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / repeats;
}

} // namespace

int main(int argc, char *argv[])
{
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 100;
    bool available = false;
    const double display = averageMs(repeats, [&] { available = graphicalDesktopAvailable(); });
    if (!available)
        return explainNoDesktop();

    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    const double application = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    const double translation = averageMs(repeats, [] { const ItalianQt italiano; });

    SingleInstance instance;
    timer.restart();
    const bool handed = instance.handedToRunningCopy();
    const double single = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    std::printf("display check      %8.3f ms (mean of %d)\n", display, repeats);
    std::printf("QApplication       %8.3f ms (once, for scale)\n", application);
    std::printf("Italian Qt         %8.3f ms (mean of %d)\n", translation, repeats);
    std::printf("single copy %-6s %8.3f ms (once)\n", handed ? "knock" : "listen", single);
    return 0;
}
