#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ItemKind.h"
#include "base/Money.h"
#include "csv/CsvReader.h"
#include "menu/MenuFile.h"

// MenuRowReader reads the rows of a menu file after its header into items,
// one row at a time, and collects every problem it finds with the line it is
// on and how to mend it.
class MenuRowReader {
public:
    // The columns the rows hold, by their place in the header row; the
    // first four must be there, the VAT rate, course and station may.
    enum Column : std::size_t {
        kindColumn,
        nameColumn,
        priceColumn,
        costColumn,
        vatColumn,
        courseColumn,
        stationColumn,
        columnCount
    };
    static constexpr std::size_t requiredColumns = vatColumn;
    // The place of a column the header does not name.
    static constexpr std::size_t absent = static_cast<std::size_t>(-1);
    using Places = std::array<std::size_t, columnCount>;

    // The most an item may cost or sell for: 1,000,000.00.
    static constexpr Money mostAnAmount = Money::fromCents(100'000'000);

    MenuRowReader(Places places, std::size_t width, char separator, MenuReading& reading);

    void read(const CsvRecord& row);

private:
    void problem(std::string text);
    bool fieldsFit(const CsvRecord& row);
    std::optional<ItemKind> kindOf(std::string_view field);
    std::optional<std::string> nameOf(std::string_view field, std::optional<ItemKind> kind);
    bool nameIsClean(std::string_view name);
    std::optional<Money> amountOf(const CsvRecord& row, Column column, const char* what);
    // Returns the row's VAT rate, nothing when it gives none; false when the
    // rate it gives is none from 0 to 100.
    bool vatOf(const CsvRecord& row, std::optional<std::int64_t>& rate);
    // Reads the row's course and station into the item, when it gives them;
    // false when one is not a course from 0 to 9, or not a word.
    bool kitchenOf(const CsvRecord& row, MenuItem& item);
    std::string mendingOf(std::string_view text, const char* what) const;

    Places places;
    std::size_t width;
    char separator;
    MenuReading& reading;
    std::size_t line = 0;
    // Per kind, each name as it folds and the line it was first seen on.
    std::array<std::map<std::string, std::size_t>, 3> namesSeen;
};
