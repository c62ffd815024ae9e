#include "journal/MemoryJournal.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "journal/DayReplay.h"

namespace {

bool isClosed(const std::vector<JournalEntry>& entries) {
    return entries.back().type == JournalEntry::Type::close;
}

}  // namespace

Journal::OpenDay MemoryJournal::openDay(Moment now) {
    MutexLock lock(mutex);
    if (!recorded.empty() && !isClosed(recorded.back())) {
        return {static_cast<std::int32_t>(recorded.size()), recorded.back(), true};
    }
    const auto number = static_cast<std::int32_t>(recorded.size()) + 1;
    JournalEntry open = JournalEntry::of(JournalEntry::Type::open, now);
    open.day = number;
    open.seq = 1;
    std::vector<JournalEntry> day{open};
    recorded.reserve(recorded.size() + 1);
    remember([this]() REQUIRES(mutex) { recorded.pop_back(); });
    recorded.push_back(std::move(day));
    return {number, recorded.back(), false};
}

Journal::OpenDay MemoryJournal::currentDay() {
    MutexLock lock(mutex);
    if (recorded.empty() || isClosed(recorded.back())) {
        return {};
    }
    return {static_cast<std::int32_t>(recorded.size()), recorded.back(), true};
}

void MemoryJournal::beginBatch() {
    MutexLock lock(mutex);
    batching = true;
    undoing.clear();
    changes.clear();
}

void MemoryJournal::commitBatch() {
    MutexLock lock(mutex);
    batching = false;
    undoing.clear();
    changes.clear();
}

void MemoryJournal::rollbackBatch() noexcept {
    MutexLock lock(mutex);
    undoTo(0);
    batching = false;
    changes.clear();
}

void MemoryJournal::beginChange() {
    MutexLock lock(mutex);
    changes.push_back(undoing.size());
}

void MemoryJournal::releaseChange() {
    MutexLock lock(mutex);
    if (!changes.empty()) {
        changes.pop_back();
    }
}

void MemoryJournal::undoChange() noexcept {
    MutexLock lock(mutex);
    if (!changes.empty()) {
        undoTo(changes.back());
        changes.pop_back();
    }
}

void MemoryJournal::undoTo(std::size_t mark) noexcept {
    while (undoing.size() > mark) {
        undoing.back()();
        undoing.pop_back();
    }
}

void MemoryJournal::remember(std::function<void()> undo) {
    if (batching) {
        undoing.push_back(std::move(undo));
    }
}

std::int64_t MemoryJournal::append(std::vector<JournalEntry>& entries) {
    MutexLock lock(mutex);
    appendLocked(entries);
    return entries.empty() ? static_cast<std::int64_t>(open().size()) + 1 : entries.front().seq;
}

// The entries are copied and room is made before anything changes, so that
// they go in all together or not at all.
void MemoryJournal::appendLocked(std::vector<JournalEntry>& entries) {
    std::vector<JournalEntry>& day = open();
    const std::size_t before = day.size();
    for (std::size_t at = 0; at < entries.size(); ++at) {
        entries[at].day = static_cast<std::int32_t>(recorded.size());
        entries[at].seq = static_cast<std::int64_t>(before + at) + 1;
    }
    std::vector<JournalEntry> copies = entries;
    if (day.capacity() < before + copies.size()) {
        day.reserve(std::max(2 * day.capacity(), before + copies.size()));
    }
    remember([this, before]() REQUIRES(mutex) { recorded.back().resize(before); });
    std::move(copies.begin(), copies.end(), std::back_inserter(day));
}

void MemoryJournal::closeDay(JournalEntry& close) {
    MutexLock lock(mutex);
    if (!openDayHeldAnItem()) {
        forgetOpenDay();
        return;
    }
    std::vector<JournalEntry> closing{close};
    appendLocked(closing);
    close = closing.front();
    const auto closed = static_cast<std::int32_t>(recorded.size());
    std::vector<std::pair<std::string, Kept>> dropped;
    for (const auto& [key, answer] : answers) {
        if (answer.day <= closed - 2) {
            dropped.emplace_back(key, answer);
        }
    }
    remember([this, dropped]() REQUIRES(mutex) { answers.insert(dropped.begin(), dropped.end()); });
    for (const auto& gone : dropped) {
        answers.erase(gone.first);
    }
}

void MemoryJournal::leaveDayOpen() {
    MutexLock lock(mutex);
    if (!recorded.empty() && !isClosed(recorded.back()) && !openDayHeldAnItem()) {
        forgetOpenDay();
    }
}

void MemoryJournal::forgetOpenDay() {
    if (recorded.empty() || isClosed(recorded.back())) {
        return;
    }
    std::vector<JournalEntry> forgotten = recorded.back();
    remember([this, forgotten]() REQUIRES(mutex) { recorded.push_back(forgotten); });
    recorded.pop_back();
}

std::optional<Journal::KeptAnswer> MemoryJournal::keptAnswer(const std::string& key) {
    MutexLock lock(mutex);
    const auto found = answers.find(key);
    return found == answers.end() ? std::nullopt : std::optional<KeptAnswer>(found->second.answer);
}

void MemoryJournal::keep(const KeptAnswer& kept) {
    MutexLock lock(mutex);
    Kept made{kept, static_cast<std::int32_t>(recorded.size())};
    remember([this, key = kept.key]() REQUIRES(mutex) { answers.erase(key); });
    answers.emplace(kept.key, std::move(made));
}

std::optional<Journal::StoredMenu> MemoryJournal::storedMenu() {
    MutexLock lock(mutex);
    return menu;
}

void MemoryJournal::replaceMenu(const StoredMenu& stored) {
    MutexLock lock(mutex);
    StoredMenu copy = stored;
    menu = std::move(copy);
}

Settings MemoryJournal::settings() {
    MutexLock lock(mutex);
    return held;
}

void MemoryJournal::putSetting(const std::string& key, const std::string& value) {
    MutexLock lock(mutex);
    held.set(key, value);
}

std::vector<Journal::StaffMember> MemoryJournal::staff() {
    MutexLock lock(mutex);
    std::vector<StaffMember> all;
    for (const auto& [name, member] : members) {
        all.push_back(member);
    }
    return all;
}

void MemoryJournal::putStaff(const StaffMember& member) {
    MutexLock lock(mutex);
    members[member.name] = member;
}

bool MemoryJournal::removeStaff(const std::string& name) {
    MutexLock lock(mutex);
    for (auto at = signedIn.begin(); at != signedIn.end();) {
        at = at->second.staff == name ? signedIn.erase(at) : std::next(at);
    }
    return members.erase(name) > 0;
}

std::vector<Journal::Session> MemoryJournal::sessions() {
    MutexLock lock(mutex);
    std::vector<Session> all;
    for (const auto& [hash, session] : signedIn) {
        all.push_back(session);
    }
    return all;
}

void MemoryJournal::putSession(const Session& session) {
    MutexLock lock(mutex);
    signedIn[session.tokenHash] = session;
}

void MemoryJournal::endSession(const std::string& tokenHash) {
    MutexLock lock(mutex);
    signedIn.erase(tokenHash);
}

std::int64_t MemoryJournal::queuePrint(const PrintJob& job) {
    MutexLock lock(mutex);
    const std::int64_t id = ++lastJob;
    remember([this, id]() REQUIRES(mutex) { printing.erase(id); });
    printing[id] = job;
    printing[id].id = id;
    return id;
}

std::vector<PrintJob> MemoryJournal::printQueue() {
    MutexLock lock(mutex);
    std::vector<PrintJob> waiting;
    for (const auto& [id, job] : printing) {
        waiting.push_back(job);
    }
    return waiting;
}

void MemoryJournal::markPrint(std::int64_t id, bool done) {
    MutexLock lock(mutex);
    if (done) {
        printing.erase(id);
    } else if (printing.count(id) != 0) {
        printing[id].started = true;
    }
}

std::vector<DayLine> MemoryJournal::days() {
    MutexLock lock(mutex);
    std::vector<DayLine> lines;
    for (std::size_t at = 0; at < recorded.size(); ++at) {
        lines.push_back(
            DayReplay::lineOf(DayReplay::of(static_cast<std::int32_t>(at) + 1, recorded[at])));
    }
    return lines;
}

std::optional<DayRecord> MemoryJournal::day(std::int32_t number) {
    MutexLock lock(mutex);
    if (number < 1 || static_cast<std::size_t>(number) > recorded.size()) {
        return std::nullopt;
    }
    return DayReplay::of(number, recorded[static_cast<std::size_t>(number) - 1]);
}

std::optional<std::int32_t> MemoryJournal::dayOfSale(const std::string& saleId) {
    MutexLock lock(mutex);
    for (const std::vector<JournalEntry>& day : recorded) {
        for (const JournalEntry& entry : day) {
            if (entry.type == JournalEntry::Type::pay && entry.saleId == saleId) {
                return entry.day;
            }
        }
    }
    return std::nullopt;
}

std::int64_t MemoryJournal::lastZ() {
    MutexLock lock(mutex);
    std::int64_t last = 0;
    for (const std::vector<JournalEntry>& day : recorded) {
        for (const JournalEntry& entry : day) {
            last = std::max(last, entry.z.value_or(0));
        }
    }
    return last;
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

// A day kept in memory is never signed.
std::optional<Journal::SignedHead> MemoryJournal::signedHead(std::int32_t) { return std::nullopt; }
