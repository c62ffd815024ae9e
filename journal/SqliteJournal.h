#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/EntryTable.h"
#include "journal/Journal.h"
#include "journal/SideTables.h"
#include "journal/SigningKey.h"
#include "journal/SqliteConnection.h"

struct sqlite3;

// SqliteJournal keeps the days in one SQLite file, as chained entries (see
// EntryChain): every change is committed in WAL mode with full syncing, so
// that what was committed survives a crash or a power cut, and damage to
// what was committed is found, never reported as figures. The till verifies
// its open day when it starts, a reader the days it reads.
//
// The file carries an application id and a schema version: a file that is
// not a journal, is damaged, or was written by a newer version is refused
// with a JournalError and left as it was, byte for byte. A journal of an
// older version is brought up to this one in one transaction when a till
// opens it; a reader brings a copy of it up in memory instead.
class SqliteJournal final : public Journal {
public:
    using Access = SqliteConnection::Access;

    // Opens the journal at `path`. `vfs` names an SQLite VFS, for tests that
    // inject faults; empty, the default one serves.
    SqliteJournal(const std::string& path, Access access, const std::string& vfs = "");
    SqliteJournal(const SqliteJournal&) = delete;
    SqliteJournal& operator=(const SqliteJournal&) = delete;
    ~SqliteJournal() override;

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

    // Verifies every day, calling `verified` with each sound day's number
    // and count of records, then the lines of the list of days, the signed
    // heads (by the key of fingerprint `trusted`, when given) and SQLite's
    // integrity check; throws JournalError naming the first damage found.
    void verify(const std::function<void(std::int32_t, std::int64_t)>& verified,
                const std::optional<std::string>& trusted = std::nullopt);

    // Signs each day's head with `key` as it closes, from now on; the day
    // opened next names the key in the chain when the chain names another.
    void signWith(std::shared_ptr<const SigningKey> key);
    // Returns the public key the chain last named, in hex, if any.
    std::optional<std::string> chainKey();
    // After a full check, records in the open day that a new anchor was
    // written, for `why`, and writes it.
    void recordNewAnchor(Moment now, const std::string& why);
    // Returns what bringing the journal up to this version changed that its
    // owner should hear of.
    const std::vector<std::string>& upgradeNotes() const;

    // Returns the SQLite connection, for tests that hook into it.
    sqlite3* handle();

private:
    struct Connection;

    // The tables beside the days, on this journal's connection.
    SideTables side();
    void anchor() noexcept;
    void nameKey(std::vector<JournalEntry>& opened);
    void restartLog() noexcept;
    void appendIn(EntryTable& table, std::vector<JournalEntry>& entries);
    template <typename Work>
    auto reading(Work work);
    template <typename Work>
    void writing(Work work);
    template <typename Work>
    void writingInBatch(Work work);

    std::string path;
    std::unique_ptr<Connection> connection;
};
