#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/ThreadSafety.h"
#include "journal/Journal.h"
#include "menu/Menu.h"
#include "service/CommandRunner.h"
#include "service/DayState.h"
#include "service/SnapshotBoard.h"
#include "service/Submission.h"

// DayWriter is the day's one writer. Every change, from the console, any
// device or the close of the day, is a submission it carries out in
// batches: the submissions that arrive while a batch is being synced are
// written together in the next, in one transaction with a savepoint each,
// and one sync for them all. After each commit it publishes a new snapshot
// of the day, then tells each submission what came of it. A submission
// refused for bad input writes nothing and is told at once; when a batch
// cannot be made durable, every submission that wrote in it is refused, and
// memory is read again from the journal, which kept none of it.
//
// Batches are written by the writer's own thread, or, for a caller that
// waits and finds the writer idle, by that caller, so that a lone command
// waits for no other thread. Whoever writes a batch holds `role`: the day's
// state is theirs alone. Nothing a batch does throws.
class DayWriter {
public:
    using Listener = std::function<void(std::int64_t version)>;

    // The journal and the board must outlive the writer.
    DayWriter(Journal& journal, std::shared_ptr<const Menu> menu, CommandRunner::Clock clock,
              std::int64_t vat, SnapshotBoard& board);
    DayWriter(const DayWriter&) = delete;
    DayWriter& operator=(const DayWriter&) = delete;
    // Carries out what is queued, then stops the writer's thread.
    ~DayWriter();

    // Carries the submission out, on the caller's thread when the writer is
    // idle, else on the writer's; for a caller that waits for it to be told.
    // Throws only when it could not be handed over, and then it is never
    // carried out.
    void run(Submission submission);
    // Hands the submission to the writer's thread and returns at once; for
    // a caller that must not wait for the disk.
    void submit(Submission submission);
    // Calls the listener given on the writer's thread after each snapshot it
    // publishes, with the snapshot's version.
    void onPublished(Listener given);

    // Returns once nothing is queued or being written.
    void settle();
    // Returns how many submissions wait for the next batch, for tests.
    std::size_t waiting() const;
    // Returns how many batches were written, for tests.
    std::size_t batches() const;

private:
    struct Queued {
        Submission submission;
        CommandRunner::Ran ran;
        bool told = false;
    };

    void serve();
    // Writes the batch, then lets the writer go on with what came meanwhile.
    void writeAndFinish(std::vector<Queued>& batch);
    void write(std::vector<Queued>& batch) noexcept REQUIRES(role);
    void refuseWritten(std::vector<Queued>& batch, const std::string& why) noexcept;
    void publish() noexcept REQUIRES(role);
    static void tell(Queued& queued) noexcept;

    // Shared between the callers and the writer's thread, guarded by
    // `mutex`: the queue, and whether the writer is writing or stopping.
    mutable Mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::vector<Queued> queue GUARDED_BY(mutex);
    bool writing GUARDED_BY(mutex) = false;
    bool stopping GUARDED_BY(mutex) = false;
    std::size_t written GUARDED_BY(mutex) = 0;
    std::shared_ptr<const Listener> listener GUARDED_BY(mutex);

    // Held by whoever writes a batch; the `writing` flag makes it theirs
    // without a wait.
    Mutex role;
    Journal& journal;
    SnapshotBoard& board;
    DayState state GUARDED_BY(role);
    CommandRunner runner GUARDED_BY(role);
    std::int64_t version GUARDED_BY(role) = 0;
    bool unpublished GUARDED_BY(role) = false;
    // The queue the writer's thread took for a batch; it and the queue keep
    // their room. The writer's thread's alone.
    std::vector<Queued> taken;
    // Last, so that it starts after all it uses and stops before it goes.
    std::thread thread;
};
