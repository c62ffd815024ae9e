#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// CsvRecord is one row of CSV text: its fields, unquoted, whether each was
// written in quotes, and the physical line it starts on, counting the line
// breaks inside quoted fields, so that an editor's "go to line" lands on the
// row.
struct CsvRecord {
    std::size_t line;
    std::vector<std::string> fields;
    std::vector<bool> quoted;
};

// CsvQuoteError is a quote that breaks the CSV grammar at a physical line:
// one that opens a field and never closes, or one that stands inside a field
// that does not start with a quote.
struct CsvQuoteError {
    std::size_t line;
    bool unclosed;
};

// CsvText is what CsvReader finds in a text.
struct CsvText {
    std::vector<CsvRecord> records;
    std::vector<CsvQuoteError> quoteErrors;
};

// CsvReader splits CSV text into records, as spreadsheets write it: fields in
// double quotes may hold the separator, line breaks and doubled quotes; lines
// end in LF, CRLF or CR; blank lines hold no record; blanks around an
// unquoted field are dropped. The separator is a comma, a semicolon or a tab. libcsv does the
// splitting, strictly: after a quote error the reader drops the row it broke and goes on at the
// next line.
class CsvReader {
public:
    explicit CsvReader(char separator);

    CsvText read(std::string_view text) const;

    // Returns the separator the first line uses most outside quotes: ';' or
    // a tab when it holds more of it than of commas, else ','.
    static char separatorOf(std::string_view text);

private:
    char separator;
};
