#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "journal/Journal.h"

// MemoryJournal keeps the days in memory only, for a till run with
// --no-journal and for the demonstration: nothing survives the program, but
// the till works on it exactly as on a file.
class MemoryJournal final : public Journal {
public:
    MemoryJournal() = default;

    OpenDay openDay(Moment now) override;
    void addItems(const JournalItem& item, int count) override;
    void removeItem(std::int32_t customer, ItemKind kind, int position, Moment at) override;
    void clearCart(std::int32_t customer, Moment at) override;
    void pay(std::int32_t customer, Moment at) override;
    void closeDay(Moment at) override;
    void leaveDayOpen() override;
    std::optional<StoredMenu> storedMenu() override;
    void replaceMenu(const StoredMenu& stored) override;

    std::vector<DayLine> days() override;
    std::optional<DayRecord> day(std::int32_t number) override;

private:
    DayRecord& open();

    // Only the last day may be open.
    std::vector<DayRecord> recorded;
    std::optional<StoredMenu> menu;
};
