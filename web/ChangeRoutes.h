#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <variant>
#include <vector>

#include "service/Commands.h"
#include "service/Submission.h"
#include "web/WebExchange.h"

// A change a request asks for: the command, and how to answer it from
// what the command did and the day it left.
struct RoutedChange {
    DayCommand command;
    Submission::Answer answer;
};

// ChangeRoutes reads a request that changes the day into the command it
// asks for, and how to answer it from what the command did and the day it
// left: an order as it stands, a sale's receipt, the report of a day
// closed. A request that cannot be such a command is answered at once, with
// the reason. Items are named by id, sales by sale id.
class ChangeRoutes {
public:
    using Change = RoutedChange;
    using Routed = std::variant<WebAnswer, Change>;

    static Routed route(const WebRequest& request, const std::vector<std::string>& path,
                        const nlohmann::json& body);

private:
    static Routed orderChange(const WebRequest& request, const std::vector<std::string>& path,
                              const nlohmann::json& body);
    static Routed addItem(const std::string& order, const nlohmann::json& body);
    static Routed removeItem(const std::string& order, const std::string& id);
    static Routed moveItems(const std::string& order, const nlohmann::json& body);
    static Routed voidSale(const std::string& saleId, const nlohmann::json& body);
    static Routed closeDay();
    // POST or DELETE /api/menu/{kind}/{item}/sold-out.
    static Routed soldOut(const std::string& kindName, const std::string& item, bool out);
};
