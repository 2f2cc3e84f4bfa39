#include "Uscita.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <windows.h>

// Leaving through the C library would still run every library's own
// farewell (each DLL's detach and its destructors), which a worker left
// waiting on the spooler or the sound system could hold up. The process is
// ended by the system instead, at once.
void TerminaProgramma()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), EXIT_SUCCESS);
    // Not reached: the call does not return for the calling process.
    std::_Exit(EXIT_SUCCESS);
}
