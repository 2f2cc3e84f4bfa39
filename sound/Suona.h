#pragma once

#include <QString>

// Plays the WAV file at `path` to its end and only then returns. A path that
// is empty, does not end in "wav" (any case), or names no ordinary file plays
// nothing. Nothing ever escapes: no exception, no message, no result.
// While the cue plays the window keeps painting; user input waits and is
// delivered afterwards, in order. A sound server that does not answer costs
// at most the cue's length and a little under a second; the cue is then
// dropped: of it, the server can play later no more than the tenth of a
// second it already held.
void Suona(const QString &path) noexcept;
