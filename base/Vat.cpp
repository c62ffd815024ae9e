#include "base/Vat.h"

namespace {

constexpr std::int64_t hundredPercent = 10000;

}  // namespace

std::optional<std::int64_t> parseVatRate(std::string_view text, char decimalMark) {
    const Money::Parsed parsed = Money::parse(text, decimalMark);
    if (parsed.reading != Money::Reading::amount || parsed.amount < Money() ||
        parsed.amount.cents() > hundredPercent) {
        return std::nullopt;
    }
    return parsed.amount.cents();
}

std::string vatRateText(std::int64_t rate) { return Money::fromCents(rate).shortest(); }

Money vatContained(Money gross, std::int64_t rate) {
    const std::int64_t divisor = hundredPercent + rate;
    const std::int64_t scaled = gross.cents() * rate;
    const std::int64_t rounded = scaled >= 0 ? (2 * scaled + divisor) / (2 * divisor)
                                             : -((-2 * scaled + divisor) / (2 * divisor));
    return Money::fromCents(rounded);
}
