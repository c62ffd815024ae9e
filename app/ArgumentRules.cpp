#include "app/ArgumentRules.h"

#include <cstdio>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "base/Text.h"
#include "base/Vat.h"

const CLI::Validator& ArgumentRules::plainNumber() {
    static const CLI::Validator rule(
        [](std::string& text) -> std::string {
            if (!isAllDigits(text) || text.size() > 9) {
                return "'" + text + "' is not a number in plain digits, like 3";
            }
            return "";
        },
        "NUMBER");
    return rule;
}

const CLI::Validator& ArgumentRules::date() {
    static const CLI::Validator rule(
        [](std::string& text) -> std::string {
            std::tm parts{};
            std::istringstream in(text);
            in >> std::get_time(&parts, "%Y-%m-%d");
            std::tm normal = parts;
            normal.tm_isdst = -1;
            const bool real = text.size() == 10 && in && in.peek() == EOF &&
                              std::mktime(&normal) != -1 && normal.tm_mday == parts.tm_mday &&
                              normal.tm_mon == parts.tm_mon;
            return real ? "" : "'" + text + "' is not a date like 2026-12-31";
        },
        "");
    return rule;
}

void ArgumentRules::vatOption(CLI::App& command, std::int64_t& vat) {
    const CLI::Validator rate(
        [](std::string& text) -> std::string {
            if (!parseVatRate(text)) {
                return "'" + text +
                       "' is not a VAT rate from 0 to 100: give the percent prices "
                       "contain, for example 19 or 7.7";
            }
            return "";
        },
        "");
    command
        .add_option_function<std::string>(
            "--vat", [&vat](const std::string& given) { vat = *parseVatRate(given); },
            "The VAT rate in percent that prices contain where the menu gives none (default: 0)")
        ->check(rate)
        ->type_name("RATE");
}

std::optional<std::int32_t> ArgumentRules::numberOf(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(std::stol(text));
}
