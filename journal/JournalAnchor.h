#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "journal/EntryChain.h"

// JournalAnchor is a small file beside the journal, PATH-head, that holds
// where the journal's chain ended after its last commit: the day, the count
// of its entries and their last hash. It is made, and synced with its
// folder, with the journal; after each commit a new one is written beside
// it, without a sync of its own, and renamed over it, so that a power cut
// leaves the old anchor or the new, never none. SQLite drops a log's last transaction when its
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

    // The anchor of the journal a till holds, owner-only.
    explicit JournalAnchor(const std::string& journal);

    // Records that the chain now ends at `point`. Best effort: an anchor
    // that cannot be written lags the journal, which only weakens the check.
    void write(const Point& point) noexcept;
    // Records that the chain ends at `point`, durably; throws JournalError
    // when it cannot.
    void make(const Point& point);

private:
    [[nodiscard]] bool replace(const Point& point, bool durably);

    std::string path;
    // Where a new anchor is written before it is renamed over the old: named
    // once, so that writing one allocates nothing.
    std::string aside;
};
