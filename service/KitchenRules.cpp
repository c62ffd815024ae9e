#include "service/KitchenRules.h"

#include <algorithm>
#include <map>
#include <variant>

namespace {

Refusal noSuchTicket(std::int64_t number) {
    Refusal refused = RuleContext::refusal(Refusal::Reason::noSuchTicket);
    refused.number = number;
    return refused;
}

// The tickets a ruling made before this one take their numbers first.
std::int64_t nextNumber(const RuleContext& context, const std::vector<JournalEntry>& entries) {
    return context.day().nextTicket() +
           std::count_if(entries.begin(), entries.end(), [](const JournalEntry& entry) {
               return entry.type == JournalEntry::Type::ticket;
           });
}

}  // namespace

template <typename Test>
std::vector<std::size_t> KitchenRules::itemsOf(const RuleContext& context, const OpenOrder& order,
                                               Test test) {
    std::vector<std::size_t> found;
    for (const auto& kind : order.items) {
        for (std::size_t at : kind) {
            if (test(context.day().sofar().items[at])) {
                found.push_back(at);
            }
        }
    }
    return found;
}

std::vector<TicketMade> KitchenRules::made(const RuleContext& context,
                                           const std::vector<std::size_t>& items,
                                           const std::string& label, const Heading& heading,
                                           std::vector<JournalEntry>& entries) {
    const std::vector<JournalItem>& all = context.day().sofar().items;
    std::vector<std::string> stations;
    for (std::size_t at : items) {
        if (std::find(stations.begin(), stations.end(), all[at].station) == stations.end()) {
            stations.push_back(all[at].station);
        }
    }
    std::vector<TicketMade> tickets;
    for (const std::string& station : stations) {
        JournalEntry ticket = context.entry(JournalEntry::Type::ticket, label);
        ticket.ticket = nextNumber(context, entries);
        ticket.station = station;
        if (!heading.text.empty()) {
            ticket.heading = heading.text;
        }
        ticket.course =
            heading.course != 0 ? std::optional<std::int64_t>(heading.course) : std::nullopt;
        ticket.name = heading.movedTo.empty() ? std::nullopt : std::optional(heading.movedTo);
        entries.push_back(ticket);
        TicketMade told{*ticket.ticket, station, 0};
        for (std::size_t at : items) {
            if (all[at].station == station) {
                entries.push_back(context.entry(JournalEntry::Type::onTicket, ""));
                entries.back().item = all[at].entry;
                entries.back().ticket = told.number;
                ++told.items;
            }
        }
        tickets.push_back(told);
    }
    return tickets;
}

Ruled KitchenRules::send(const RuleContext& context, const SendOrder& command) {
    const auto found = context.openOrder(command.order);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const OpenOrder* open = std::get<const OpenOrder*>(found);
    const std::vector<std::size_t> unsent =
        itemsOf(context, *open, [](const JournalItem& item) { return item.ticket == 0; });
    if (unsent.empty()) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::nothingToSend);
        refused.order = open->label;
        return refused;
    }
    Ruling ruling{{}, Sent{open->label, 0, {}}};
    std::get<Sent>(ruling.result).tickets = made(context, unsent, open->label, {}, ruling.entries);
    return ruling;
}

Ruled KitchenRules::fire(const RuleContext& context, const FireCourse& command) {
    const auto found = context.openOrder(command.order);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const OpenOrder* open = std::get<const OpenOrder*>(found);
    const std::vector<std::size_t> held =
        itemsOf(context, *open, [&command](const JournalItem& item) {
            return item.held() && item.course == command.course;
        });
    if (held.empty()) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::nothingHeld);
        refused.order = open->label;
        refused.number = command.course;
        return refused;
    }
    Ruling ruling{{}, Sent{open->label, command.course, {}}};
    std::get<Sent>(ruling.result).tickets =
        made(context, held, open->label, {"FIRE", command.course, ""}, ruling.entries);
    return ruling;
}

namespace {

// The items named on the ticket, or all of them when none is.
std::variant<std::vector<std::int64_t>, Refusal> namedOn(const RuleContext& context,
                                                         const KitchenTicket& ticket,
                                                         const std::vector<std::string>& ids) {
    if (ids.empty()) {
        return ticket.items;
    }
    std::vector<std::int64_t> named;
    for (const std::string& id : ids) {
        const auto on = std::find_if(ticket.items.begin(), ticket.items.end(), [&](auto seq) {
            return itemIdOf(context.day().sofar().number, seq) == id;
        });
        if (on == ticket.items.end()) {
            Refusal refused = RuleContext::refusal(Refusal::Reason::notOnTicket);
            refused.number = ticket.number;
            refused.text = id;
            return refused;
        }
        named.push_back(*on);
    }
    return named;
}

}  // namespace

// Only a ticket that sent items can be made ready; an item already ready,
// or taken out of its order, is left as it is.
Ruled KitchenRules::ready(const RuleContext& context, const MarkReady& command) {
    const KitchenTicket* ticket = context.day().ticket(command.ticket);
    if (ticket == nullptr || !ticket->heading.empty()) {
        return noSuchTicket(command.ticket);
    }
    auto named = namedOn(context, *ticket, command.items);
    if (named.index() == 1) {
        return std::get<Refusal>(named);
    }
    Ruling ruling{{}, TicketMarked{ticket->number, ticket->station, 0}};
    std::vector<std::int64_t> marked;
    for (std::int64_t seq : std::get<0>(named)) {
        const JournalItem& item = context.day().sofar().items[context.day().itemAt(seq)];
        if (item.readyAt || item.removedAt ||
            std::find(marked.begin(), marked.end(), seq) != marked.end()) {
            continue;
        }
        marked.push_back(seq);
        ruling.entries.push_back(context.entry(JournalEntry::Type::ready, ""));
        ruling.entries.back().ticket = ticket->number;
        ruling.entries.back().item = seq;
    }
    std::get<TicketMarked>(ruling.result).items = marked.size();
    return ruling;
}

Ruled KitchenRules::recall(const RuleContext& context, const RecallTicket& command) {
    const KitchenTicket* ticket = context.day().ticket(command.ticket);
    if (ticket == nullptr || !ticket->heading.empty()) {
        return noSuchTicket(command.ticket);
    }
    Ruling ruling{{}, TicketMarked{ticket->number, ticket->station, ticket->items.size()}};
    ruling.entries.push_back(context.entry(JournalEntry::Type::recall, ""));
    ruling.entries.back().ticket = ticket->number;
    return ruling;
}

void KitchenRules::sendAndFire(const RuleContext& context, const std::vector<std::size_t>& items,
                               const std::string& label, std::vector<JournalEntry>& entries) {
    const std::vector<JournalItem>& all = context.day().sofar().items;
    std::vector<std::size_t> unsent;
    std::map<std::int64_t, std::vector<std::size_t>> held;
    for (std::size_t at : items) {
        if (all[at].ticket == 0) {
            unsent.push_back(at);
        }
        if (all[at].course > 1 && !all[at].fired) {
            held[all[at].course].push_back(at);
        }
    }
    made(context, unsent, label, {}, entries);
    for (const auto& [course, fired] : held) {
        made(context, fired, label, {"FIRE", course, ""}, entries);
    }
}

void KitchenRules::changed(const RuleContext& context, const std::vector<std::size_t>& items,
                           const std::string& label, const std::string& movedTo,
                           std::vector<JournalEntry>& entries) {
    std::vector<std::size_t> sent;
    for (std::size_t at : items) {
        if (context.day().sofar().items[at].ticket != 0) {
            sent.push_back(at);
        }
    }
    made(context, sent, label, {movedTo.empty() ? "VOID" : "MOVED", 0, movedTo}, entries);
}

PrintJob KitchenRules::printed(const DayReplay& day, const KitchenTicket& ticket, bool copy) {
    PrintJob job;
    job.day = day.sofar().number;
    job.ticket = ticket;
    job.copy = copy;
    for (std::int64_t seq : ticket.items) {
        const JournalItem& item = day.sofar().items[day.itemAt(seq)];
        job.lines.push_back({item.name, item.note, ticket.heading.empty() && item.held()});
    }
    return job;
}
