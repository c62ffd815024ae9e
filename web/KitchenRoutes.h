#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "journal/Settings.h"
#include "service/DaySnapshot.h"
#include "web/ChangeRoutes.h"
#include "web/WebExchange.h"

// KitchenRoutes is the kitchen's part of the web till's API: sending and
// firing an order, the open tickets of a station, the kitchen marking items
// ready or bringing a ticket back, a ticket printed again, and the
// printers, offline or not.
class KitchenRoutes {
public:
    // The printers are as the settings were when the till started.
    explicit KitchenRoutes(const Settings& settings);

    // POST /api/orders/{order}/send, and /fire with {"course": N}.
    static ChangeRoutes::Routed sendOrFire(const std::string& order, bool fire,
                                           const nlohmann::json& body);
    // POST /api/tickets/{n}/ready with {"items": [ids]} or nothing, /recall
    // and /reprint.
    static ChangeRoutes::Routed ticketChange(const std::string& number, const std::string& what,
                                             const nlohmann::json& body);
    // GET /api/tickets?station=S and GET /api/printers; nothing for another
    // path.
    std::optional<WebAnswer> read(const WebRequest& request, const DaySnapshot& now) const;

    // Returns the printers offline, each {"station", "offline_since"}.
    static nlohmann::json offline(const DaySnapshot& now);

private:
    static nlohmann::json ticket(const DayRecord& day, const KitchenTicket& ticket);
    static WebAnswer tickets(const WebRequest& request, const DaySnapshot& now);
    WebAnswer printers(const DaySnapshot& now) const;

    Settings settings;
};
