#include "service/DayState.h"

#include <new>
#include <utility>

#include "service/OrderViews.h"

DayState::DayState(std::shared_ptr<const Menu> menu)
    : sold(std::move(menu)),
      closedDays(std::make_shared<const std::vector<DayLine>>()),
      printing(std::make_shared<const std::vector<PrintJob>>()),
      offline(std::make_shared<const std::map<std::string, Moment>>()) {}

void DayState::start(const Journal::OpenDay& opened, std::vector<DayLine> closed) {
    closedDays = std::make_shared<const std::vector<DayLine>>(std::move(closed));
    startNext(opened);
}

void DayState::startNext(const Journal::OpenDay& opened) {
    DayReplay made(opened.number);
    EntryLog entries;
    for (const JournalEntry& entry : opened.entries) {
        made.apply(entry);
        entries.append(entry);
    }
    made.chargeTables(charge);
    replay.emplace(std::move(made));
    log = std::move(entries);
    views.clear();
    placeOf.clear();
    lastNumber = opened.number;
    needsRebuild = false;
}

void DayState::apply(const std::vector<JournalEntry>& entries) {
    for (const JournalEntry& entry : entries) {
        replay->apply(entry);
        log.append(entry);
    }
}

void DayState::close() {
    if (replay->everHeldAnItem()) {
        auto lines = std::make_shared<std::vector<DayLine>>(*closedDays);
        lines->push_back(replay->line());
        closedDays = std::move(lines);
    }
    replay.reset();
    log = EntryLog();
    views.clear();
    placeOf.clear();
}

void DayState::leave() {
    replay.reset();
    log = EntryLog();
    views.clear();
    placeOf.clear();
}

// The closed days' lines are read again too: the journal may have taken
// back a close.
void DayState::rebuild(Journal& journal) noexcept {
    needsRebuild = true;
    try {
        setPrintQueue(journal.printQueue());
        const Journal::OpenDay current = journal.currentDay();
        std::vector<DayLine> closed;
        for (const DayLine& line : journal.days()) {
            if (line.closedAt) {
                closed.push_back(line);
            }
        }
        if (current.number == 0) {
            closedDays = std::make_shared<const std::vector<DayLine>>(std::move(closed));
            leave();
            needsRebuild = false;
            return;
        }
        start(current, std::move(closed));
    } catch (...) {
        // Tried again before the next command.
    }
}

const std::vector<PrintJob>& DayState::printQueue() const { return *printing; }

void DayState::setPrintQueue(std::vector<PrintJob> jobs) {
    printing = std::make_shared<const std::vector<PrintJob>>(std::move(jobs));
}

void DayState::setHeadOffice(std::optional<Moment> unreachableSince) {
    headOfficeUnreachable = unreachableSince;
}

void DayState::setOffline(const std::string& station, std::optional<Moment> since) {
    auto changed = std::make_shared<std::map<std::string, Moment>>(*offline);
    if (since) {
        changed->emplace(station, *since);
    } else {
        changed->erase(station);
    }
    offline = std::move(changed);
}

bool DayState::stale() const { return needsRebuild; }

bool DayState::open() const { return replay.has_value(); }

const DayReplay& DayState::day() const {
    static const DayReplay none(0);
    return replay ? *replay : none;
}

const Menu& DayState::menu() const { return *sold; }

void DayState::setMenu(std::shared_ptr<const Menu> menu) {
    sold = std::move(menu);
    ++menuChanges;
}

std::int64_t DayState::menuVersion() const { return menuChanges; }

void DayState::chargeTables(std::int64_t serviceCharge) {
    charge = serviceCharge;
    if (replay) {
        replay->chargeTables(serviceCharge);
    }
}

void DayState::setStaff(std::vector<Journal::StaffMember> staff) {
    members = std::make_shared<const std::vector<Journal::StaffMember>>(std::move(staff));
}

// The changes are forgotten only once every view is remade: a failure for
// want of memory remakes them all again the next time.
void DayState::refreshViews() {
    for (const std::string& key : replay->changedOrders()) {
        const auto was = placeOf.find(key);
        if (was != placeOf.end()) {
            views.erase(was->second);
            placeOf.erase(was);
        }
        if (const OpenOrder* open = replay->order(key)) {
            const std::uint64_t place = open->label.empty() ? 0 : open->sequence;
            views[place] = std::make_shared<const OrderView>(OrderViews::of(*replay, *open));
            placeOf[key] = place;
        }
    }
    replay->forgetChanges();
}

std::shared_ptr<const DaySnapshot> DayState::snapshot(std::int64_t version) {
    auto made = std::make_shared<DaySnapshot>();
    made->version = version;
    made->day = lastNumber;
    made->menu = sold;
    made->menuVersion = menuChanges;
    made->staff = members;
    made->closedDays = closedDays;
    made->printQueue = printing;
    made->offlinePrinters = offline;
    made->headOfficeUnreachable = headOfficeUnreachable;
    if (replay) {
        made->over = false;
        made->current = replay->current();
        made->nextCustomer = replay->nextCustomer();
        refreshViews();
        made->orders.reserve(views.size());
        for (const auto& [place, view] : views) {
            made->orders.push_back(view);
        }
        made->today = replay->line();
        made->soldOut = replay->sofar().soldOut;
        made->entries = log.view();
    }
    return made;
}
