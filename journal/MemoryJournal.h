#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/ThreadSafety.h"
#include "journal/Journal.h"

// MemoryJournal keeps the days in memory only, for a till run with
// --no-journal and for the demonstration: nothing survives the program, but
// the till works on it exactly as on a file, batches and changes included.
// Its state is shared between the till's writer and the readers of past
// days, and guarded by one mutex.
class MemoryJournal final : public Journal {
public:
    MemoryJournal() = default;

    OpenDay openDay(Moment now) override;
    OpenDay currentDay() override;
    void beginBatch() override;
    void commitBatch() override;
    void rollbackBatch() noexcept override;
    void beginChange() override;
    void releaseChange() override;
    void undoChange() noexcept override;
    std::int64_t append(std::vector<JournalEntry>& entries) override;
    void closeDay(JournalEntry& close) override;
    void leaveDayOpen() override;
    std::optional<KeptAnswer> keptAnswer(const std::string& key) override;
    void keep(const KeptAnswer& kept) override;
    std::optional<StoredMenu> storedMenu() override;
    void replaceMenu(const StoredMenu& stored) override;
    Settings settings() override;
    void putSetting(const std::string& key, const std::string& value) override;
    std::vector<StaffMember> staff() override;
    void putStaff(const StaffMember& member) override;
    bool removeStaff(const std::string& name) override;
    std::vector<Session> sessions() override;
    void putSession(const Session& session) override;
    void endSession(const std::string& tokenHash) override;
    std::int64_t queuePrint(const PrintJob& job) override;
    std::vector<PrintJob> printQueue() override;
    void markPrint(std::int64_t id, bool done) override;

    std::vector<DayLine> days() override;
    std::optional<DayRecord> day(std::int32_t number) override;
    std::optional<std::int32_t> dayOfSale(const std::string& saleId) override;
    std::int64_t lastZ() override;
    std::optional<SignedHead> signedHead(std::int32_t number) override;
    std::string description() const override;

private:
    struct Kept {
        KeptAnswer answer;
        std::int32_t day = 0;
    };

    std::vector<JournalEntry>& open() REQUIRES(mutex);
    bool openDayHeldAnItem() const REQUIRES(mutex);
    void appendLocked(std::vector<JournalEntry>& entries) REQUIRES(mutex);
    void forgetOpenDay() REQUIRES(mutex);
    // Notes how to take back the write about to be made, while a batch runs.
    void remember(std::function<void()> undo) REQUIRES(mutex);
    void undoTo(std::size_t mark) noexcept REQUIRES(mutex);

    mutable Mutex mutex;
    // Each day's entries; only the last day may be open.
    std::vector<std::vector<JournalEntry>> recorded GUARDED_BY(mutex);
    std::optional<StoredMenu> menu GUARDED_BY(mutex);
    Settings held GUARDED_BY(mutex);
    std::map<std::string, Kept> answers GUARDED_BY(mutex);
    std::map<std::string, StaffMember> members GUARDED_BY(mutex);
    std::map<std::string, Session> signedIn GUARDED_BY(mutex);
    std::map<std::int64_t, PrintJob> printing GUARDED_BY(mutex);
    std::int64_t lastJob GUARDED_BY(mutex) = 0;
    // While a batch runs, how to take back each of its writes, the last
    // last, and where each change began among them.
    bool batching GUARDED_BY(mutex) = false;
    std::vector<std::function<void()>> undoing GUARDED_BY(mutex);
    std::vector<std::size_t> changes GUARDED_BY(mutex);
};
