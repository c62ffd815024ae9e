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
// device or the close of the day, is a submission it carries out on a
// thread of its own, in batches: the submissions that arrive while a batch
// is being synced are written together in the next, in one transaction
// with a savepoint each, and one sync for them all. After each commit it
// publishes a new snapshot of the day, then tells each submission what came
// of it. A submission refused for bad input writes nothing and is told at
// once; when a batch cannot be made durable, every submission that wrote in
// it is refused, and memory is read again from the journal, which kept none
// of it. Nothing escapes the writer's thread.
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

    // Hands the submission to the writer. Throws only when it could not be
    // handed over, and then it is never carried out.
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

    void run();
    void write(std::vector<Queued>& batch) noexcept;
    void refuseWritten(std::vector<Queued>& batch, const std::string& why) noexcept;
    void publish() noexcept;
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

    // The writer's thread's alone.
    Journal& journal;
    SnapshotBoard& board;
    DayState state;
    CommandRunner runner;
    std::int64_t version = 0;
    bool unpublished = false;
    // The queue taken for a batch; it and the queue keep their room.
    std::vector<Queued> taken;
    // Last, so that it starts after all it uses and stops before it goes.
    std::thread thread;
};
