#pragma once

#include <QString>

// Plays the WAV file at `path` to its end and only then returns. A path that
// is empty, does not end in "wav" (any case), or names no ordinary file plays
// nothing. Nothing ever escapes: no exception, no message, no result.
// While the cue plays the window keeps painting; user input waits and is
// delivered afterwards, in order.
void Suona(const QString &path) noexcept;
