#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/DayReplay.h"
#include "journal/Journal.h"
#include "menu/Menu.h"
#include "service/DaySnapshot.h"
#include "service/EntryLog.h"

// DayState is the day as the writer works on it: the replay of every entry
// the journal took, the batch being written included, the log of those
// entries that snapshots share, and the closed days' lines. Memory is the
// replay of what the journal took, so the two cannot disagree; when memory
// fails, or the journal takes back what memory took, the day is read again.
// It belongs to the writer's thread alone.
class DayState {
public:
    explicit DayState(std::shared_ptr<const Menu> menu);

    // Starts on the day the journal opened or resumed; `closed` are the
    // closed days' lines.
    void start(const Journal::OpenDay& opened, std::vector<DayLine> closed);
    // Starts on the next day, the closed days' lines as they are.
    void startNext(const Journal::OpenDay& opened);
    // Takes entries the journal took; throws JournalError for entries that
    // do not make a day.
    void apply(const std::vector<JournalEntry>& entries);
    // Ends the day, which the journal closed: its line joins the closed
    // days', unless it never held an item and left no trace.
    void close();
    // Ends the day, left open in the journal for the next start.
    void leave();
    // Reads the day again from the journal, marked stale until it could.
    void rebuild(Journal& journal) noexcept;

    bool stale() const;
    // Whether a day is open.
    bool open() const;
    // Returns the open day; an empty one when none is open.
    const DayReplay& day() const;
    const Menu& menu() const;
    // Sells from that menu from now on: its version counts up.
    void setMenu(std::shared_ptr<const Menu> menu);
    std::int64_t menuVersion() const;
    // Charges tables' bills that service charge, in hundredths of a percent.
    void chargeTables(std::int64_t serviceCharge);
    // The staff who may sign in, as the journal holds them.
    void setStaff(std::vector<Journal::StaffMember> staff);

    // The printers' queue as the journal holds it.
    const std::vector<PrintJob>& printQueue() const;
    void setPrintQueue(std::vector<PrintJob> jobs);
    // Notes when the station's printer went offline; with no moment, that
    // it is back.
    void setOffline(const std::string& station, std::optional<Moment> since);
    // Notes since when the head office could not be reached; with no
    // moment, that it is reached again.
    void setHeadOffice(std::optional<Moment> unreachableSince);

    // Returns the day as it stands, for the readers.
    std::shared_ptr<const DaySnapshot> snapshot(std::int64_t version);

private:
    // Remakes the views of the orders the replay changed since it last did.
    void refreshViews();

    std::shared_ptr<const Menu> sold;
    std::int64_t menuChanges = 1;
    std::int64_t charge = 0;
    std::shared_ptr<const std::vector<Journal::StaffMember>> members;
    std::optional<DayReplay> replay;
    EntryLog log;
    std::shared_ptr<const std::vector<DayLine>> closedDays;
    std::shared_ptr<const std::vector<PrintJob>> printing;
    std::shared_ptr<const std::map<std::string, Moment>> offline;
    std::optional<Moment> headOfficeUnreachable;
    // The open orders as the readers see them, by their place (the
    // counter's first), remade only when a command changed them; and each
    // order's place, by its key.
    std::map<std::uint64_t, std::shared_ptr<const OrderView>> views;
    std::map<std::string, std::uint64_t> placeOf;
    std::int32_t lastNumber = 0;
    bool needsRebuild = false;
};
