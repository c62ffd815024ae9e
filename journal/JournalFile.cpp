#include "journal/JournalFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "journal/Journal.h"

namespace {

namespace fs = std::filesystem;

std::string because(int error) { return std::strerror(error); }

}  // namespace

void JournalFile::checkPath(const std::string& path) {
    if (path.empty() || path.front() == ':' || path.rfind("file:", 0) == 0) {
        throw JournalError("'" + path +
                           "' is not a journal's path: give the path of a plain file, such as "
                           "journal.db");
    }
}

JournalFile::JournalFile(const std::string& path) : path(path) {
    checkPath(path);
    makeFolders();
    descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    created = descriptor >= 0;
    if (!created && errno == EEXIST) {
        descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    }
    if (descriptor < 0) {
        const int error = errno;
        removeMadeFolders();
        throw JournalError("cannot open journal " + path + ": " + because(error));
    }
    struct stat status {};
    fstat(descriptor, &status);
    device = status.st_dev;
    inode = status.st_ino;
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw JournalError(path + " is not a restaurant journal: it is not a file");
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK) {
            throw JournalError("journal " + path + " is in use by another restaurant program");
        }
        throw JournalError("cannot lock journal " + path + ": " + because(error));
    }
}

// Closed last, after SQLite has closed its own descriptors of the file:
// closing any descriptor of a file drops the POSIX locks SQLite holds on it.
JournalFile::~JournalFile() { ::close(descriptor); }

void JournalFile::checkStillThere() const {
    struct stat named {};
    struct stat held {};
    if (::stat(path.c_str(), &named) != 0 || named.st_dev != device || named.st_ino != inode ||
        (fstat(descriptor, &held) == 0 && held.st_nlink == 0)) {
        throw JournalError("journal " + path + " was moved or deleted while the till ran");
    }
}

void JournalFile::forgetIfEmpty() {
    struct stat status {};
    if (created && fstat(descriptor, &status) == 0 && status.st_size == 0) {
        ::unlink(path.c_str());
        removeMadeFolders();
    }
}

bool JournalFile::isNew() const { return created; }

// Each missing folder is made by itself, owner-only whatever the umask.
void JournalFile::makeFolders() {
    std::error_code error;
    const fs::path folder = fs::absolute(path, error).parent_path();
    fs::path at;
    for (const fs::path& part : folder) {
        at /= part;
        if (::mkdir(at.c_str(), 0700) == 0) {
            madeFolders.push_back(at.string());
        } else if (errno != EEXIST || !fs::is_directory(at, error)) {
            const int failure = errno == EEXIST ? ENOTDIR : errno;
            removeMadeFolders();
            throw JournalError("cannot make the folder " + folder.string() + " for journal " +
                               path + ": " + because(failure));
        }
    }
}

void JournalFile::removeMadeFolders() {
    while (!madeFolders.empty()) {
        ::rmdir(madeFolders.back().c_str());
        madeFolders.pop_back();
    }
}
