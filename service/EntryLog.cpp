#include "service/EntryLog.h"

std::size_t EntryLog::View::size() const { return count; }

const JournalEntry& EntryLog::View::operator[](std::size_t at) const {
    return (*(*chunks)[at / chunkSize])[at % chunkSize];
}

EntryLog::EntryLog() : chunks(std::make_shared<const Chunks>()) {}

// Room is made before the entry is copied in, and the count goes up last,
// so that an entry that cannot be copied leaves the log as it was. A slot
// past the count is seen by no view.
void EntryLog::append(const JournalEntry& entry) {
    if (count == chunks->size() * chunkSize) {
        auto more = std::make_shared<Chunks>();
        more->reserve(chunks->size() + 1);
        *more = *chunks;
        more->push_back(std::make_shared<Chunk>());
        chunks = std::move(more);
    }
    (*(*chunks)[count / chunkSize])[count % chunkSize] = entry;
    ++count;
}

std::size_t EntryLog::size() const { return count; }

EntryLog::View EntryLog::view() const {
    View made;
    made.chunks = chunks;
    made.count = count;
    return made;
}
