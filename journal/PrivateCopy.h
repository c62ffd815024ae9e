#pragma once

#include <string>

// PrivateCopy is a copy of a journal and its log in a folder of the
// reader's own, removed when the reader is done.
class PrivateCopy {
public:
    // Throws JournalError when no folder can be made for the copy.
    explicit PrivateCopy(const std::string& original);
    PrivateCopy(const PrivateCopy&) = delete;
    PrivateCopy& operator=(const PrivateCopy&) = delete;
    ~PrivateCopy();

    std::string journal() const;

private:
    std::string folder;
};
