#include "CuePlayer.h"

#include "PaintingWait.h"
#include "WavLength.h"

#include <QDir>
#include <QFile>

#include <windows.h>

#include <mmsystem.h>

#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The part of a cue file in which its header is looked for.
constexpr qint64 headerBytes = 64 * 1024;

// The length of the sound the file at `path` holds, read through Qt, which
// opens it by its UTF-16 name.
std::optional<std::chrono::microseconds> soundLength(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return wavLength(file.read(headerBytes), file.size());
}

} // namespace

bool playCueToEnd(const QString &path)
{
    const Clock::time_point start = Clock::now();
    const std::optional<std::chrono::microseconds> length = soundLength(path);
    if (!length)
        return false;
    // The multimedia library plays the file on its own and tells nothing
    // until the end: the call waits on a thread of its own, and a cue that
    // has not ended by its bound is stopped and left to that thread.
    const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
    const bool ended = runWhileWindowsPaintUntil(start + graceBeyondCue + *length, [file] {
        PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT);
    });
    if (!ended)
        PlaySoundW(nullptr, nullptr, 0);
    return true;
}
