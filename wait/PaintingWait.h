#pragma once

#include <functional>

// Runs `work` on a worker thread and returns when it has finished. Called on
// the thread of the application's event loop, the caller meanwhile runs a
// nested event loop that leaves user input aside: the windows keep painting
// and timers keep firing, while clicks and keys made meanwhile stay queued
// and are delivered, in order, after the return. Without an application
// object, or from any other thread, `work` simply runs on the calling thread.
// Whatever `work` throws is swallowed.
void runWhileWindowsPaint(const std::function<void()> &work);
