#include "web/KitchenRoutes.h"

#include <algorithm>
#include <set>
#include <utility>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "service/DayService.h"
#include "service/OrderViews.h"
#include "web/BodyFields.h"
#include "web/DayJson.h"

namespace {

using nlohmann::json;
using Routed = ChangeRoutes::Routed;

WebAnswer badRequest(const std::string& why) { return WebAnswer::refusal(400, why); }

// An item still to cook, or cooked: not taken out of its order, nor paid
// in a sale made void since.
bool stands(const JournalItem& item, const std::set<std::int32_t>& voided) {
    return !item.removedAt && voided.count(item.customer) == 0;
}

std::set<std::int32_t> voidedIn(const DayRecord& day) {
    std::set<std::int32_t> voided;
    for (const PaidCustomer& paid : day.customers) {
        if (paid.voidedAt) {
            voided.insert(paid.number);
        }
    }
    return voided;
}

const JournalItem& itemOf(const DayRecord& day, std::int64_t seq) {
    // Items are kept in the order they were added, so their seqs rise.
    const auto found = std::lower_bound(
        day.items.begin(), day.items.end(), seq,
        [](const JournalItem& item, std::int64_t wanted) { return item.entry < wanted; });
    return *found;
}

}  // namespace

KitchenRoutes::KitchenRoutes(const Settings& settings) : settings(settings) {}

Routed KitchenRoutes::sendOrFire(const std::string& order, bool fire, const json& body) {
    BodyFields fields(body);
    const std::int64_t course =
        fire ? fields.integer("course", -1, 0, 9, "give the course to fire, from 0 to 9") : 0;
    if (fields.fault() || course < 0) {
        return badRequest(fields.fault().value_or("give the course to fire, in \"course\""));
    }
    DayCommand command =
        fire ? DayCommand(FireCourse{order, course}) : DayCommand(SendOrder{order});
    return ChangeRoutes::Change{
        std::move(command), [order](const Result& done, const DayReplay& day) {
            json shown = DayJson::order(OrderViews::named(day, order));
            json tickets = json::array();
            for (const TicketMade& made : std::get<Sent>(done).tickets) {
                tickets.push_back(
                    {{"ticket", made.number}, {"station", made.station}, {"items", made.items}});
            }
            shown["tickets"] = tickets;
            return DayJson::text(shown);
        }};
}

Routed KitchenRoutes::ticketChange(const std::string& number, const std::string& what,
                                   const json& body) {
    const std::int64_t ticket = number.size() <= 9 && isAllDigits(number) ? std::stoll(number) : 0;
    BodyFields fields(body);
    std::vector<std::string> items = fields.texts("items", "name the items by their ids");
    if (fields.fault()) {
        return badRequest(*fields.fault());
    }
    DayCommand command;
    if (what == "ready") {
        command = MarkReady{ticket, std::move(items)};
    } else if (what == "recall") {
        command = RecallTicket{ticket};
    } else if (what == "reprint") {
        command = ReprintTicket{ticket};
    } else {
        return WebAnswer::refusal(404, "there is no such change");
    }
    return ChangeRoutes::Change{
        std::move(command), [ticket](const Result&, const DayReplay& day) {
            const KitchenTicket* made = day.ticket(ticket);
            return DayJson::text(made == nullptr ? json()
                                                 : KitchenRoutes::ticket(day.sofar(), *made));
        }};
}

std::optional<WebAnswer> KitchenRoutes::read(const WebRequest& request,
                                             const DaySnapshot& now) const {
    const std::vector<std::string> path = request.path();
    if (path.size() == 2 && path[1] == "tickets") {
        return tickets(request, now);
    }
    if (path.size() == 2 && path[1] == "printers") {
        return printers(now);
    }
    return std::nullopt;
}

json KitchenRoutes::ticket(const DayRecord& day, const KitchenTicket& ticket) {
    const std::set<std::int32_t> voided = voidedIn(day);
    json items = json::array();
    for (std::int64_t seq : ticket.items) {
        const JournalItem& item = itemOf(day, seq);
        if (stands(item, voided)) {
            items.push_back({{"id", itemIdOf(day.number, seq)},
                             {"name", item.name},
                             {"note", item.note.empty() ? json() : json(item.note)},
                             {"course", item.course},
                             {"held", item.held()},
                             {"ready", item.readyAt.has_value()}});
        }
    }
    return {{"ticket", ticket.number},       {"order", DayJson::orderName(ticket.label)},
            {"station", ticket.station},     {"staff", ticket.staff},
            {"sent_at", isoTime(ticket.at)}, {"items", items}};
}

// A ticket is open while an item of it that stands is not ready.
WebAnswer KitchenRoutes::tickets(const WebRequest& request, const DaySnapshot& now) {
    const std::string station = lowercaseWord(request.query("station"));
    json open = json::array();
    if (!now.over) {
        const DayRecord& day = now.record();
        for (const KitchenTicket& made : day.tickets) {
            if (!made.heading.empty() || (!station.empty() && made.station != station)) {
                continue;
            }
            json shown = ticket(day, made);
            for (const json& item : shown["items"]) {
                if (!item["ready"].get<bool>()) {
                    open.push_back(std::move(shown));
                    break;
                }
            }
        }
    }
    return WebAnswer::json(
        200,
        {{"change", now.version}, {"now", isoTime(DayService::systemClock())}, {"tickets", open}});
}

WebAnswer KitchenRoutes::printers(const DaySnapshot& now) const {
    json shown = json::array();
    for (const std::string& station : settings.printerStations()) {
        std::size_t waiting = 0;
        if (now.printQueue) {
            for (const PrintJob& job : *now.printQueue) {
                waiting += job.ticket.station == station ? 1U : 0U;
            }
        }
        json since;
        if (now.offlinePrinters && now.offlinePrinters->count(station) != 0) {
            since = isoTime(now.offlinePrinters->at(station));
        }
        shown.push_back({{"station", station},
                         {"address", settings.printerOf(station)},
                         {"offline_since", since},
                         {"waiting", waiting}});
    }
    return WebAnswer::json(200, {{"printers", shown}});
}

json KitchenRoutes::offline(const DaySnapshot& now) {
    json shown = json::array();
    if (now.offlinePrinters) {
        for (const auto& [station, since] : *now.offlinePrinters) {
            shown.push_back({{"station", station}, {"offline_since", isoTime(since)}});
        }
    }
    return shown;
}
