#include "Console.h"

void prepareConsole() {}
