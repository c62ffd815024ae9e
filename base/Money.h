#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What reading an amount from text found.
enum class MoneyReading { amount, notANumber, moreThanTwoDecimals, tooLarge };
struct ParsedMoney;

// Money is an amount the program keeps of its own, a count of whole cents, so
// that every sum is exact. The library's classes take their doubles from it
// when they are handed an item.
class Money {
public:
    constexpr Money() = default;

    static constexpr Money fromCents(std::int64_t cents) { return Money(cents); }
    constexpr std::int64_t cents() const { return count; }

    // Returns the double nearest to the amount, as the library's items hold
    // it; it reads "8.50" exactly as a parser of "8.50" would.
    double toDouble() const;

    // Returns the amount with exactly two decimals and a point, in every
    // locale: "1234567.80", "-0.50".
    std::string twoDecimals() const;
    // Returns the shortest text that reads back as the amount: "12.5", "4".
    std::string shortest() const;

    using Reading = MoneyReading;
    using Parsed = ParsedMoney;
    // Reads a plain decimal number: an optional sign, digits, and a decimal
    // mark followed by at most two digits (8, 8.5, .50, -1.25). Exponents,
    // blanks, thousands separators and anything else are not numbers.
    static Parsed parse(std::string_view text, char decimalMark = '.');

    // Returns the amount divided by `parts`, rounded to the nearest cent,
    // halves away from zero. `parts` must be positive.
    Money dividedBy(std::int64_t parts) const;
    // Returns that share of the amount, in hundredths of a percent (1000 is
    // 10 %), rounded to the nearest cent, halves away from zero.
    Money percent(std::int64_t hundredths) const;
    // Returns the first of `parts` equal parts of the amount, which takes
    // an odd cent, so that the parts add up: 34.00 in 3 is 11.34, and the
    // rest, 22.66 in 2, is 11.33 twice. `parts` must be positive.
    Money firstShare(std::int64_t parts) const;

    constexpr Money operator+(Money other) const { return Money(count + other.count); }
    constexpr Money operator-(Money other) const { return Money(count - other.count); }
    constexpr Money operator-() const { return Money(-count); }
    constexpr Money operator*(std::int64_t times) const { return Money(count * times); }
    constexpr Money& operator+=(Money other) {
        count += other.count;
        return *this;
    }
    constexpr Money& operator-=(Money other) {
        count -= other.count;
        return *this;
    }
    constexpr bool operator==(Money other) const { return count == other.count; }
    constexpr bool operator!=(Money other) const { return count != other.count; }
    constexpr bool operator<(Money other) const { return count < other.count; }
    constexpr bool operator<=(Money other) const { return count <= other.count; }
    constexpr bool operator>(Money other) const { return count > other.count; }
    constexpr bool operator>=(Money other) const { return count >= other.count; }

private:
    explicit constexpr Money(std::int64_t cents) : count(cents) {}

    std::int64_t count = 0;
};

// ParsedMoney is what Money::parse found: an amount, or why there is none.
struct ParsedMoney {
    MoneyReading reading = MoneyReading::notANumber;
    Money amount;
};
