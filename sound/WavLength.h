#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <chrono>
#include <optional>

// How long the sound of a WAV file lasts, read from its RIFF header alone:
// the data chunk's size (what the file actually holds of it, when that is
// less than it declares) at the byte rate of its format chunk. `head` is the
// start of the file, `fileSize` its whole size. Nothing when `head` holds no
// RIFF/WAVE header with a format chunk before the data chunk, or when the
// sound has no data or a shape no player should accept (no channel or more
// than eight, a rate outside 1,000 to 192,000 frames a second).
// A plain function over bytes: no file, no sound.
std::optional<std::chrono::microseconds> wavLength(QByteArrayView head, qint64 fileSize);
