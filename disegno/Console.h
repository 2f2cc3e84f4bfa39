#pragma once

// Prepares the standard streams for what the program writes: lines in UTF-8,
// and the worker's reply and the picture's bytes as they are. On Linux they
// already are; on Windows the console is told UTF-8, or its own code page
// would garble every accented letter, and the C library stops turning line
// ends into carriage return and line feed. One implementation per platform
// (linux/, windows/).
void prepareConsole();

// Lets go of a console opened for this program alone, as when the window is
// started from the Start menu; a console shared with a command prompt stays.
void leaveOwnConsole();
