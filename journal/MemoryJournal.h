#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "journal/Journal.h"

// MemoryJournal keeps the days in memory only, for a till run with
// --no-journal and for the demonstration: nothing survives the program, but
// the till works on it exactly as on a file.
class MemoryJournal final : public Journal {
public:
    MemoryJournal() = default;

    OpenDay openDay(Moment now) override;
    std::vector<JournalEntry> openDayEntries() override;
    std::int64_t append(std::vector<JournalEntry> entries, const Within& within = {}) override;
    std::optional<std::string> keptAnswer(const std::string& key) override;
    void closeDay(Moment at) override;
    void leaveDayOpen() override;
    std::optional<StoredMenu> storedMenu() override;
    void replaceMenu(const StoredMenu& stored) override;
    Settings settings() override;
    void putSetting(const std::string& key, const std::string& value) override;
    std::vector<StaffMember> staff() override;
    void putStaff(const StaffMember& member) override;
    bool removeStaff(const std::string& name) override;

    std::vector<DayLine> days() override;
    std::optional<DayRecord> day(std::int32_t number) override;
    std::string description() const override;

private:
    std::vector<JournalEntry>& open();
    bool openDayHeldAnItem() const;

    // Each day's entries; only the last day may be open.
    std::vector<std::vector<JournalEntry>> recorded;
    std::optional<StoredMenu> menu;
    Settings kept;
    std::map<std::string, std::string> answers;
    std::map<std::string, std::string> members;
};
