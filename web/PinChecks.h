#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/ThreadSafety.h"

// PinChecks checks PINs against their hashes on a small pool of threads of
// its own: Argon2id is slow on purpose, and a flood of sign-ins must never
// slow the server's thread, nor any device it serves.
class PinChecks {
public:
    using Checked = std::function<void(bool matches)>;

    explicit PinChecks(int threads = 2);
    PinChecks(const PinChecks&) = delete;
    PinChecks& operator=(const PinChecks&) = delete;
    // Checks still waiting are dropped; those under way finish first.
    ~PinChecks();

    // Checks the PIN against the hash and tells `checked`, on a thread of the
    // pool.
    void check(std::string hash, std::string pin, Checked checked);
    // Drops the checks still waiting, and returns once none is under way.
    void settle();

private:
    struct Check {
        std::string hash;
        std::string pin;
        Checked checked;
    };

    void work();
    static void answer(Check& next);

    // Shared between the callers and the pool's threads, guarded by `mutex`.
    Mutex mutex;
    std::condition_variable ready;
    std::condition_variable idle;
    std::deque<Check> waiting GUARDED_BY(mutex);
    int underWay GUARDED_BY(mutex) = 0;
    bool stopping GUARDED_BY(mutex) = false;
    std::vector<std::thread> threads;
};
