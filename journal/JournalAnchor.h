#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "journal/EntryChain.h"

// JournalAnchor is a small file beside the journal, PATH-head, that holds
// where the journal's chain ended after its last commit: the day, the count
// of its entries and their last hash. SQLite drops a log's last transaction
// when its frame fails its checksum, as it must after a write cut short; the
// anchor tells that from damage: a journal that ends before the anchor lost
// what a till had committed. An anchor behind the journal (one a power cut
// kept from the disk) proves nothing, and is no damage.
//
// The file is made, written aside, synced and renamed into place with its
// folder synced, when the journal is made or brought up to this version.
// After each commit the point goes, without a sync, into the one of its two
// slots not written last, each in a sector of its own and numbered by a
// count of writes: a write cut short spoils that slot alone, and the other
// still holds the point before. So a
// power cut leaves the old point or the new, never none, and a commit pays
// for one small write, where a new file renamed over the old would make the
// file system flush it with every commit.
class JournalAnchor {
public:
    struct Point {
        std::int32_t day = 0;
        std::int64_t entries = 0;
        EntryChain::Hash head{};
    };

    // Returns the point the sound slot of the anchor beside the journal
    // written last holds, or nothing when there is no sound anchor.
    static std::optional<Point> read(const std::string& journal);

    // The anchor of the journal a till holds, owner-only.
    explicit JournalAnchor(const std::string& journal);
    JournalAnchor(const JournalAnchor&) = delete;
    JournalAnchor& operator=(const JournalAnchor&) = delete;
    ~JournalAnchor();

    // Records that the chain now ends at `point`. Best effort: an anchor
    // that cannot be written lags the journal, which only weakens the check.
    void write(const Point& point) noexcept;
    // Makes the anchor anew at `point`, durably; throws JournalError when it
    // cannot.
    void make(const Point& point);

private:
    std::string path;
    // Where a new anchor is written before it is renamed into place: named
    // once, so that writing a point allocates nothing.
    std::string aside;
    int descriptor = -1;
    // The slot the next point goes into, and the count of writes it gets.
    int slot = 1;
    std::uint64_t written = 0;
};
