#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct pa_simple;
struct pa_sample_spec;

// One playback stream on the desktop's sound server (PulseAudio, or PipeWire
// through its PulseAudio service), open for the lifetime of the object.
class PulseOutput
{
public:
    // Connects at once; when no server answers, the object is simply not open.
    PulseOutput(const pa_sample_spec &sampleFormat, const std::string &streamName);

    bool isOpen() const { return m_stream != nullptr; }

    // Blocks while the server's buffer is full. False once the stream failed.
    bool write(const void *data, std::size_t bytes);

    // Returns when everything written has been heard: waits until the server
    // has taken all the data, then waits out the output's own latency, and in
    // any case until the written sound has had the time it lasts.
    void finish();

private:
    struct Closer
    {
        void operator()(pa_simple *stream) const;
    };

    using Clock = std::chrono::steady_clock;

    std::unique_ptr<pa_simple, Closer> m_stream;
    std::uint64_t m_bytesPerSecond = 0;
    std::uint64_t m_bytesWritten = 0;
    Clock::time_point m_firstWrite;
};
