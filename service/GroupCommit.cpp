#include "service/GroupCommit.h"

#include <iterator>
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
    bool finished = false;
    queue.push_back({std::move(work), done, &finished});
    if (!writing && queue.size() == 1) {
        writeQueued(lock);
        return;
    }
    startWriter();
    wake.notify_all();
    told.wait(lock, [&] { return finished; });
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
    told.wait(lock, [&] { return queue.empty() && !writing; });
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
// the lock held again, the writer's thread woken for those.
void GroupCommit::writeQueued(std::unique_lock<std::mutex>& lock) {
    std::vector<Queued> batch(std::make_move_iterator(queue.begin()),
                              std::make_move_iterator(queue.end()));
    queue.clear();
    writing = true;
    lock.unlock();
    std::vector<Work> works;
    works.reserve(batch.size());
    for (Queued& queued : batch) {
        works.push_back(std::move(queued.work));
    }
    const std::optional<std::string> failure = write(works);
    for (const Queued& queued : batch) {
        queued.done(failure);
    }
    lock.lock();
    writing = false;
    ++written;
    for (const Queued& queued : batch) {
        if (queued.finished != nullptr) {
            *queued.finished = true;
        }
    }
    told.notify_all();
    if (!queue.empty()) {
        wake.notify_all();
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
