#pragma once

#include <memory>

#include "base/ThreadSafety.h"
#include "service/DaySnapshot.h"

// SnapshotBoard holds the latest snapshot of the day: the writer pins a
// new one up after each commit, and readers on any thread take the one
// pinned. Its mutex is held only to swap or copy the pointer, never across
// I/O.
class SnapshotBoard {
public:
    SnapshotBoard();

    std::shared_ptr<const DaySnapshot> latest() const;
    void publish(std::shared_ptr<const DaySnapshot> snapshot);

private:
    mutable Mutex mutex;
    std::shared_ptr<const DaySnapshot> pinned GUARDED_BY(mutex);
};
