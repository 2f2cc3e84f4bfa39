#include "CuePlayer.h"

#include "PaintingWait.h"
#include "WavLength.h"

#include <QByteArray>
#include <QFile>

#include <windows.h>

#include <mmsystem.h>

namespace {

using Clock = std::chrono::steady_clock;

// A cue is read whole and handed to the multimedia library from memory, so
// its name never has to pass through the library's 8-bit file opening (which
// spells only what the code page can, in at most 128 characters), and what
// is played is exactly what the bound was measured on. No cue of ours comes
// near this size; a larger file is no cue.
constexpr qint64 largestCue = 16 * 1024 * 1024;

// What stopping a cue may cost: the stop waits for the sound system to let
// the cue go, which one that does not answer never does.
constexpr std::chrono::milliseconds stopWait(100);

// The whole file at `path`, read through Qt, which opens it by its UTF-16
// name; empty when it cannot be read or is too large.
QByteArray cueBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestCue)
        return {};
    QByteArray bytes = file.read(largestCue + 1);
    return bytes.size() == file.size() ? bytes : QByteArray();
}

void play(const QByteArray &cue)
{
    PlaySoundW(reinterpret_cast<LPCWSTR>(cue.constData()), nullptr,
               SND_MEMORY | SND_SYNC | SND_NODEFAULT);
}

void stopPlaying()
{
    PlaySoundW(nullptr, nullptr, 0);
}

} // namespace

bool playCueToEnd(const QString &path)
{
    const Clock::time_point start = Clock::now();
    const QByteArray cue = cueBytes(path);
    const std::optional<std::chrono::microseconds> length = wavLength(cue, cue.size());
    if (!length)
        return false;
    // The multimedia library plays on its own and tells nothing until the
    // end: the call waits on a thread of its own. A cue that has not ended by
    // its bound is stopped, and a call that does not come back is left to
    // its thread.
    const Clock::time_point bound = start + *length + graceBeyondCue - stopWait;
    if (!runWhileWindowsPaintUntil(bound, [cue] { play(cue); }))
        runWhileWindowsPaintUntil(bound + stopWait, stopPlaying);
    return true;
}
