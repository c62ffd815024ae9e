#include "base/StopFlag.h"

void StopFlag::stop() {
    {
        MutexLock lock(mutex);
        stopping = true;
    }
    wake.notify_all();
}

bool StopFlag::stopped() {
    MutexLock lock(mutex);
    return stopping;
}

bool StopFlag::pause(std::chrono::milliseconds wait) {
    MutexLock lock(mutex);
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!stopping && std::chrono::steady_clock::now() < until) {
        lock.waitUntil(wake, until);
    }
    return !stopping;
}
