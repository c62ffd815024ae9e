#include "menu/MenuRowReader.h"

#include <utility>

#include "base/Station.h"
#include "base/Text.h"
#include "base/Vat.h"

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Quotes a field's text for a message on one line, however long or odd.
std::string shown(std::string_view text) {
    constexpr std::size_t longest = 40;
    std::string quoted = "'";
    for (std::size_t at = 0; at < text.size() && at < longest; ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        quoted += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    }
    return quoted + (text.size() > longest ? "...'" : "'");
}

// Returns the amount an over-precise number comes to in whole cents, halves
// rounded up: 1.005 gives 1.01.
Money nearestCents(std::string_view text) {
    const std::size_t mark = text.find_first_of(".,");
    Money cents = Money::parse(text.substr(0, mark + 3), text[mark]).amount;
    if (text.size() > mark + 3 && text[mark + 3] >= '5') {
        cents += Money::fromCents(1);
    }
    return cents;
}

}  // namespace

MenuRowReader::MenuRowReader(Places places, std::size_t width, char separator, MenuReading& reading)
    : places(places), width(width), separator(separator), reading(reading) {}

void MenuRowReader::read(const CsvRecord& row) {
    line = row.line;
    if (!fieldsFit(row)) {
        return;
    }
    const std::optional<ItemKind> kind = kindOf(row.fields[places[kindColumn]]);
    const std::optional<std::string> name = nameOf(row.fields[places[nameColumn]], kind);
    const std::optional<Money> price = amountOf(row, priceColumn, "price");
    const std::optional<Money> cost = amountOf(row, costColumn, "cost");
    std::optional<std::int64_t> vat;
    const bool vatFits = vatOf(row, vat);
    MenuItem item{kind.value_or(ItemKind::dish), name.value_or(""), price.value_or(Money()),
                  cost.value_or(Money()), vat};
    const bool kitchenFits = kitchenOf(row, item);
    if (kind && name && price && cost && vatFits && kitchenFits) {
        reading.menu.add(std::move(item));
    }
}

void MenuRowReader::problem(std::string text) {
    reading.problems.push_back({line, std::move(text)});
}

bool MenuRowReader::fieldsFit(const CsvRecord& row) {
    for (const std::string& field : row.fields) {
        if (!isUtf8(field)) {
            problem("this row holds text that is not UTF-8: save the file as CSV UTF-8");
            return false;
        }
    }
    const std::string counts = "this row has " + std::to_string(row.fields.size()) +
                               " fields but the first row has " + std::to_string(width);
    if (row.fields.size() < width) {
        problem(counts + ": give every row a value for each column");
        return false;
    }
    for (std::size_t extra = width; extra < row.fields.size(); ++extra) {
        if (!trimmed(row.fields[extra]).empty()) {
            problem(counts + ": write numbers with a point (8.50) and put a name that holds '" +
                    (separator == '\t' ? std::string("a tab") : std::string(1, separator)) +
                    "' in double quotes");
            return false;
        }
    }
    return true;
}

std::optional<ItemKind> MenuRowReader::kindOf(std::string_view field) {
    const std::string_view word = trimmed(field);
    const std::optional<ItemKind> kind = kindNamed(word);
    if (word.empty()) {
        problem("the kind is empty: write dish, snack or drink");
    } else if (!kind) {
        problem("unknown kind " + shown(word) + ": write dish, snack or drink");
    }
    return kind;
}

std::optional<std::string> MenuRowReader::nameOf(std::string_view field,
                                                 std::optional<ItemKind> kind) {
    const std::string_view name = trimmed(field);
    if (name.empty()) {
        problem("the name is empty: write the item's name");
        return std::nullopt;
    }
    if (!nameIsClean(name)) {
        return std::nullopt;
    }
    if (kind) {
        const auto [first, isNew] =
            namesSeen[static_cast<std::size_t>(*kind)].emplace(foldedForMatching(name), line);
        if (!isNew) {
            const std::string word(kindWord(*kind));
            problem(shown(name) + " is already on line " + std::to_string(first->second) +
                    " as a " + word + ": give each " + word + " its own name");
            return std::nullopt;
        }
    }
    return std::string(name);
}

// Names show on receipts and screens: nothing in them may hide, reorder or
// break the text around them.
bool MenuRowReader::nameIsClean(std::string_view name) {
    const std::optional<char32_t> forbidden = forbiddenInName(name);
    if (!forbidden) {
        return true;
    }
    if (*forbidden == U'\n' || *forbidden == U'\r') {
        problem("the name holds a line break: write it on one line");
    } else if (*forbidden < 0x20 || (*forbidden >= 0x7f && *forbidden <= 0x9f)) {
        problem("the name holds a control character (" + codePointName(*forbidden) +
                "): delete it");
    } else {
        problem("the name holds an invisible character (" + codePointName(*forbidden) +
                ") that could hide or reorder text: delete it");
    }
    return false;
}

// A decimal comma is read where it cannot be a separator: in a file that
// separates with ';' or a tab, or in a quoted field.
std::optional<Money> MenuRowReader::amountOf(const CsvRecord& row, Column column,
                                             const char* what) {
    const std::size_t place = places[column];
    const std::string_view text = trimmed(row.fields[place]);
    if (text.empty()) {
        problem(std::string("the ") + what +
                " is empty: write it as a number with a point, for example 8.50");
        return std::nullopt;
    }
    Money::Parsed parsed = Money::parse(text, '.');
    const bool commaAllowed = separator != ',' || row.quoted[place];
    if (parsed.reading == Money::Reading::notANumber && commaAllowed) {
        parsed = Money::parse(text, ',');
    }
    switch (parsed.reading) {
        case Money::Reading::notANumber:
            problem(shown(text) + " is not a number: " + mendingOf(text, what));
            return std::nullopt;
        case Money::Reading::moreThanTwoDecimals:
            problem(shown(text) + " has more than two decimals: give whole cents, like " +
                    nearestCents(text).twoDecimals());
            return std::nullopt;
        case Money::Reading::tooLarge:
            break;
        case Money::Reading::amount:
            if (parsed.amount < Money()) {
                problem(std::string("the ") + what + " " + std::string(text) +
                        " is negative: write 0 or more");
                return std::nullopt;
            }
            if (parsed.amount <= mostAnAmount) {
                return parsed.amount;
            }
            break;
    }
    problem(std::string("the ") + what + " " + shown(text) + " is more than " +
            mostAnAmount.twoDecimals() + ", the most an item may cost: check the column");
    return std::nullopt;
}

bool MenuRowReader::vatOf(const CsvRecord& row, std::optional<std::int64_t>& rate) {
    if (places[vatColumn] == absent) {
        return true;
    }
    const std::string_view text = trimmed(row.fields[places[vatColumn]]);
    if (text.empty()) {
        return true;
    }
    rate = parseVatRate(text, '.');
    if (!rate && (separator != ',' || row.quoted[places[vatColumn]])) {
        rate = parseVatRate(text, ',');
    }
    if (!rate) {
        problem(shown(text) +
                " is not a VAT rate from 0 to 100: write the percent the price contains, for "
                "example 19 or 7.7");
    }
    return rate.has_value();
}

// A station is one word, as printers are named after it: letters, digits
// and '-', in lower case.
bool MenuRowReader::kitchenOf(const CsvRecord& row, MenuItem& item) {
    bool good = true;
    if (places[courseColumn] != absent) {
        const std::string_view text = trimmed(row.fields[places[courseColumn]]);
        if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
            item.course = text[0] - '0';
        } else if (!text.empty()) {
            problem(shown(text) +
                    " is not a course: write 0 for drinks served at once, 1 for "
                    "the first course, 2 for the next, up to 9");
            good = false;
        }
    }
    if (places[stationColumn] != absent) {
        const std::string word = lowercaseWord(trimmed(row.fields[places[stationColumn]]));
        if (isStationWord(word)) {
            item.station = word;
        } else if (!word.empty()) {
            problem(shown(word) +
                    " is not a station: write one word of letters, digits or -, "
                    "such as kitchen or bar");
            good = false;
        }
    }
    return good;
}

// Says how to write an amount that a person wrote with a decimal comma where
// it separates fields, or with a currency sign.
std::string MenuRowReader::mendingOf(std::string_view text, const char* what) const {
    std::string plain;
    bool comma = false;
    bool currency = false;
    for (char c : text) {
        if (c == ',') {
            comma = true;
            plain += '.';
        } else if (c == '$' || static_cast<unsigned char>(c) >= 0x80) {
            currency = true;
        } else if (c != ' ') {
            plain += c;
        }
    }
    const Money::Parsed amount = Money::parse(plain);
    if ((comma || currency) && amount.reading == Money::Reading::amount &&
        amount.amount >= Money()) {
        return (comma ? "write it with a point, " : "write it without the currency sign, ") + plain;
    }
    return std::string("write the ") + what + " as a number with a point, for example 8.50";
}
