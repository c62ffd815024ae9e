#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Moment.h"
#include "journal/DayRecord.h"
#include "journal/JournalEntry.h"
#include "journal/KitchenTicket.h"
#include "journal/Settings.h"
#include "menu/Menu.h"

// JournalError says why the journal could not be opened, read or written, in
// words for the person at the till.
class JournalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Journal keeps a restaurant's days as the entries that make them: every
// change to the open day is appended before the till acknowledges it, each
// change whole or not at all, and past days can be read back. The till knows
// only this interface, so a journal on a server for several tills could
// stand beside the SQLite file one.
//
// Writes come one at a time, each in a transaction of its own, or in a
// batch: between beginBatch and commitBatch every write is held in one
// transaction, made durable by one sync; within a batch, a change
// (beginChange to releaseChange) is a savepoint that undoChange takes back
// alone. A write that fails throws JournalError and changes nothing.
class Journal {
public:
    Journal() = default;
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    virtual ~Journal() = default;

    // OpenDay is the day the till works on, as the entries that make it, and
    // whether it was open already, left so by a till that stopped without
    // closing it.
    struct OpenDay {
        std::int32_t number = 0;
        std::vector<JournalEntry> entries;
        bool resumed = false;
    };
    // Returns the open day, opening a new one at `now` when none is open.
    virtual OpenDay openDay(Moment now) = 0;
    // Returns the open day read afresh, with what the batch wrote so far,
    // for a till whose memory of its day failed; number 0 when none is open.
    virtual OpenDay currentDay() = 0;

    virtual void beginBatch() = 0;
    // Makes the batch durable; when it cannot, throws JournalError, and none
    // of the batch's changes is kept. Either way the batch is over.
    virtual void commitBatch() = 0;
    // Takes back whatever the batch wrote; the batch is over.
    virtual void rollbackBatch() noexcept = 0;
    virtual void beginChange() = 0;
    virtual void releaseChange() = 0;
    virtual void undoChange() noexcept = 0;

    // Appends the entries to the open day, numbering them in place; returns
    // the seq of the first.
    virtual std::int64_t append(std::vector<JournalEntry>& entries) = 0;
    // Closes the open day with `close`, which carries the day's line,
    // numbering it in place; a day that never held an item is forgotten
    // instead, so that it leaves no trace. Answers kept in the days closed
    // two days before go.
    virtual void closeDay(JournalEntry& close) = 0;
    // Leaves the open day open for the next start, or forgets it when it
    // never held an item.
    virtual void leaveDayOpen() = 0;

    // KeptAnswer is the answer a request that changed the day was given,
    // kept under the key the request carried with a fingerprint of the
    // request itself, so that the same request sent again gets it again and
    // changes nothing, and another request under that key is told apart.
    struct KeptAnswer {
        std::string key;
        std::string fingerprint;
        std::string answer;
    };
    // Returns the answer kept under a request's key, if any; its fingerprint
    // is empty when it was kept before answers were bound to requests.
    virtual std::optional<KeptAnswer> keptAnswer(const std::string& key) = 0;
    // Keeps an answer with the open day.
    virtual void keep(const KeptAnswer& kept) = 0;

    // StoredMenu is the menu the restaurant sells, as it was imported.
    struct StoredMenu {
        Menu menu;
        std::string file;
        Moment importedAt = 0;
    };
    // Returns the menu kept in the journal, if one was imported.
    virtual std::optional<StoredMenu> storedMenu() = 0;
    // Makes `stored` the menu kept in the journal, whole or not at all.
    virtual void replaceMenu(const StoredMenu& stored) = 0;

    // Returns the restaurant's settings.
    virtual Settings settings() = 0;
    // Sets one of the restaurant's settings, whole or not at all.
    virtual void putSetting(const std::string& key, const std::string& value) = 0;

    // StaffMember is a person who may sign in to the web till: a name, the
    // hash of a PIN, and a role: waiter, manager or kitchen.
    struct StaffMember {
        std::string name;
        std::string pinHash;
        std::string role = "waiter";
    };
    // Returns the staff, by name.
    virtual std::vector<StaffMember> staff() = 0;
    // Adds a member of staff, or gives one a new PIN.
    virtual void putStaff(const StaffMember& member) = 0;
    // Removes a member of staff, and ends their sessions; returns false when
    // there is none by that name.
    virtual bool removeStaff(const std::string& name) = 0;

    // Session is a signed-in device as the journal keeps it: a hash of its
    // token, never the token, with who signed in, when, and when the device
    // was last seen, as last written.
    struct Session {
        std::string tokenHash;
        std::string staff;
        Moment opened = 0;
        Moment used = 0;
    };
    // Returns the sessions kept.
    virtual std::vector<Session> sessions() = 0;
    // Keeps a session, new or seen again.
    virtual void putSession(const Session& session) = 0;
    // Forgets the session of that hash, if it is kept.
    virtual void endSession(const std::string& tokenHash) = 0;

    // The printers' queue: the tickets waiting for their station's printer,
    // each with an id by which they print in order. queuePrint returns it;
    // markPrint marks a job's bytes as begun, or with `done` as all sent.
    virtual std::int64_t queuePrint(const PrintJob& job) = 0;
    virtual std::vector<PrintJob> printQueue() = 0;
    virtual void markPrint(std::int64_t id, bool done) = 0;

    // Returns every day's line, the first first, without reading the
    // records of a closed day.
    virtual std::vector<DayLine> days() = 0;
    // Returns the day with that number, if there is one.
    virtual std::optional<DayRecord> day(std::int32_t number) = 0;
    // SignedHead is where a closed day's chain ended, signed by the till's
    // key as it closed: its count of records, their last hash, the
    // signature and the public key, each in hex.
    struct SignedHead {
        std::int32_t day = 0;
        std::int64_t entries = 0;
        std::string head;
        std::string signature;
        std::string publicKey;
    };
    // Returns the signed head of the day with that number, if it was signed.
    virtual std::optional<SignedHead> signedHead(std::int32_t number) = 0;
    // Returns the number of the day in which the sale of that id was paid.
    virtual std::optional<std::int32_t> dayOfSale(const std::string& saleId) = 0;
    // Returns the Z number of the last close that had one, 0 before any.
    virtual std::int64_t lastZ() = 0;

    // Returns what messages call the journal: "journal PATH".
    virtual std::string description() const = 0;
};
