#include "PulseOutput.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <algorithm>
#include <thread>

namespace {

constexpr const char *applicationName = "TINGOLAMO";

// How far the server's buffer runs ahead of what is heard: long enough to
// ride out a busy moment without a gap, short enough for a prompt start.
constexpr std::size_t targetBufferMs = 100;

// A latency beyond this is not believed: the wait after draining never
// exceeds it.
constexpr std::chrono::microseconds longestTail{2'000'000};

// One turn of the main loop waits at most this long, so the deadline is
// looked at again soon enough.
constexpr std::chrono::microseconds longestPoll{50'000};

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

bool contextGone(pa_context_state_t state)
{
    return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
}

bool streamGone(pa_stream_state_t state)
{
    return state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED;
}

} // namespace

void PulseOutput::LoopFree::operator()(pa_mainloop *loop) const
{
    pa_mainloop_free(loop);
}

void PulseOutput::ContextClose::operator()(pa_context *context) const
{
    pa_context_disconnect(context);
    pa_context_unref(context);
}

void PulseOutput::StreamClose::operator()(pa_stream *stream) const
{
    if (pa_stream_get_state(stream) == PA_STREAM_READY)
        pa_stream_disconnect(stream);
    pa_stream_unref(stream);
}

PulseOutput::PulseOutput(const pa_sample_spec &sampleFormat, const std::string &streamName,
                         Clock::time_point deadline)
    : m_deadline(deadline), m_loop(pa_mainloop_new())
{
    if (!m_loop || !pa_sample_spec_valid(&sampleFormat))
        return;
    m_bytesPerSecond = pa_bytes_per_second(&sampleFormat);
    if (!connectContext())
        return;
    connectStream(sampleFormat, streamName);
}

// The stream goes before the context and the context before the loop, as
// the members are declared.
PulseOutput::~PulseOutput() = default;

bool PulseOutput::connectContext()
{
    m_context.reset(pa_context_new(pa_mainloop_get_api(m_loop.get()), applicationName));
    if (!m_context)
        return false;
    if (pa_context_connect(m_context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    return runUntil([this] { return pa_context_get_state(m_context.get()) == PA_CONTEXT_READY; });
}

bool PulseOutput::connectStream(const pa_sample_spec &sampleFormat, const std::string &streamName)
{
    std::unique_ptr<pa_stream, StreamClose> stream(
        pa_stream_new(m_context.get(), streamName.c_str(), &sampleFormat, nullptr));
    if (!stream)
        return false;
    const pa_buffer_attr attr = bufferFor(sampleFormat);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(stream.get(), nullptr, &attr, flags, nullptr, nullptr) < 0)
        return false;
    pa_stream *const s = stream.get();
    const bool ready = runUntil([s] {
        const pa_stream_state_t state = pa_stream_get_state(s);
        return state == PA_STREAM_READY || streamGone(state);
    });
    if (!ready || pa_stream_get_state(s) != PA_STREAM_READY)
        return false;
    m_stream = std::move(stream);
    return true;
}

// Turns the main loop until `done` holds. False, at once, when the
// connection broke or the deadline passed first.
bool PulseOutput::runUntil(const std::function<bool()> &done)
{
    while (!done()) {
        if (broken())
            return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(m_deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        const auto wait = std::min(left, longestPoll);
        if (pa_mainloop_prepare(m_loop.get(), static_cast<int>(wait.count())) < 0 ||
            pa_mainloop_poll(m_loop.get()) < 0 || pa_mainloop_dispatch(m_loop.get()) < 0)
            return false;
    }
    return true;
}

bool PulseOutput::broken() const
{
    if (contextGone(pa_context_get_state(m_context.get())))
        return true;
    return m_stream && streamGone(pa_stream_get_state(m_stream.get()));
}

bool PulseOutput::write(const void *data, std::size_t bytes)
{
    if (!m_stream)
        return false;
    if (m_bytesWritten == 0)
        m_firstWrite = Clock::now();
    const auto *next = static_cast<const std::uint8_t *>(data);
    pa_stream *const s = m_stream.get();
    while (bytes > 0) {
        if (!runUntil([s] { return pa_stream_writable_size(s) > 0; }))
            return false;
        const std::size_t room = pa_stream_writable_size(s);
        if (room == static_cast<std::size_t>(-1))
            return false;
        const std::size_t part = std::min(room, bytes);
        if (pa_stream_write(s, next, part, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return false;
        next += part;
        bytes -= part;
        m_bytesWritten += part;
    }
    return true;
}

bool PulseOutput::drain()
{
    pa_operation *const operation = pa_stream_drain(m_stream.get(), nullptr, nullptr);
    if (!operation)
        return false;
    const bool drained =
        runUntil([operation] { return pa_operation_get_state(operation) == PA_OPERATION_DONE; });
    if (!drained)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return drained;
}

std::chrono::microseconds PulseOutput::latency()
{
    pa_usec_t usec = 0;
    int negative = 0;
    pa_stream *const s = m_stream.get();
    pa_context *const c = m_context.get();
    const bool known = runUntil([s, c, &usec, &negative] {
        return pa_stream_get_latency(s, &usec, &negative) >= 0 ||
               pa_context_errno(c) != PA_ERR_NODATA;
    });
    if (!known || negative || pa_stream_get_latency(s, &usec, &negative) < 0)
        return std::chrono::microseconds(0);
    return std::min(std::chrono::microseconds(usec), longestTail);
}

void PulseOutput::finish()
{
    if (!m_stream || m_bytesWritten == 0)
        return;
    if (!drain())
        return;
    const auto tail = latency();
    // The sound cannot have ended before its own length has passed since it
    // was first handed over, whatever the latency estimate says.
    const auto length = std::chrono::microseconds(m_bytesWritten * 1'000'000 / m_bytesPerSecond);
    const auto heard = std::max(Clock::now() + tail, m_firstWrite + length);
    std::this_thread::sleep_until(std::min(heard, m_deadline));
}
