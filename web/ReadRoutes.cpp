#include "web/ReadRoutes.h"

#include <nlohmann/json.hpp>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "web/DayJson.h"
#include "web/KitchenRoutes.h"

namespace {

using nlohmann::json;

// A day's or a customer's number in a path: up to nine plain digits.
std::int32_t numberIn(const std::string& segment) {
    return segment.size() <= 9 && isAllDigits(segment) ? std::stoi(segment) : 0;
}

}  // namespace

ReadRoutes::ReadRoutes(DayService& service, Journal& history) : service(service), history(history) {
    MutexLock lock(historyMutex);
    restaurant = DayJson::restaurant(history.settings());
}

WebAnswer ReadRoutes::route(const std::vector<std::string>& path) {
    if (path.size() == 2 && path[1] == "settings") {
        return WebAnswer::json(200, restaurant);
    }
    if (path.size() == 2 && path[1] == "menu") {
        return WebAnswer::json(200, DayJson::menu(*service.snapshot()));
    }
    if (path.size() == 2 && path[1] == "orders") {
        const std::shared_ptr<const DaySnapshot> now = service.snapshot();
        json orders = json::array();
        for (const std::shared_ptr<const OrderView>& order : now->orders) {
            orders.push_back(DayJson::order(*order));
        }
        return WebAnswer::json(
            200, {{"change", now->version},
                  {"orders", orders},
                  {"printers_offline", KitchenRoutes::offline(*now)},
                  {"head_office_unreachable_since", now->headOfficeUnreachable
                                                        ? json(isoTime(*now->headOfficeUnreachable))
                                                        : json(nullptr)}});
    }
    if (path.size() == 2 && path[1] == "events") {
        return {200, "text/event-stream", "", {{"Cache-Control", "no-store"}}, true};
    }
    if (path.size() == 2 && path[1] == "days") {
        return days();
    }
    if (path.size() >= 3 && path[1] == "days") {
        return pastDay(path);
    }
    if (path.size() == 3 && path[1] == "sales") {
        return sale(path[2]);
    }
    return WebAnswer::refusal(404, "there is no such resource");
}

// Read from the snapshot: the lines of the closed days are kept there, so
// that the list costs as many lines as there are days. A history whose
// lines could not be read when the till started is read again, and its
// damage said.
WebAnswer ReadRoutes::days() {
    const std::shared_ptr<const DaySnapshot> now = service.snapshot();
    std::vector<DayLine> lines;
    if (now->closedDays) {
        lines = now->days();
    } else {
        MutexLock lock(historyMutex);
        lines = history.days();
    }
    json shown = json::array();
    for (const DayLine& line : lines) {
        shown.push_back(DayJson::day(line));
    }
    return WebAnswer::json(200, shown);
}

WebAnswer ReadRoutes::pastDay(const std::vector<std::string>& path) {
    const std::optional<DayFigures> figures = figuresOf(numberIn(path[2]));
    if (!figures) {
        return WebAnswer::refusal(404, "there is no day " + path[2]);
    }
    if (path.size() == 4 && path[3] == "summary") {
        return WebAnswer::json(200, DayJson::summary(*figures));
    }
    if (path.size() == 5 && path[3] == "receipts") {
        const SaleFigures* sold = figures->sale(numberIn(path[4]));
        return sold != nullptr
                   ? WebAnswer::json(200, DayJson::receipt(*sold))
                   : WebAnswer::refusal(404, "customer " + path[4] + " did not pay that day");
    }
    return WebAnswer::refusal(404, "there is no such resource");
}

WebAnswer ReadRoutes::sale(const std::string& saleId) {
    const std::shared_ptr<const DaySnapshot> now = service.snapshot();
    std::optional<std::int32_t> day;
    for (const PaidCustomer& paid : now->record().customers) {
        if (paid.saleId == saleId) {
            day = now->day;
        }
    }
    if (!day) {
        MutexLock lock(historyMutex);
        day = history.dayOfSale(saleId);
    }
    const std::optional<DayFigures> figures = day ? figuresOf(*day) : std::nullopt;
    if (figures) {
        for (const SaleFigures& sold : figures->sales) {
            if (sold.saleId == saleId) {
                return WebAnswer::json(200, DayJson::receipt(sold));
            }
        }
    }
    return WebAnswer::refusal(404, "there is no sale " + saleId);
}

std::optional<DayFigures> ReadRoutes::figuresOf(std::int32_t day) {
    const std::shared_ptr<const DaySnapshot> now = service.snapshot();
    if (day == now->day && !now->over) {
        return DayFigures::of(now->record());
    }
    std::optional<DayRecord> record;
    {
        MutexLock lock(historyMutex);
        record = day > 0 ? history.day(day) : std::nullopt;
    }
    return record ? std::optional<DayFigures>(DayFigures::of(*record)) : std::nullopt;
}
