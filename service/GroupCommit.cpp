#include "service/GroupCommit.h"

#include <utility>

GroupCommit::GroupCommit(WriteBatch write) : write(std::move(write)) {}

GroupCommit::~GroupCommit() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable()) {
        thread.join();
    }
}

void GroupCommit::run(Work work, const Done& done) {
    std::unique_lock<std::mutex> lock(mutex);
    Waiter waiter;
    queue.push_back({std::move(work), done, &waiter});
    if (!writing && queue.size() == 1) {
        writeQueued(lock);
        return;
    }
    startWriter();
    wake.notify_all();
    lock.unlock();
    std::unique_lock<std::mutex> mine(waiter.mutex);
    waiter.told.wait(mine, [&] { return waiter.finished; });
}

void GroupCommit::post(Work work, Done done) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue.push_back({std::move(work), std::move(done), nullptr});
        startWriter();
    }
    wake.notify_all();
}

void GroupCommit::settle() {
    std::unique_lock<std::mutex> lock(mutex);
    idle.wait(lock, [&] { return queue.empty() && !writing; });
}

std::size_t GroupCommit::waiting() const {
    std::lock_guard<std::mutex> lock(mutex);
    return queue.size();
}

std::size_t GroupCommit::batches() const {
    std::lock_guard<std::mutex> lock(mutex);
    return written;
}

void GroupCommit::startWriter() {
    if (!thread.joinable()) {
        thread = std::thread([this] { writer(); });
    }
}

// Takes everything queued as one batch and writes it with the lock let go,
// so that the changes arriving meanwhile queue for the next; returns with
// the lock held again, the writer's thread woken for those. Nothing here
// allocates before the batch is written, so that a batch written when
// memory runs out still tells every change in it.
void GroupCommit::writeQueued(std::unique_lock<std::mutex>& lock) {
    std::deque<Queued> batch;
    batch.swap(queue);
    writing = true;
    lock.unlock();
    std::optional<std::string> failure;
    try {
        failure = write([&] {
            for (Queued& queued : batch) {
                if (!queued.work()) {
                    tell(queued, std::nullopt);
                }
            }
        });
    } catch (...) {
        failure.emplace("out of memory");
    }
    for (Queued& queued : batch) {
        if (!queued.told) {
            tell(queued, failure);
        }
    }
    lock.lock();
    writing = false;
    ++written;
    if (queue.empty()) {
        idle.notify_all();
    } else {
        wake.notify_all();
    }
}

// Each Done records that its batch failed before anything that may throw;
// the rest of the batch is still told. A caller of run() may be gone once
// woken: nothing of its is touched after.
void GroupCommit::tell(Queued& queued, const std::optional<std::string>& failure) noexcept {
    queued.told = true;
    try {
        queued.done(failure);
    } catch (...) {
        // Told as far as it could be.
    }
    if (queued.waiter != nullptr) {
        std::lock_guard<std::mutex> mine(queued.waiter->mutex);
        queued.waiter->finished = true;
        queued.waiter->told.notify_one();
    }
}

void GroupCommit::writer() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [&] { return !writing && (!queue.empty() || stopping); });
        if (queue.empty()) {
            return;
        }
        writeQueued(lock);
    }
}
