#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct pa_context;
struct pa_mainloop;
struct pa_sample_spec;
struct pa_stream;

// One playback stream on the desktop's sound server (PulseAudio, or PipeWire
// through its PulseAudio service), open for the lifetime of the object.
//
// Nothing here waits past the current deadline: the stream
// runs on a main loop of its own, driven only from the calling thread and
// only until then. A server that stops answering costs no more than that;
// once the object is gone its connection is closed and nothing of it is left
// running. Only what the server asks for is handed over, so a server frozen
// in the middle of a cue holds no more of it than its own short buffer.
class PulseOutput
{
public:
    using Clock = std::chrono::steady_clock;

    // Connects at once; when no server answers before `deadline`, the object
    // is simply not open. A server that is not running is not started.
    PulseOutput(const pa_sample_spec &sampleFormat, const std::string &streamName,
                Clock::time_point deadline);
    ~PulseOutput();

    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    bool isOpen() const { return m_stream != nullptr; }

    // Moves the deadline, for the calls that follow.
    void setDeadline(Clock::time_point deadline) { m_deadline = deadline; }

    // Waits while the server's buffer is full. False once the stream failed
    // or the deadline passed.
    bool write(const void *data, std::size_t bytes);

    // Returns when everything written has been heard: waits until the server
    // has taken all the data, then waits out the output's own latency, and in
    // any case until the written sound has had the time it lasts. Never past
    // the deadline.
    void finish();

private:
    struct LoopFree
    {
        void operator()(pa_mainloop *loop) const;
    };
    struct ContextClose
    {
        void operator()(pa_context *context) const;
    };
    struct StreamClose
    {
        void operator()(pa_stream *stream) const;
    };

    bool connectContext();
    bool connectStream(const pa_sample_spec &sampleFormat, const std::string &streamName);
    bool runUntil(const std::function<bool()> &done);
    bool broken() const;
    bool drain();
    std::chrono::microseconds latency();

    Clock::time_point m_deadline;
    std::unique_ptr<pa_mainloop, LoopFree> m_loop;
    std::unique_ptr<pa_context, ContextClose> m_context;
    std::unique_ptr<pa_stream, StreamClose> m_stream;
    std::uint64_t m_bytesPerSecond = 0;
    std::uint64_t m_bytesWritten = 0;
    Clock::time_point m_firstWrite;
};
