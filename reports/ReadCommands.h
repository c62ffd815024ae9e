#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

#include "journal/Journal.h"

// The commands that read the journal without starting the till. Each writes
// to `out`, says what is wrong on std::cerr, and returns the program's exit
// status: 2 for a day or customer the journal does not hold.

// One line per day: its number, when it opened and closed, its customers and
// revenue, void sales left out.
int listDays(Journal& journal, std::ostream& out);
// The day's three report lines, as the till printed them, less the sales
// made void since; the last day when none is given.
int reportDay(Journal& journal, std::optional<std::int32_t> day);
// The day's close-of-day summary.
int summarizeDay(Journal& journal, std::optional<std::int32_t> day, std::ostream& out);
// A paid customer's receipt.
int printReceipt(Journal& journal, std::int32_t day, std::int32_t customer, std::ostream& out);
// Every item sold that day as RFC 4180 CSV, one row per item; the items of
// a void sale carry its reason in the last column, `void`. With
// `signedHead`, a signed day ends with its signed head, in a comment line.
int exportDay(Journal& journal, std::optional<std::int32_t> day, std::ostream& out,
              bool signedHead = false);
