#include "PulseOutput.h"

#include <pulse/simple.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr const char *applicationName = "TINGOLAMO";

// How far the server's buffer runs ahead of what is heard: long enough to
// ride out a busy moment without a gap, short enough for a prompt start.
constexpr std::size_t targetBufferMs = 100;

// A latency beyond this is not believed: the wait after draining never
// exceeds it.
constexpr std::chrono::microseconds longestTail{2'000'000};

pa_buffer_attr bufferFor(const pa_sample_spec &sampleFormat)
{
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(targetBufferMs * 1000, &sampleFormat));
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    return attr;
}

} // namespace

void PulseOutput::Closer::operator()(pa_simple *stream) const
{
    pa_simple_free(stream);
}

PulseOutput::PulseOutput(const pa_sample_spec &sampleFormat, const std::string &streamName)
{
    if (!pa_sample_spec_valid(&sampleFormat))
        return;
    m_bytesPerSecond = pa_bytes_per_second(&sampleFormat);
    const pa_buffer_attr attr = bufferFor(sampleFormat);
    int error = 0;
    m_stream.reset(pa_simple_new(nullptr, applicationName, PA_STREAM_PLAYBACK, nullptr,
                                 streamName.c_str(), &sampleFormat, nullptr, &attr, &error));
}

bool PulseOutput::write(const void *data, std::size_t bytes)
{
    if (!m_stream)
        return false;
    if (m_bytesWritten == 0)
        m_firstWrite = Clock::now();
    int error = 0;
    if (pa_simple_write(m_stream.get(), data, bytes, &error) != 0)
        return false;
    m_bytesWritten += bytes;
    return true;
}

void PulseOutput::finish()
{
    if (!m_stream || m_bytesWritten == 0)
        return;
    int error = 0;
    if (pa_simple_drain(m_stream.get(), &error) != 0)
        return;
    const pa_usec_t latency = pa_simple_get_latency(m_stream.get(), &error);
    const auto tail = latency == static_cast<pa_usec_t>(-1)
                          ? std::chrono::microseconds(0)
                          : std::min(std::chrono::microseconds(latency), longestTail);
    // The sound cannot have ended before its own length has passed since it
    // was first handed over, whatever the latency estimate says.
    const auto length = std::chrono::microseconds(m_bytesWritten * 1'000'000 / m_bytesPerSecond);
    std::this_thread::sleep_until(std::max(Clock::now() + tail, m_firstWrite + length));
}
