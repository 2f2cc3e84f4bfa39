#pragma once

// Whether there is a graphical desktop to open the windows on. Asked before
// the application object exists: Qt ends the process with an abort when its
// platform finds no display, and a child's parent deserves one plain line.
bool graphicalDesktopAvailable();

// Says in one Italian line, on the standard error, that the program needs a
// graphical desktop, and returns the exit status for that case (1).
int explainNoDesktop();
