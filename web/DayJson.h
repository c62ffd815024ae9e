#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "journal/DayRecord.h"
#include "journal/Journal.h"
#include "menu/Menu.h"
#include "service/Results.h"

// DayJson puts the day's facts in the web till's JSON: amounts as integers
// in cents, times in ISO 8601 with their offset, the counter's order named
// "counter".
class DayJson {
public:
    static nlohmann::json menu(const Menu& menu);
    static nlohmann::json order(const OrderView& order);
    // The open order of that label in the record; an empty one when none is
    // open.
    static nlohmann::json orderIn(const DayRecord& record, const std::string& label);
    static nlohmann::json receipt(const DayRecord& record, std::int32_t customer);
    static nlohmann::json summary(const DayRecord& record);
    static nlohmann::json day(const DayLine& line);
    // Returns the JSON's text; bytes that are not UTF-8, which a request
    // may carry into a message, become U+FFFD rather than fail.
    static std::string text(const nlohmann::json& value);
    // "counter" for the counter's order, else the table's label.
    static std::string orderName(const std::string& label);
};
