#pragma once

#include <thread>

// Reads the system's font configuration and font caches on a worker thread
// while the application object connects to the display, so that the sheet's
// first caption finds them loaded instead of waiting several milliseconds for
// files that could be read in parallel. Where there is no fontconfig
// (Windows) nothing is done.
//
// fontconfig does not survive two threads loading its configuration at once:
// both parse it into the one shared state, which can leave it corrupt and a
// later call crashed or stuck. So Qt must not touch the fonts before the
// worker is done: waitUntilReady() comes before the first widget.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();

    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    void waitUntilReady();

private:
    std::thread worker_;
};
