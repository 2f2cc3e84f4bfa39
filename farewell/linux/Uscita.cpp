#include "Uscita.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

// QApplication::quit() would deliver a close event to every window, and
// QCoreApplication::exit() would let the code after the event loops run;
// leaving the process directly does neither.
void TerminaProgramma()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}
