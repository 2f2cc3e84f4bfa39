// The cue player as a module of its own: libsndfile and PulseAudio are loaded
// with it, at the first cue, not at start-up.

#include "Suona.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT void tingolamoSuona(const QString &path) noexcept
{
    Suona(path);
}
