#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "journal/EntryChain.h"

// JournalAnchor is a small file beside the journal, PATH-head, that holds
// where the journal's chain ended after its last commit: the day, the count
// of its entries and their last hash. It is written after each commit,
// without a sync of its own. SQLite drops a log's last transaction when its
// frame fails its checksum, as it must after a write cut short; the anchor
// tells that from damage: a journal that ends before the anchor lost what a
// till had committed. An anchor behind the journal (one a power cut kept
// from the disk) proves nothing, and is no damage.
class JournalAnchor {
public:
    struct Point {
        std::int32_t day = 0;
        std::int64_t entries = 0;
        EntryChain::Hash head{};
    };

    // Returns where the anchor beside the journal says its chain ended, or
    // nothing when there is no sound anchor.
    static std::optional<Point> read(const std::string& journal);

    // The anchor of the journal a till holds, opened or made owner-only at
    // its first write, after the first commit.
    explicit JournalAnchor(const std::string& journal);
    JournalAnchor(const JournalAnchor&) = delete;
    JournalAnchor& operator=(const JournalAnchor&) = delete;
    ~JournalAnchor();

    // Records that the chain now ends at `point`. Best effort: an anchor
    // that cannot be written only weakens the check.
    void write(const Point& point);

private:
    std::string path;
    int descriptor = -1;
};
