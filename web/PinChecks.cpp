#include "web/PinChecks.h"

#include <sodium.h>
#include <utility>

#include "web/PinHash.h"

PinChecks::PinChecks(int threads) {
    for (int made = 0; made < threads; ++made) {
        this->threads.emplace_back([this] { work(); });
    }
}

PinChecks::~PinChecks() {
    {
        MutexLock lock(mutex);
        stopping = true;
        waiting.clear();
    }
    ready.notify_all();
    for (std::thread& thread : threads) {
        thread.join();
    }
}

void PinChecks::settle() {
    MutexLock lock(mutex);
    waiting.clear();
    while (underWay > 0) {
        lock.wait(idle);
    }
}

void PinChecks::check(std::string hash, std::string pin, Checked checked) {
    {
        MutexLock lock(mutex);
        waiting.push_back({std::move(hash), std::move(pin), std::move(checked)});
    }
    ready.notify_one();
}

void PinChecks::work() {
    while (true) {
        Check next;
        {
            MutexLock lock(mutex);
            while (!stopping && waiting.empty()) {
                lock.wait(ready);
            }
            if (stopping) {
                return;
            }
            next = std::move(waiting.front());
            waiting.pop_front();
            ++underWay;
        }
        answer(next);
        {
            MutexLock lock(mutex);
            --underWay;
        }
        idle.notify_all();
    }
}

// A check that throws (memory for Argon2id ran out) is a PIN that did not
// match: the device may try again. An answer that cannot be delivered goes
// with its device's connection; the pool goes on.
void PinChecks::answer(Check& next) {
    bool matches = false;
    try {
        matches = PinHash::matches(next.hash, next.pin);
    } catch (const std::exception&) {
        matches = false;
    }
    sodium_memzero(next.pin.data(), next.pin.size());
    try {
        next.checked(matches);
    } catch (const std::exception&) {
        return;
    }
}
