#pragma once

#include <QString>

#include <chrono>

// What a cue may cost beyond the sound itself: reaching the sound system,
// the output's latency and the end of the wait. A sound system that does not
// answer costs this much and no more.
inline constexpr std::chrono::milliseconds graceBeyondCue(900);

// Plays the WAV file at `path` to its end through the platform's sound
// system, on the calling thread. Returns false, having played nothing, when
// the file cannot be read as a WAV file or, where that can be told, no sound
// system answers; a cue that breaks off midway ends there. Never holds the
// call up for longer than the sound the file holds plus graceBeyondCue: a
// cue still playing then is stopped.
//
// One implementation per platform: PulseAudio fed by libsndfile on Linux
// (CuePlayerPulse.cpp), the multimedia library's synchronous call on Windows
// (CuePlayerWinmm.cpp), given the file's contents.
bool playCueToEnd(const QString &path);
