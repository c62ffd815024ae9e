#pragma once

#include <ostream>
#include <string>
#include <string_view>

// CsvWriter writes rows of CSV that spreadsheets and CsvReader read back
// field for field: a field is quoted only when it holds the separator, a
// quote, a line break or blanks at either end.
class CsvWriter {
public:
    CsvWriter(std::ostream& out, char separator, std::string lineEnd);

    CsvWriter& text(std::string_view field);
    CsvWriter& number(long long value);
    // Ends the row with the line end.
    void endRow();

private:
    void separate();

    std::ostream& out;
    char separator;
    std::string lineEnd;
    bool rowStarted = false;
};
