#include "journal/JournalLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "journal/Journal.h"

JournalLock::JournalLock(const std::string& journal)
    : descriptor(::open((journal + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (descriptor < 0) {
        throw JournalError("cannot lock journal " + journal + ": " + std::strerror(errno));
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK) {
            throw JournalError("journal " + journal + " is in use by another restaurant program");
        }
        throw JournalError("cannot lock journal " + journal + ": " + std::strerror(error));
    }
}

JournalLock::~JournalLock() { ::close(descriptor); }
