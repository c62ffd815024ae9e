#pragma once

#include <chrono>
#include <condition_variable>

#include "base/ThreadSafety.h"

// StopFlag tells a worker thread of its own to stop, and lets the worker
// pause until a time or until told, whichever comes first: the one state
// the worker shares with the thread that stops it, guarded here.
class StopFlag {
public:
    // Tells the worker to stop, and wakes it from its pause.
    void stop();
    bool stopped();
    // Waits that long, or until stopped; false once stopped.
    [[nodiscard]] bool pause(std::chrono::milliseconds wait);

private:
    Mutex mutex;
    std::condition_variable wake;
    bool stopping GUARDED_BY(mutex) = false;
};
