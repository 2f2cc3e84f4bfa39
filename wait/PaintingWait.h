#pragma once

#include <chrono>
#include <functional>

// Runs `work` on a worker thread and returns when it has finished. Called on
// the thread of the application's event loop, the caller meanwhile runs a
// nested event loop that leaves user input aside: the windows keep painting
// and timers keep firing, while clicks and keys made meanwhile stay queued
// and are delivered, in order, after the return. Without an application
// object, or from any other thread, `work` simply runs on the calling thread.
// Whatever `work` throws is swallowed.
void runWhileWindowsPaint(const std::function<void()> &work);

// The same wait for work whose end cannot be bounded from inside: a call into
// the system that may never return. Returns true when `work` finished by
// `deadline`; otherwise returns false at the deadline and leaves the worker
// to end on its own: it is never joined, so `work` must own everything it
// touches. Called from a thread other than the event loop's, the caller just
// waits for the worker, up to the deadline. False, at once, when no thread
// can be had.
bool runWhileWindowsPaintUntil(std::chrono::steady_clock::time_point deadline,
                               std::function<void()> work);
