#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

// ArgumentRules say how the command line's values are read: numbers in
// plain decimal digits (010 is ten, 0x1 is no number), VAT rates in percent.
class ArgumentRules {
public:
    // Checks a number of up to nine plain digits.
    static const CLI::Validator& plainNumber();
    // Checks a date of the calendar as YYYY-MM-DD.
    static const CLI::Validator& date();
    // Adds --vat RATE to a command, kept in hundredths of a percent.
    static void vatOption(CLI::App& command, std::int64_t& vat);
    // Returns the number a checked argument gives, or nothing when it was
    // left out.
    static std::optional<std::int32_t> numberOf(const std::string& text);
};
