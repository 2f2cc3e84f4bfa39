#pragma once

// Starts reading the system's font configuration and font caches on a worker
// thread, while the application object connects to the display. Qt's font
// database then finds them loaded: the sheet's first caption no longer waits
// several milliseconds for files that could be read in parallel. Nothing
// waits for the worker: should Qt ask before it is done, fontconfig loads for
// Qt as it always did, and keeps one of the two. Where there is no fontconfig
// (Windows) nothing is done.
void startReadingFonts();
