#include "base/Money.h"

#include <cstdlib>

namespace {

// More integer digits than this could overflow a count of cents.
constexpr std::size_t mostIntegerDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double Money::toDouble() const { return static_cast<double>(count) / 100.0; }

std::string Money::twoDecimals() const {
    const std::int64_t whole = count / 100;
    const std::int64_t cents = std::llabs(count % 100);
    std::string text = count < 0 && whole == 0 ? "-" : "";
    text += std::to_string(whole);
    text += '.';
    text += static_cast<char>('0' + cents / 10);
    text += static_cast<char>('0' + cents % 10);
    return text;
}

std::string Money::shortest() const {
    std::string text = twoDecimals();
    if (text.back() == '0') {
        text.pop_back();
        if (text.back() == '0') {
            text.resize(text.size() - 2);
        }
    }
    return text;
}

Money::Parsed Money::parse(std::string_view text, char decimalMark) {
    Parsed parsed;
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        at = 1;
    }
    std::int64_t cents = 0;
    std::size_t integerDigits = 0;
    for (; at < text.size() && isDigit(text[at]); ++at, ++integerDigits) {
        if (integerDigits == mostIntegerDigits) {
            parsed.reading = Reading::tooLarge;
            return parsed;
        }
        cents = cents * 10 + (text[at] - '0');
    }
    cents *= 100;
    std::size_t decimals = 0;
    if (at < text.size() && text[at] == decimalMark) {
        for (++at; at < text.size() && isDigit(text[at]); ++at, ++decimals) {
            if (decimals < 2) {
                cents += std::int64_t{text[at] - '0'} * (decimals == 0 ? 10 : 1);
            } else if (text[at] != '0') {
                parsed.reading = Reading::moreThanTwoDecimals;
            }
        }
    }
    if (at != text.size() || integerDigits + decimals == 0) {
        parsed.reading = Reading::notANumber;
        return parsed;
    }
    if (parsed.reading != Reading::moreThanTwoDecimals) {
        parsed.reading = Reading::amount;
        parsed.amount = Money(negative ? -cents : cents);
    }
    return parsed;
}

Money Money::percent(std::int64_t hundredths) const {
    return (*this * hundredths).dividedBy(10'000);
}

Money Money::firstShare(std::int64_t parts) const {
    return Money(count >= 0 ? (count + parts - 1) / parts : -(-count / parts));
}

Money Money::dividedBy(std::int64_t parts) const {
    const std::int64_t half = parts / 2;
    return Money(count >= 0 ? (count + half) / parts : -((-count + half) / parts));
}
