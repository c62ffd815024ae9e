#include "service/EntryLog.h"

std::size_t EntryLog::View::size() const { return count; }

const JournalEntry& EntryLog::View::operator[](std::size_t at) const {
    return (*chunks[at / chunkSize])[at % chunkSize];
}

// Room is made before the entry is copied in, and the count goes up last,
// so that an entry that cannot be copied leaves the log as it was.
void EntryLog::append(const JournalEntry& entry) {
    if (count == chunks.size() * chunkSize) {
        chunks.reserve(chunks.size() + 1);
        chunks.push_back(std::make_shared<Chunk>());
    }
    (*chunks[count / chunkSize])[count % chunkSize] = entry;
    ++count;
}

std::size_t EntryLog::size() const { return count; }

EntryLog::View EntryLog::view() const {
    View made;
    made.chunks.assign(chunks.begin(), chunks.end());
    made.count = count;
    return made;
}
