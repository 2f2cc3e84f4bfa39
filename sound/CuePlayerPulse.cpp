#include "CuePlayer.h"

#include "CueFile.h"
#include "PulseOutput.h"

#include <QFile>
#include <QFileInfo>

#include <pulse/sample.h>

#include <chrono>

namespace {

using Clock = PulseOutput::Clock;

pa_sample_format_t pulseFormat(CueFile::SampleKind kind)
{
    switch (kind) {
    case CueFile::SampleKind::Int32:
        return PA_SAMPLE_S32NE;
    case CueFile::SampleKind::Float32:
        return PA_SAMPLE_FLOAT32NE;
    case CueFile::SampleKind::Int16:
        break;
    }
    return PA_SAMPLE_S16NE;
}

pa_sample_spec sampleSpecOf(const CueFile &cue)
{
    pa_sample_spec sampleFormat;
    sampleFormat.format = pulseFormat(cue.sampleKind());
    sampleFormat.rate = static_cast<uint32_t>(cue.rate());
    sampleFormat.channels = static_cast<uint8_t>(cue.channels());
    return sampleFormat;
}

// How long `frames` frames last at `rate` frames a second.
std::chrono::microseconds lengthOf(std::uint64_t frames, int rate)
{
    const auto perSecond = static_cast<std::uint64_t>(rate);
    return std::chrono::seconds(frames / perSecond) +
           std::chrono::microseconds(frames % perSecond * 1'000'000 / perSecond);
}

} // namespace

bool playCueToEnd(const QString &path)
{
    const Clock::time_point start = Clock::now();
    CueFile cue(QFile::encodeName(path).toStdString());
    if (!cue.isOpen())
        return false;
    PulseOutput output(sampleSpecOf(cue), QFileInfo(path).fileName().toStdString(),
                       start + graceBeyondCue);
    if (!output.isOpen())
        return false;
    // The deadline follows the sound actually read from the file, so a header
    // that lies about the length buys no extra wait.
    std::uint64_t frames = 0;
    std::vector<std::byte> chunk;
    for (cue.readChunk(chunk); !chunk.empty(); cue.readChunk(chunk)) {
        frames += chunk.size() / cue.bytesPerFrame();
        output.setDeadline(start + graceBeyondCue + lengthOf(frames, cue.rate()));
        if (!output.write(chunk.data(), chunk.size()))
            return false;
    }
    output.finish();
    return true;
}
