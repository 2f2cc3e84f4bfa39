#pragma once

#include <QString>

// The two tests a cue path passes before anything is played. Plain functions
// over the path and the file system: no widgets, no sound.

// True when the last three characters of `path`, upper-cased, are "WAV". No
// dot is needed before them; a path shorter than three characters is compared
// whole, so it never passes.
bool endsInWav(const QString &path);

// True when `path` names an ordinary file that is not hidden. A folder, a
// hidden file (a name beginning with '.'), a dangling link or nothing at all
// count as missing.
bool isOrdinaryFile(const QString &path);
