#include "Console.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

void prepareConsole()
{
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void leaveOwnConsole()
{
    std::array<DWORD, 2> processes{};
    if (GetConsoleProcessList(processes.data(), DWORD(processes.size())) == 1)
        FreeConsole();
}
