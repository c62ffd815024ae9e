#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "journal/JournalEntry.h"

// EntryLog is the open day's entries in the order written, shared by the
// writer, which appends them, and the snapshots, which read them. A view
// holds the entries written before it was made and sees none written
// after; an entry, once in a view, never changes. The entries sit in
// chunks that never move, and the list of chunks is replaced, never
// changed, when a chunk is added: a view costs two pointers, whatever the
// day holds.
class EntryLog {
public:
    static constexpr std::size_t chunkSize = 256;
    using Chunk = std::array<JournalEntry, chunkSize>;
    using Chunks = std::vector<std::shared_ptr<Chunk>>;

    // View is the log as it was when the view was made.
    class View {
    public:
        View() = default;
        std::size_t size() const;
        const JournalEntry& operator[](std::size_t at) const;

    private:
        friend class EntryLog;
        std::shared_ptr<const Chunks> chunks;
        std::size_t count = 0;
    };

    EntryLog();

    void append(const JournalEntry& entry);
    std::size_t size() const;
    View view() const;

private:
    std::shared_ptr<const Chunks> chunks;
    std::size_t count = 0;
};
