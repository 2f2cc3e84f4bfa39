#pragma once

#include <thread>

// Reads the system's font configuration and font caches on a worker thread
// while the application object connects to the display. Qt's font database
// then finds them loaded: the sheet's first caption no longer waits several
// milliseconds for files it could have read in parallel. Where there is no
// fontconfig (Windows) nothing is done.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();

    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Waits for the worker, so that Qt's first font never races it. Called
    // before the first widget; the destructor does it too.
    void waitUntilReady();

private:
    std::thread worker_;
};
