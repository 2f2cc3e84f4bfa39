#include "PulseOutput.h"

#include <pulse/simple.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr const char *applicationName = "TINGOLAMO";

// The buffer the server keeps for us: short, so the end of a cue is heard
// soon after the last write, yet long enough to ride out a busy moment.
constexpr std::size_t targetBufferMs = 50;

// A latency beyond this is not believed: the wait after draining never
// exceeds it.
constexpr pa_usec_t longestTailUs = 2'000'000;

pa_buffer_attr bufferFor(const pa_sample_spec &spec)
{
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(targetBufferMs * 1000, &spec));
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

PulseOutput::PulseOutput(const pa_sample_spec &spec, const std::string &streamName)
{
    if (!pa_sample_spec_valid(&spec))
        return;
    const pa_buffer_attr attr = bufferFor(spec);
    int error = 0;
    m_stream.reset(pa_simple_new(nullptr, applicationName, PA_STREAM_PLAYBACK, nullptr,
                                 streamName.c_str(), &spec, nullptr, &attr, &error));
}

bool PulseOutput::write(const void *data, std::size_t bytes)
{
    int error = 0;
    return m_stream && pa_simple_write(m_stream.get(), data, bytes, &error) == 0;
}

void PulseOutput::finish()
{
    if (!m_stream)
        return;
    int error = 0;
    if (pa_simple_drain(m_stream.get(), &error) != 0)
        return;
    const pa_usec_t tail = pa_simple_get_latency(m_stream.get(), &error);
    if (tail == static_cast<pa_usec_t>(-1))
        return;
    std::this_thread::sleep_for(std::chrono::microseconds(std::min(tail, longestTailUs)));
}
