#include "journal/KitchenReplay.h"

#include <algorithm>

namespace {

bool onIt(const KitchenTicket& ticket, std::int64_t item) {
    return std::find(ticket.items.begin(), ticket.items.end(), item) != ticket.items.end();
}

}  // namespace

KitchenReplay::Step KitchenReplay::apply(const JournalEntry& entry, DayRecord& day,
                                         const Places& added) {
    using Type = JournalEntry::Type;
    switch (entry.type) {
        case Type::ticket:
            return made(entry, day);
        case Type::onTicket:
            return listed(entry, day, added);
        case Type::ready:
            return ready(entry, day, added);
        case Type::recall:
            return recalled(entry, day, added);
        case Type::open:
        case Type::add:
        case Type::remove:
        case Type::pay:
        case Type::close:
        case Type::select:
        case Type::order:
        case Type::move:
        case Type::part:
        case Type::voided:
        case Type::relabel:
        case Type::key:
        case Type::anchored:
        case Type::discount:
        case Type::drawer:
        case Type::tender:
        case Type::evenly:
        case Type::soldOut:
        case Type::available:
            break;
    }
    return {"is not the kitchen's", {}};
}

std::int64_t KitchenReplay::nextTicket() const { return static_cast<std::int64_t>(at.size()) + 1; }

const KitchenTicket* KitchenReplay::ticket(const DayRecord& day, std::int64_t number) const {
    const auto place = at.find(number);
    return place == at.end() ? nullptr : &day.tickets[place->second];
}

// Tickets are numbered through the day, one after the other.
KitchenReplay::Step KitchenReplay::made(const JournalEntry& entry, DayRecord& day) {
    if (entry.ticket != nextTicket() || !entry.station) {
        return {"makes a ticket out of turn, or for no station", {}};
    }
    KitchenTicket ticket;
    ticket.number = *entry.ticket;
    ticket.station = *entry.station;
    ticket.label = entry.label.value_or("");
    ticket.staff = entry.staff.value_or("");
    ticket.at = entry.at;
    ticket.heading = entry.heading.value_or("");
    ticket.course = entry.course.value_or(0);
    ticket.movedTo = entry.name.value_or("");
    at.emplace(ticket.number, day.tickets.size());
    day.tickets.push_back(std::move(ticket));
    return {};
}

// A ticket without a heading sends its items; a FIRE ticket fires them; a
// VOID or MOVED one only tells of them.
KitchenReplay::Step KitchenReplay::listed(const JournalEntry& entry, DayRecord& day,
                                          const Places& added) {
    KitchenTicket* ticket = found(day, entry);
    const auto item = entry.item ? added.find(*entry.item) : added.end();
    if (ticket == nullptr || item == added.end() || onIt(*ticket, *entry.item)) {
        return {"puts an item on a ticket that cannot hold it", {}};
    }
    JournalItem& listed = day.items[item->second];
    if (ticket->heading.empty()) {
        if (listed.ticket != 0) {
            return {"sends an item sent already", {}};
        }
        listed.ticket = ticket->number;
        listed.sentAt = ticket->at;
    } else if (ticket->heading == "FIRE") {
        listed.fired = true;
    }
    ticket->items.push_back(*entry.item);
    return {nullptr, {*entry.item}};
}

KitchenReplay::Step KitchenReplay::ready(const JournalEntry& entry, DayRecord& day,
                                         const Places& added) {
    KitchenTicket* ticket = found(day, entry);
    if (ticket == nullptr || !entry.item || !onIt(*ticket, *entry.item)) {
        return {"makes ready an item that is not on its ticket", {}};
    }
    day.items[added.at(*entry.item)].readyAt = entry.at;
    return {nullptr, {*entry.item}};
}

KitchenReplay::Step KitchenReplay::recalled(const JournalEntry& entry, DayRecord& day,
                                            const Places& added) {
    KitchenTicket* ticket = found(day, entry);
    if (ticket == nullptr) {
        return {"recalls a ticket never made", {}};
    }
    for (std::int64_t item : ticket->items) {
        day.items[added.at(item)].readyAt.reset();
    }
    return {nullptr, ticket->items};
}

KitchenTicket* KitchenReplay::found(DayRecord& day, const JournalEntry& entry) {
    const auto place = entry.ticket ? at.find(*entry.ticket) : at.end();
    return place == at.end() ? nullptr : &day.tickets[place->second];
}
