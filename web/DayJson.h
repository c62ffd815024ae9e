#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "journal/DayRecord.h"
#include "journal/Settings.h"
#include "menu/Menu.h"
#include "service/DayFigures.h"
#include "service/DaySnapshot.h"
#include "service/Results.h"
#include "service/SaleFigures.h"

// DayJson puts the day's facts in the web till's JSON: amounts as integers
// in cents, times in ISO 8601 with their offset, the counter's order named
// "counter". It renders the day's figures and computes none.
class DayJson {
public:
    // The restaurant's name, address, VAT number and currency, which the
    // page puts on receipts and after amounts.
    static nlohmann::json restaurant(const Settings& settings);
    // The menu the till sells from now: its version, and each item's
    // number, name, price and whether it is sold out.
    static nlohmann::json menu(const DaySnapshot& now);
    // An order as it stands; one not open has no items and no opening time.
    static nlohmann::json order(const OrderView& order);
    static nlohmann::json receipt(const SaleFigures& sale);
    static nlohmann::json summary(const DayFigures& figures);
    static nlohmann::json day(const DayLine& line);
    // Returns the JSON's text; bytes that are not UTF-8, which a request
    // may carry into a message, become U+FFFD rather than fail.
    static std::string text(const nlohmann::json& value);
    // "counter" for the counter's order, else the table's label.
    static std::string orderName(const std::string& label);
    // "cash", "card", "other" or "unrecorded".
    static std::string methodName(PaymentMethod method);

private:
    static nlohmann::json moneyOf(const SaleFigures& sale);
};
