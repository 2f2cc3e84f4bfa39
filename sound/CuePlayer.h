#pragma once

#include <QString>

// Decodes the WAV file at `path` and plays it on the sound server to its end,
// on the calling thread. Returns false, having played nothing, when the file
// cannot be decoded or no server answers; a stream that breaks off midway
// ends the cue there. A server that stops answering never holds the call up
// for longer than the sound read so far plus a little under a second.
bool playCueToEnd(const QString &path);
