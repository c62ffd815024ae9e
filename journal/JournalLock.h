#pragma once

#include <string>

// JournalLock is the advisory lock a till holds on its journal for its whole
// run, so that a second till on the same journal is refused. It locks a file
// beside the journal with flock, which the system releases however the
// program ends; readers of the journal take no lock.
class JournalLock {
public:
    // Takes the lock on `journal`; throws JournalError when another program
    // holds it or the lock file cannot be made.
    explicit JournalLock(const std::string& journal);
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;
    ~JournalLock();

private:
    int descriptor;
};
