#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Money.h"

// VAT as prices contain it, EU style: a rate in hundredths of a percent
// (1900 is 19 %), from 0 to 100 %.

// Returns the rate the text gives in percent, with a point or the decimal
// mark given and at most two decimals (19, 7.7, 5.50), or nothing when it is
// no such rate from 0 to 100.
std::optional<std::int64_t> parseVatRate(std::string_view text, char decimalMark = '.');

// Returns the rate in its shortest form, without the percent sign: "19",
// "7.7".
std::string vatRateText(std::int64_t rate);

// Returns the VAT a gross amount contains at that rate, rounded once to the
// nearest cent, halves up: gross * rate / (100 % + rate).
Money vatContained(Money gross, std::int64_t rate);
