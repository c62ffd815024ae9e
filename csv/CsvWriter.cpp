#include "csv/CsvWriter.h"

#include <utility>

CsvWriter::CsvWriter(std::ostream& out, char separator, std::string lineEnd)
    : out(out), separator(separator), lineEnd(std::move(lineEnd)) {}

CsvWriter& CsvWriter::text(std::string_view field) {
    separate();
    const bool blankEnd = !field.empty() && (field.front() == ' ' || field.front() == '\t' ||
                                             field.back() == ' ' || field.back() == '\t');
    const char special[] = {separator, '"', '\n', '\r', '\0'};
    if (!blankEnd && field.find_first_of(special) == std::string_view::npos) {
        out << field;
        return *this;
    }
    out << '"';
    for (char c : field) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << '"';
    return *this;
}

CsvWriter& CsvWriter::number(long long value) {
    separate();
    out << value;
    return *this;
}

void CsvWriter::endRow() {
    out << lineEnd;
    rowStarted = false;
}

void CsvWriter::separate() {
    if (rowStarted) {
        out << separator;
    }
    rowStarted = true;
}
