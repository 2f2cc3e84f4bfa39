#pragma once

// Prepares the console the program's lines go to for UTF-8, the encoding the
// program writes: on Linux it already is; a Windows console is told so, or
// its own code page would garble every accented letter. One implementation
// per platform (linux/, windows/).
void prepareConsole();
