#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "web/ChangeRoutes.h"

// MoneyRoutes is the money's part of the web till's API beyond items:
// discounts, a bill in equal parts, the drawer, and a payment's parts, tip
// and expected total.
class MoneyRoutes {
public:
    // POST /api/orders/{order}/discount with {"percent": 10} or
    // {"amount_cents": 500}, "reason", and "item" for one item's id.
    static ChangeRoutes::Routed discount(const std::string& order, const nlohmann::json& body);
    // POST /api/orders/{order}/split-evenly with {"parts": 3}.
    static ChangeRoutes::Routed splitEvenly(const std::string& order, const nlohmann::json& body);
    // POST /api/drawer/open|in|out|count with {"amount_cents"} and, for in
    // and out, "reason".
    static ChangeRoutes::Routed drawer(const std::string& kind, const nlohmann::json& body);
    // POST /api/orders/{order}/pay with "method" and "given_cents", or
    // "payments": [{"method", "amount_cents"?, "given_cents"?}] whose last
    // pays the rest; "tip_cents"; "expected_total_cents"; "items".
    static ChangeRoutes::Routed pay(const std::string& order, const nlohmann::json& body);
};
