#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

// A WAV cue opened for reading, decoded in chunks of whole frames so that a
// header declaring a huge length never causes a huge allocation. Samples come
// out in the file's own format where the output can take it as it is: 8- and
// 16-bit integer data and the compressed 16-bit codings as 16-bit, 24- and
// 32-bit integer data as 32-bit, floating-point data as 32-bit float.
class CueFile
{
public:
    enum class SampleKind { Int16, Int32, Float32 };

    // Opens `localPath` (a path in the file system's own encoding). A file
    // that is not a WAV file, has no frames, or declares a channel count or
    // rate no player should accept is not opened.
    explicit CueFile(const std::string &localPath);

    bool isOpen() const { return m_file != nullptr; }
    int channels() const { return m_channels; }
    int rate() const { return m_rate; }
    SampleKind sampleKind() const { return m_kind; }
    std::size_t bytesPerFrame() const;

    // Replaces the contents of `chunk` with the next frames, native byte
    // order; leaves it empty at the end of the data or on a read error.
    void readChunk(std::vector<std::byte> &chunk);

    static constexpr int maxChannels = 8;
    static constexpr int minRate = 1000;
    static constexpr int maxRate = 192000;
    static constexpr std::size_t framesPerChunk = 4096;

private:
    struct Closer
    {
        void operator()(sf_private_tag *file) const;
    };

    std::unique_ptr<sf_private_tag, Closer> m_file;
    int m_channels = 0;
    int m_rate = 0;
    SampleKind m_kind = SampleKind::Int16;
};
