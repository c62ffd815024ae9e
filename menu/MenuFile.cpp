#include "menu/MenuFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

#include "menu/CsvReader.h"
#include "menu/CsvWriter.h"
#include "menu/Decimal.h"
#include "menu/ItemKind.h"

namespace {

constexpr std::size_t columnCount = 4;
constexpr std::array<std::string_view, columnCount> columnNames{"kind", "name", "price", "cost"};
enum Column : std::size_t { kindColumn, nameColumn, priceColumn, costColumn };
constexpr const char* columnsHint =
    "the first row must name the columns kind, name, price and cost";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// Accepts exactly the well-formed UTF-8 sequences: no overlong forms, no
// surrogates, nothing past U+10FFFF.
bool isUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xbf;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return false;
        }
        if (text.size() - at < length) {
            return false;
        }
        for (std::size_t next = 1; next < length; ++next) {
            const auto byte = static_cast<unsigned char>(text[at + next]);
            if (byte < (next == 1 ? low : 0x80) || byte > (next == 1 ? high : 0xbf)) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

// Quotes a field's text for a message on one line, however long or odd.
std::string shown(std::string_view text) {
    constexpr std::size_t longest = 40;
    std::string quoted = "'";
    for (std::size_t at = 0; at < text.size() && at < longest; ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        quoted += isControl(c) ? '?' : static_cast<char>(c);
    }
    return quoted + (text.size() > longest ? "...'" : "'");
}

bool isBlank(const CsvRecord& record) {
    for (const std::string& field : record.fields) {
        if (!trimmed(field).empty()) {
            return false;
        }
    }
    return true;
}

// Reads the rows after the first into a menu, collecting every problem.
class RowReader {
public:
    RowReader(std::array<std::size_t, columnCount> columns, std::size_t width, char separator,
              MenuReading& reading)
        : columns(columns), width(width), separator(separator), reading(reading) {}

    void read(const CsvRecord& row) {
        line = row.line;
        if (!fieldsFit(row.fields)) {
            return;
        }
        const std::optional<ItemKind> kind = kindOf(row.fields[columns[kindColumn]]);
        const std::optional<std::string> name = nameOf(row.fields[columns[nameColumn]], kind);
        const std::optional<double> price = amountOf(row.fields[columns[priceColumn]], "price");
        const std::optional<double> cost = amountOf(row.fields[columns[costColumn]], "cost");
        if (!kind || !name || !price || !cost) {
            return;
        }
        switch (*kind) {
            case ItemKind::dish:
                reading.menu.maindishes.emplace_back(*name, *price, *cost);
                break;
            case ItemKind::snack:
                reading.menu.snacks.emplace_back(*name, *price, *cost);
                break;
            case ItemKind::drink:
                reading.menu.drinks.emplace_back(*name, *price, *cost);
                break;
        }
    }

private:
    void problem(std::string text) { reading.problems.push_back({line, std::move(text)}); }

    bool fieldsFit(const std::vector<std::string>& fields) {
        for (const std::string& field : fields) {
            if (!isUtf8(field)) {
                problem("this row holds text that is not UTF-8: save the file as CSV UTF-8");
                return false;
            }
        }
        const std::string counts = "this row has " + std::to_string(fields.size()) +
                                   " fields but the first row has " + std::to_string(width);
        if (fields.size() < width) {
            problem(counts + ": give every row a value for each column");
            return false;
        }
        for (std::size_t extra = width; extra < fields.size(); ++extra) {
            if (!trimmed(fields[extra]).empty()) {
                problem(counts + ": write numbers with a point (8.50) and put a name that holds '" +
                        separator + "' in double quotes");
                return false;
            }
        }
        return true;
    }

    std::optional<ItemKind> kindOf(std::string_view field) {
        const std::string_view word = trimmed(field);
        const std::optional<ItemKind> kind = kindNamed(word);
        if (word.empty()) {
            problem("the kind is empty: write dish, snack or drink");
        } else if (!kind) {
            problem("unknown kind " + shown(word) + ": write dish, snack or drink");
        }
        return kind;
    }

    std::optional<std::string> nameOf(std::string_view field, std::optional<ItemKind> kind) {
        const std::string_view name = trimmed(field);
        if (name.empty()) {
            problem("the name is empty: write the item's name");
            return std::nullopt;
        }
        for (char c : name) {
            if (isControl(static_cast<unsigned char>(c))) {
                problem(
                    "the name holds a line break or another control character: write it on "
                    "one line");
                return std::nullopt;
            }
        }
        if (kind) {
            const auto [first, isNew] =
                namesSeen[static_cast<std::size_t>(*kind)].emplace(lowercase(name), line);
            if (!isNew) {
                const std::string word(kindWord(*kind));
                problem(shown(name) + " is already on line " + std::to_string(first->second) +
                        " as a " + word + ": give each " + word + " its own name");
                return std::nullopt;
            }
        }
        return std::string(name);
    }

    std::optional<double> amountOf(std::string_view field, const std::string& what) {
        const std::string_view text = trimmed(field);
        if (text.empty()) {
            problem("the " + what +
                    " is empty: write it as a number with a point, for example 8.50");
            return std::nullopt;
        }
        const std::optional<double> amount = parseDecimal(text);
        if (!amount) {
            problem(shown(text) + " is not a number: " + mendingOf(text, what));
        } else if (!std::isfinite(*amount)) {
            problem("the " + what + " " + shown(text) +
                    " is not a finite number: write an amount such as 8.50");
        } else if (*amount < 0.0) {
            problem("the " + what + " " + std::string(text) + " is negative: write 0 or more");
        } else {
            return *amount + 0.0;  // -0 becomes 0
        }
        return std::nullopt;
    }

    // Says how to write an amount that a person wrote with a decimal comma or
    // a currency sign.
    static std::string mendingOf(std::string_view text, const std::string& what) {
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
        const std::optional<double> amount = parseDecimal(plain);
        if ((comma || currency) && amount && std::isfinite(*amount) && *amount >= 0.0) {
            return (comma ? "write it with a point, " : "write it without the currency sign, ") +
                   plain;
        }
        return "write the " + what + " as a number with a point, for example 8.50";
    }

    std::array<std::size_t, columnCount> columns;
    std::size_t width;
    char separator;
    MenuReading& reading;
    std::size_t line = 0;
    // Per kind, each name in lower case and the line it was first seen on.
    std::array<std::map<std::string, std::size_t>, 3> namesSeen;
};

// Finds the four columns in the first row; returns false when one is
// missing or named twice.
bool findColumns(const CsvRecord& header, std::array<std::size_t, columnCount>& columns,
                 std::vector<MenuProblem>& problems) {
    std::array<bool, columnCount> found{};
    bool good = true;
    for (std::size_t at = 0; at < header.fields.size(); ++at) {
        const std::string name = lowercase(trimmed(header.fields[at]));
        for (std::size_t column = 0; column < columnCount; ++column) {
            if (name != columnNames[column]) {
                continue;
            }
            if (found[column]) {
                problems.push_back({header.line, "the first row names the column '" + name +
                                                     "' twice: keep one of them"});
                good = false;
            }
            found[column] = true;
            columns[column] = at;
        }
    }
    for (std::size_t column = 0; column < columnCount; ++column) {
        if (!found[column]) {
            problems.push_back({header.line, "there is no '" + std::string(columnNames[column]) +
                                                 "' column: " + columnsHint});
            good = false;
        }
    }
    return good;
}

}  // namespace

MenuReading readMenu(std::string_view text) {
    MenuReading reading;
    if (text.rfind("\xff\xfe", 0) == 0 || text.rfind("\xfe\xff", 0) == 0) {
        reading.problems.push_back({1, "the file is UTF-16 text: save it as CSV UTF-8"});
        return reading;
    }
    if (text.rfind("\xef\xbb\xbf", 0) == 0) {
        text.remove_prefix(3);
    }
    const char separator = CsvReader::separatorOf(text);
    CsvText csv = CsvReader(separator).read(text);

    std::vector<MenuProblem> quoteProblems;
    for (const CsvQuoteError& error : csv.quoteErrors) {
        quoteProblems.push_back(
            {error.line, error.unclosed
                             ? "a quote opens a field here and never closes: end the field with "
                               "a quote"
                             : "a quote stands inside a field that does not start with one: "
                               "quote the whole field and double each quote inside it"});
    }

    std::size_t at = 0;
    while (at < csv.records.size() && isBlank(csv.records[at])) {
        ++at;
    }
    if (at == csv.records.size()) {
        if (quoteProblems.empty()) {
            reading.problems.push_back({1, std::string("the file holds no rows: ") + columnsHint});
        }
    } else {
        const CsvRecord& header = csv.records[at];
        std::array<std::size_t, columnCount> columns{};
        if (findColumns(header, columns, reading.problems)) {
            RowReader rows(columns, header.fields.size(), separator, reading);
            for (++at; at < csv.records.size(); ++at) {
                if (!isBlank(csv.records[at])) {
                    rows.read(csv.records[at]);
                }
            }
        }
    }

    if (!quoteProblems.empty()) {
        // Problems in line order, whichever check found them.
        std::vector<MenuProblem> merged;
        std::merge(std::make_move_iterator(reading.problems.begin()),
                   std::make_move_iterator(reading.problems.end()),
                   std::make_move_iterator(quoteProblems.begin()),
                   std::make_move_iterator(quoteProblems.end()), std::back_inserter(merged),
                   [](const MenuProblem& a, const MenuProblem& b) { return a.line < b.line; });
        reading.problems = std::move(merged);
    }
    if (!reading.problems.empty()) {
        reading.menu = Menu{};
    }
    return reading;
}

MenuReading readMenuFile(const std::string& path) {
    const char* const hint =
        ": check the path, or make a menu file with: restaurant menu > menu.csv";
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return {Menu{}, {{1, std::string("this is a folder, not a menu file") + hint}}};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {Menu{}, {{1, std::string("cannot be read: ") + std::strerror(errno) + hint}}};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return {Menu{}, {{1, std::string("cannot be read: ") + std::strerror(errno) + hint}}};
    }
    return readMenu(text);
}

void writeMenu(Menu menu, std::ostream& out) {
    CsvWriter csv(out, ',', "\n");
    for (std::string_view column : columnNames) {
        csv.text(column);
    }
    csv.endRow();
    const auto rows = [&](ItemKind kind, auto& items) {
        for (auto& item : items) {
            csv.text(kindWord(kind))
                .text(item.getName())
                .number(item.getPrice())
                .number(item.getCost());
            csv.endRow();
        }
    };
    rows(ItemKind::dish, menu.maindishes);
    rows(ItemKind::snack, menu.snacks);
    rows(ItemKind::drink, menu.drinks);
}

std::vector<std::string> describeProblems(const std::string& file,
                                          const std::vector<MenuProblem>& problems,
                                          std::size_t shown) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < problems.size() && at < shown; ++at) {
        lines.push_back(file + ":" + std::to_string(problems[at].line) + ": " + problems[at].text);
    }
    if (problems.size() > shown) {
        const std::size_t more = problems.size() - shown;
        lines.push_back(file + ": " + std::to_string(more) + " more problem" +
                        (more == 1 ? "" : "s") + " after these");
    }
    return lines;
}
