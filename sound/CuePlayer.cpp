#include "CuePlayer.h"

#include "CueFile.h"
#include "PulseOutput.h"

#include <QFile>
#include <QFileInfo>

#include <pulse/sample.h>

namespace {

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

} // namespace

bool playCueToEnd(const QString &path)
{
    CueFile cue(QFile::encodeName(path).toStdString());
    if (!cue.isOpen())
        return false;
    PulseOutput output(sampleSpecOf(cue), QFileInfo(path).fileName().toStdString());
    if (!output.isOpen())
        return false;
    std::vector<std::byte> chunk;
    for (cue.readChunk(chunk); !chunk.empty(); cue.readChunk(chunk)) {
        if (!output.write(chunk.data(), chunk.size()))
            return false;
    }
    output.finish();
    return true;
}
