#include "service/SnapshotBoard.h"

#include <utility>

SnapshotBoard::SnapshotBoard() : pinned(std::make_shared<const DaySnapshot>()) {}

std::shared_ptr<const DaySnapshot> SnapshotBoard::latest() const {
    MutexLock lock(mutex);
    return pinned;
}

// The old snapshot is let go outside the lock: the last reader of a day's
// snapshot frees it, not the writer while a reader waits.
void SnapshotBoard::publish(std::shared_ptr<const DaySnapshot> snapshot) {
    {
        MutexLock lock(mutex);
        pinned.swap(snapshot);
    }
}
