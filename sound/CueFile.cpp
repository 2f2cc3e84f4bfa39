#include "CueFile.h"

#include <sndfile.h>

namespace {

bool isWavContainer(int format)
{
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
        return true;
    default:
        return false;
    }
}

bool isPlayableShape(const SF_INFO &info)
{
    return info.frames > 0 && info.channels >= 1 && info.channels <= CueFile::maxChannels &&
           info.samplerate >= CueFile::minRate && info.samplerate <= CueFile::maxRate;
}

CueFile::SampleKind kindFor(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
        return CueFile::SampleKind::Int32;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return CueFile::SampleKind::Float32;
    default:
        return CueFile::SampleKind::Int16;
    }
}

std::size_t bytesPerSample(CueFile::SampleKind kind)
{
    return kind == CueFile::SampleKind::Int16 ? sizeof(short) : 4;
}

} // namespace

void CueFile::Closer::operator()(sf_private_tag *file) const
{
    sf_close(file);
}

CueFile::CueFile(const std::string &localPath)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, Closer> file(sf_open(localPath.c_str(), SFM_READ, &info));
    if (!file || !isWavContainer(info.format) || !isPlayableShape(info))
        return;
    m_channels = info.channels;
    m_rate = info.samplerate;
    m_kind = kindFor(info.format);
    m_file = std::move(file);
}

std::size_t CueFile::bytesPerFrame() const
{
    return bytesPerSample(m_kind) * static_cast<std::size_t>(m_channels);
}

void CueFile::readChunk(std::vector<std::byte> &chunk)
{
    chunk.resize(framesPerChunk * bytesPerFrame());
    const auto wanted = static_cast<sf_count_t>(framesPerChunk);
    sf_count_t frames = 0;
    switch (m_kind) {
    case SampleKind::Int16:
        frames = sf_readf_short(m_file.get(), reinterpret_cast<short *>(chunk.data()), wanted);
        break;
    case SampleKind::Int32:
        frames = sf_readf_int(m_file.get(), reinterpret_cast<int *>(chunk.data()), wanted);
        break;
    case SampleKind::Float32:
        frames = sf_readf_float(m_file.get(), reinterpret_cast<float *>(chunk.data()), wanted);
        break;
    }
    chunk.resize(static_cast<std::size_t>(frames > 0 ? frames : 0) * bytesPerFrame());
}
