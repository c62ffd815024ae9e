#include "menu/MenuFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "base/ItemKind.h"
#include "base/Text.h"
#include "base/Vat.h"
#include "csv/CsvReader.h"
#include "csv/CsvWriter.h"
#include "menu/MenuRowReader.h"

namespace {

using Column = MenuRowReader::Column;
constexpr std::size_t columnCount = MenuRowReader::columnCount;
constexpr std::array<std::string_view, columnCount> columnNames{"kind", "name",   "price",  "cost",
                                                                "vat",  "course", "station"};
constexpr const char* columnsHint =
    "the first row must name the columns kind, name, price and cost";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isBlank(const CsvRecord& record) {
    for (const std::string& field : record.fields) {
        if (!trimmed(field).empty()) {
            return false;
        }
    }
    return true;
}

// Finds the columns in the first row; returns false when one of the four it
// must hold is missing, or one is named twice.
bool findColumns(const CsvRecord& header, MenuRowReader::Places& columns,
                 std::vector<MenuProblem>& problems) {
    std::array<bool, columnCount> found{};
    columns.fill(MenuRowReader::absent);
    bool good = true;
    for (std::size_t at = 0; at < header.fields.size(); ++at) {
        const std::string name = lowercaseWord(trimmed(header.fields[at]));
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
    for (std::size_t column = 0; column < MenuRowReader::requiredColumns; ++column) {
        if (!found[column]) {
            problems.push_back({header.line, "there is no '" + std::string(columnNames[column]) +
                                                 "' column: " + columnsHint});
            good = false;
        }
    }
    return good;
}

}  // namespace

namespace {

std::vector<MenuProblem> quoteProblemsOf(const CsvText& csv) {
    std::vector<MenuProblem> problems;
    for (const CsvQuoteError& error : csv.quoteErrors) {
        problems.push_back(
            {error.line, error.unclosed
                             ? "a quote opens a field here and never closes: end the field with "
                               "a quote"
                             : "a quote stands inside a field that does not start with one: "
                               "quote the whole field and double each quote inside it"});
    }
    return problems;
}

// Reads the header, then every row after it that is not blank.
void readRows(const CsvText& csv, char separator, bool quotesBroken, MenuReading& reading) {
    std::size_t at = 0;
    while (at < csv.records.size() && isBlank(csv.records[at])) {
        ++at;
    }
    if (at == csv.records.size()) {
        if (!quotesBroken) {
            reading.problems.push_back({1, std::string("the file holds no rows: ") + columnsHint});
        }
        return;
    }
    const CsvRecord& header = csv.records[at];
    MenuRowReader::Places columns{};
    if (!findColumns(header, columns, reading.problems)) {
        return;
    }
    MenuRowReader rows(columns, header.fields.size(), separator, reading);
    for (++at; at < csv.records.size(); ++at) {
        if (!isBlank(csv.records[at])) {
            rows.read(csv.records[at]);
        }
    }
}

// Problems in line order, whichever check found them.
std::vector<MenuProblem> merged(std::vector<MenuProblem> first, std::vector<MenuProblem> second) {
    std::vector<MenuProblem> all;
    std::merge(std::make_move_iterator(first.begin()), std::make_move_iterator(first.end()),
               std::make_move_iterator(second.begin()), std::make_move_iterator(second.end()),
               std::back_inserter(all),
               [](const MenuProblem& a, const MenuProblem& b) { return a.line < b.line; });
    return all;
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
    const CsvText csv = CsvReader(separator).read(text);
    std::vector<MenuProblem> quoteProblems = quoteProblemsOf(csv);
    readRows(csv, separator, !quoteProblems.empty(), reading);
    if (!quoteProblems.empty()) {
        reading.problems = merged(std::move(reading.problems), std::move(quoteProblems));
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

// The VAT column is written when an item has a rate of its own; the course
// and station columns, when an item has either of its own.
void writeMenu(const Menu& menu, std::ostream& out) {
    bool rated = false;
    bool cooked = false;
    for (ItemKind kind : itemKinds) {
        for (const MenuItem& item : menu.of(kind)) {
            rated = rated || item.vat.has_value();
            cooked = cooked || item.course.has_value() || item.station.has_value();
        }
    }
    CsvWriter csv(out, ',', "\n");
    for (std::size_t column = 0; column < columnCount; ++column) {
        if (column < MenuRowReader::vatColumn || (column == MenuRowReader::vatColumn && rated) ||
            (column > MenuRowReader::vatColumn && cooked)) {
            csv.text(columnNames[column]);
        }
    }
    csv.endRow();
    for (ItemKind kind : itemKinds) {
        for (const MenuItem& item : menu.of(kind)) {
            csv.text(kindWord(kind))
                .text(item.name)
                .text(item.price.shortest())
                .text(item.cost.shortest());
            if (rated) {
                csv.text(item.vat ? vatRateText(*item.vat) : "");
            }
            if (cooked) {
                csv.text(std::to_string(courseOf(item))).text(stationOf(item));
            }
            csv.endRow();
        }
    }
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
