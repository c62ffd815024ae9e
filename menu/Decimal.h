#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decimal numbers as files hold them, read and written the same in every
// locale.

// Returns the number the whole text spells, with a point for decimals (8.50,
// 1e3, inf and nan included), or nothing.
std::optional<double> parseDecimal(std::string_view text);

// Returns the shortest text that parseDecimal reads back as exactly `value`.
std::string shortestDecimal(double value);
