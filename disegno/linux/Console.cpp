#include "Console.h"

void prepareConsole() {}

void leaveOwnConsole() {}
