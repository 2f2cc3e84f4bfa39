#include "Suona.h"

#include "CueChecks.h"
#include "CuePlayer.h"
#include "PaintingWait.h"

void Suona(const QString &path) noexcept
{
    try {
        if (path.isEmpty())
            return;
        if (!endsInWav(path))
            return;
        if (!isOrdinaryFile(path))
            return;
        runWhileWindowsPaint([&path] { playCueToEnd(path); });
    } catch (...) {
        // A cue that cannot be played costs nothing but its sound.
    }
}
