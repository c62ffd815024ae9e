#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "journal/DayRecord.h"

// How the till writes amounts, moments and columns in its own summaries and
// receipts; the library's lines keep their own format.

// Returns the amount with two decimals, rounded, the same in every locale:
// 12.5 gives "12.50".
std::string twoDecimals(double amount);

// Returns the moment in local time as `format` (strftime's) gives it.
std::string localTime(Moment moment, const char* format);

// Returns the moment the local hour that holds `moment` began.
Moment startOfLocalHour(Moment moment);

// Returns how many columns the UTF-8 text takes on a terminal: one per
// character.
std::size_t displayWidth(std::string_view text);

// Returns the text padded with spaces to `width` columns, on the right or,
// for numbers, on the left.
std::string padRight(const std::string& text, std::size_t width);
std::string padLeft(const std::string& text, std::size_t width);
