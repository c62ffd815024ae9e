#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// GroupCommit carries changes to disk in batches: the changes that arrive
// while one batch is being synced go together in the next, one transaction
// and one sync for them all, and each is told once its batch is on disk. A
// change that finds nothing being written is written at once by its own
// caller, so that a lone change waits for no company and no other thread.
//
// GroupCommit knows no journal: it is given how to write a batch.
class GroupCommit {
public:
    // Work makes one change inside the batch's transaction, and returns
    // whether it wrote anything there: one that did not is told at once,
    // without waiting for the batch's sync.
    using Work = std::function<bool()>;
    // Done learns, once the batch is on disk (at once, for a work that wrote
    // nothing), that it is, or why it is not;
    // it must record a failure before doing anything that may throw.
    using Done = std::function<void(const std::optional<std::string>& failure)>;
    // Writes a batch in one transaction, calling `each` to run every work
    // in turn, and syncs it; returns why it could not, when it could not.
    using WriteBatch = std::function<std::optional<std::string>(const std::function<void()>& each)>;

    explicit GroupCommit(WriteBatch write);
    GroupCommit(const GroupCommit&) = delete;
    GroupCommit& operator=(const GroupCommit&) = delete;
    // Writes what is queued, then stops the writer's thread.
    ~GroupCommit();

    // Writes the work in the next batch, or at once when none is being
    // written, and returns once `done` has run.
    void run(Work work, const Done& done);
    // Queues the work for the writer's thread and returns at once; `done`
    // runs on that thread.
    void post(Work work, Done done);

    // Returns once nothing is queued or being written.
    void settle();
    // Returns how many changes wait for the next batch, for tests that
    // gather one.
    std::size_t waiting() const;
    // Returns how many batches were written.
    std::size_t batches() const;

private:
    // A caller of run() waiting for its batch: woken alone, under a lock of
    // its own, so that waking it contends with nobody else.
    struct Waiter {
        std::mutex mutex;
        bool finished = false;
        std::condition_variable told;
    };
    struct Queued {
        Work work;
        Done done;
        Waiter* waiter = nullptr;
        bool told = false;
    };

    void startWriter();
    void writeQueued(std::unique_lock<std::mutex>& lock);
    static void tell(Queued& queued, const std::optional<std::string>& failure) noexcept;
    void writer();

    WriteBatch write;
    mutable std::mutex mutex;
    // The writer's thread waits on `wake`, callers of settle() on `idle`.
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Queued> queue;
    bool writing = false;
    bool stopping = false;
    std::size_t written = 0;
    // Started when a change first has to wait: a till whose changes all
    // come from one caller needs none.
    std::thread thread;
};
