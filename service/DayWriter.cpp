#include "service/DayWriter.h"

#include <csignal>
#include <new>
#include <optional>
#include <pthread.h>
#include <utility>

namespace {

// The writer's thread takes no signal: a signal to stop goes to the thread
// that waits for it (the console's, the server's), never to the writer,
// where nothing would see it. A thread starts with its maker's mask, so the
// mask is held only while the thread is made.
std::thread startedWithoutSignals(DayWriter* writer, void (DayWriter::*serve)()) {
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    struct Restore {
        sigset_t* mask;
        Restore(const Restore&) = delete;
        Restore& operator=(const Restore&) = delete;
        ~Restore() { pthread_sigmask(SIG_SETMASK, mask, nullptr); }
    } restore{&before};
    return std::thread(serve, writer);
}

}  // namespace

DayWriter::DayWriter(Journal& journal, std::shared_ptr<const Menu> menu, CommandRunner::Clock clock,
                     std::int64_t vat, SnapshotBoard& board)
    : journal(journal),
      board(board),
      state(std::move(menu)),
      runner(journal, state, std::move(clock), vat),
      thread(startedWithoutSignals(this, &DayWriter::serve)) {}

DayWriter::~DayWriter() {
    {
        MutexLock lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
}

// The submission is made a batch of its own before anything is decided, so
// that memory running out leaves it neither written nor queued.
void DayWriter::run(Submission submission) {
    std::vector<Queued> alone;
    alone.push_back({std::move(submission), {}, false});
    {
        MutexLock lock(mutex);
        if (writing || !queue.empty() || stopping) {
            queue.push_back(std::move(alone.front()));
            wake.notify_one();
            return;
        }
        writing = true;
    }
    writeAndFinish(alone);
}

void DayWriter::writeAndFinish(std::vector<Queued>& batch) {
    {
        MutexLock held(role);
        write(batch);
    }
    {
        MutexLock lock(mutex);
        writing = false;
        ++written;
        if (!queue.empty() || stopping) {
            wake.notify_one();
        }
    }
    idle.notify_all();
}

void DayWriter::submit(Submission submission) {
    {
        MutexLock lock(mutex);
        queue.push_back({std::move(submission), {}, false});
    }
    wake.notify_one();
}

void DayWriter::onPublished(Listener given) {
    auto made = std::make_shared<const Listener>(std::move(given));
    MutexLock lock(mutex);
    listener = std::move(made);
}

void DayWriter::settle() {
    MutexLock lock(mutex);
    while (!queue.empty() || writing) {
        lock.wait(idle);
    }
}

std::size_t DayWriter::waiting() const {
    MutexLock lock(mutex);
    return queue.size();
}

std::size_t DayWriter::batches() const {
    MutexLock lock(mutex);
    return written;
}

// Takes everything queued as one batch, once no caller writes one, and
// writes it with the lock let go, so that what arrives meanwhile queues for
// the next.
void DayWriter::serve() {
    for (;;) {
        {
            MutexLock lock(mutex);
            while (writing || queue.empty()) {
                if (stopping && !writing && queue.empty()) {
                    return;
                }
                lock.wait(wake);
            }
            taken.swap(queue);
            writing = true;
        }
        writeAndFinish(taken);
        taken.clear();
    }
}

// Refusals are told at once; the rest once the batch is on disk, after the
// snapshot that shows it is published.
void DayWriter::write(std::vector<Queued>& batch) noexcept {
    std::optional<WriterBatch> scope;
    try {
        scope.emplace(journal);
    } catch (...) {
        refuseWritten(batch, "the journal could not begin a batch");
        return;
    }
    bool changed = false;
    for (Queued& queued : batch) {
        queued.ran = runner.run(queued.submission, *scope);
        changed = changed || queued.ran.changed;
        if (!queued.ran.changed && !queued.ran.told.repeated) {
            tell(queued);
        }
    }
    if (const std::optional<std::string> failure = scope->commit()) {
        refuseWritten(batch, *failure);
        state.rebuild(journal);
    } else if (changed || unpublished) {
        publish();
    }
    for (Queued& queued : batch) {
        tell(queued);
    }
}

// A submission not yet told when its batch failed wrote in it, or waited
// for it: it is refused, for what it wrote, or the answer it would repeat,
// is gone.
void DayWriter::refuseWritten(std::vector<Queued>& batch, const std::string& why) noexcept {
    for (Queued& queued : batch) {
        if (queued.told) {
            continue;
        }
        queued.ran.told = Told{};
        try {
            queued.ran.told.refusal.emplace().reason = Refusal::Reason::journalRefused;
            queued.ran.told.refusal->text = why;
        } catch (...) {
            queued.ran.told.refusal->reason = Refusal::Reason::outOfMemory;
        }
    }
}

// A snapshot that cannot be made for want of memory is tried again, then
// after the next batch; readers meanwhile see the one before.
void DayWriter::publish() noexcept {
    unpublished = true;
    for (int attempt = 0; attempt < 2 && unpublished; ++attempt) {
        try {
            board.publish(state.snapshot(version + 1));
            ++version;
            unpublished = false;
        } catch (...) {
            // Tried again below, or after the next batch.
        }
    }
    if (unpublished) {
        return;
    }
    std::shared_ptr<const Listener> told;
    {
        MutexLock lock(mutex);
        told = listener;
    }
    try {
        if (told && *told) {
            (*told)(version);
        }
    } catch (...) {
        // The listener hears of the next snapshot.
    }
}

void DayWriter::tell(Queued& queued) noexcept {
    if (queued.told) {
        return;
    }
    queued.told = true;
    try {
        queued.submission.tell(std::move(queued.ran.told));
    } catch (...) {
        // Told as far as it could be.
    }
}
