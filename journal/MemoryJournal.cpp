#include "journal/MemoryJournal.h"

#include <algorithm>
#include <utility>

#include "journal/DayReplay.h"

namespace {

bool isClosed(const std::vector<JournalEntry>& entries) {
    return entries.back().type == JournalEntry::Type::close;
}

}  // namespace

Journal::OpenDay MemoryJournal::openDay(Moment now) {
    if (!recorded.empty() && !isClosed(recorded.back())) {
        return {static_cast<std::int32_t>(recorded.size()), recorded.back(), true};
    }
    const auto number = static_cast<std::int32_t>(recorded.size()) + 1;
    JournalEntry open = JournalEntry::of(JournalEntry::Type::open, now);
    open.day = number;
    open.seq = 1;
    recorded.push_back({open});
    return {number, recorded.back(), false};
}

std::vector<JournalEntry> MemoryJournal::openDayEntries() { return open(); }

// Room is made first, so the entries go in all together or not at all.
std::int64_t MemoryJournal::append(std::vector<JournalEntry> entries, const Within& within) {
    std::vector<JournalEntry>& day = open();
    if (day.capacity() < day.size() + entries.size()) {
        day.reserve(std::max(2 * day.capacity(), day.size() + entries.size()));
    }
    const auto first = static_cast<std::int64_t>(day.size()) + 1;
    if (within) {
        if (std::optional<KeptAnswer> remembered = within(first)) {
            answers[remembered->key] = std::move(remembered->answer);
        }
    }
    for (JournalEntry& entry : entries) {
        entry.day = static_cast<std::int32_t>(recorded.size());
        entry.seq = static_cast<std::int64_t>(day.size()) + 1;
        day.push_back(std::move(entry));
    }
    return first;
}

void MemoryJournal::closeDay(Moment at) {
    if (!openDayHeldAnItem()) {
        leaveDayOpen();
        return;
    }
    JournalEntry close = JournalEntry::of(JournalEntry::Type::close, at);
    append({close});
}

void MemoryJournal::leaveDayOpen() {
    if (!recorded.empty() && !isClosed(recorded.back()) && !openDayHeldAnItem()) {
        recorded.pop_back();
    }
}

std::optional<Journal::StoredMenu> MemoryJournal::storedMenu() { return menu; }

void MemoryJournal::replaceMenu(const StoredMenu& stored) {
    StoredMenu copy = stored;
    menu = std::move(copy);
}

std::optional<std::string> MemoryJournal::keptAnswer(const std::string& key) {
    const auto found = answers.find(key);
    return found == answers.end() ? std::nullopt : std::optional<std::string>(found->second);
}

Settings MemoryJournal::settings() { return kept; }

std::vector<Journal::StaffMember> MemoryJournal::staff() {
    std::vector<StaffMember> all;
    for (const auto& [name, pinHash] : members) {
        all.push_back({name, pinHash});
    }
    return all;
}

void MemoryJournal::putStaff(const StaffMember& member) { members[member.name] = member.pinHash; }

bool MemoryJournal::removeStaff(const std::string& name) { return members.erase(name) > 0; }

void MemoryJournal::putSetting(const std::string& key, const std::string& value) {
    kept.set(key, value);
}

std::vector<DayLine> MemoryJournal::days() {
    std::vector<DayLine> lines;
    for (std::size_t at = 0; at < recorded.size(); ++at) {
        lines.push_back(
            DayReplay::lineOf(DayReplay::of(static_cast<std::int32_t>(at) + 1, recorded[at])));
    }
    return lines;
}

std::optional<DayRecord> MemoryJournal::day(std::int32_t number) {
    if (number < 1 || static_cast<std::size_t>(number) > recorded.size()) {
        return std::nullopt;
    }
    return DayReplay::of(number, recorded[static_cast<std::size_t>(number) - 1]);
}

std::vector<JournalEntry>& MemoryJournal::open() {
    if (recorded.empty() || isClosed(recorded.back())) {
        throw JournalError("no day is open");
    }
    return recorded.back();
}

bool MemoryJournal::openDayHeldAnItem() const {
    return !recorded.empty() &&
           std::any_of(recorded.back().begin(), recorded.back().end(),
                       [](const JournalEntry& e) { return e.type == JournalEntry::Type::add; });
}

std::string MemoryJournal::description() const { return "the journal in memory"; }
