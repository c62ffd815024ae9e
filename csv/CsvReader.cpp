#include "csv/CsvReader.h"

#include <csv.h>
#include <new>
#include <utility>

namespace {

bool isLineBreak(char byte) { return byte == '\n' || byte == '\r'; }

// Blanks around an unquoted field; a tab is none when it separates.
int isBlankAroundCommaOrSemicolon(unsigned char c) { return c == ' ' || c == '\t'; }
int isBlankAroundTab(unsigned char c) { return c == ' '; }

// Splitter feeds libcsv one byte at a time, so that it knows the physical
// line of every byte: where each record and each field starts.
class Splitter {
public:
    explicit Splitter(char separator) : separator(separator) { start(); }
    Splitter(const Splitter&) = delete;
    Splitter& operator=(const Splitter&) = delete;
    ~Splitter() { csv_free(&parser); }

    CsvText split(std::string_view text) {
        for (std::size_t at = 0; at < text.size(); ++at) {
            const char byte = text[at];
            // A lone CR ends a line as LF and CRLF do.
            const bool lineEnds =
                byte == '\n' || (byte == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'));
            if (skipping) {
                skipping = byte != '\n' && !(byte == '\r' && lineEnds);
            } else {
                feed(byte);
            }
            if (lineEnds) {
                ++line;
            }
        }
        if (!skipping && csv_fini(&parser, endField, endRecord, this) != 0) {
            found.quoteErrors.push_back({fieldLine, true});
        }
        throwIfOutOfMemory();
        return std::move(found);
    }

private:
    void start() {
        if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
            throw std::bad_alloc();
        }
        csv_set_delim(&parser, static_cast<unsigned char>(separator));
        csv_set_space_func(&parser,
                           separator == '\t' ? isBlankAroundTab : isBlankAroundCommaOrSemicolon);
        fields.clear();
        quoted.clear();
        atRecordStart = true;
        atFieldStart = true;
    }

    void feed(char byte) {
        // Blanks and line ends before a record's first byte belong to no
        // record: a line of blanks holds none.
        const bool blank = byte == ' ' || (byte == '\t' && separator != '\t');
        if (!blank && !(atRecordStart && isLineBreak(byte))) {
            if (atRecordStart) {
                recordLine = line;
                atRecordStart = false;
            }
            if (atFieldStart) {
                fieldLine = line;
                atFieldStart = false;
                fieldQuoted = byte == '"';
            }
        }
        if (csv_parse(&parser, &byte, 1, endField, endRecord, this) != 1) {
            throwIfOutOfMemory();
            if (csv_error(&parser) == CSV_ENOMEM) {
                throw std::bad_alloc();
            }
            // A quote where the grammar allows none: drop the row and read
            // on from the next line with a fresh parser.
            found.quoteErrors.push_back({line, false});
            csv_free(&parser);
            start();
            skipping = !isLineBreak(byte);
        }
        throwIfOutOfMemory();
    }

    // libcsv is C, so its callbacks let no exception through; a failure is
    // kept and thrown once libcsv has returned.
    static void endField(void* text, std::size_t length, void* data) {
        auto& splitter = *static_cast<Splitter*>(data);
        try {
            splitter.fields.emplace_back(static_cast<const char*>(text), length);
            splitter.quoted.push_back(!splitter.atFieldStart && splitter.fieldQuoted);
        } catch (const std::bad_alloc&) {
            splitter.outOfMemory = true;
        }
        splitter.atFieldStart = true;
    }

    static void endRecord(int /*terminator*/, void* data) {
        auto& splitter = *static_cast<Splitter*>(data);
        splitter.atFieldStart = true;
        splitter.atRecordStart = true;
        try {
            splitter.found.records.push_back(
                {splitter.recordLine, std::move(splitter.fields), std::move(splitter.quoted)});
        } catch (const std::bad_alloc&) {
            splitter.outOfMemory = true;
        }
        splitter.fields.clear();
        splitter.quoted.clear();
    }

    void throwIfOutOfMemory() const {
        if (outOfMemory) {
            throw std::bad_alloc();
        }
    }

    char separator;
    csv_parser parser{};
    CsvText found;
    std::vector<std::string> fields;
    std::vector<bool> quoted;
    std::size_t line = 1;
    std::size_t recordLine = 1;
    std::size_t fieldLine = 1;
    bool atRecordStart = true;
    bool atFieldStart = true;
    // Whether the field being read began with a quote, once it began.
    bool fieldQuoted = false;
    // True from a quote error to the end of its line.
    bool skipping = false;
    bool outOfMemory = false;
};

}  // namespace

CsvReader::CsvReader(char separator) : separator(separator) {}

CsvText CsvReader::read(std::string_view text) const { return Splitter(separator).split(text); }

char CsvReader::separatorOf(std::string_view text) {
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    std::size_t tabs = 0;
    bool quoted = false;
    std::size_t at = 0;
    while (at < text.size() && (isLineBreak(text[at]) || text[at] == ' ')) {
        ++at;
    }
    for (; at < text.size() && (quoted || !isLineBreak(text[at])); ++at) {
        const char byte = text[at];
        if (byte == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            commas += byte == ',' ? 1 : 0;
            semicolons += byte == ';' ? 1 : 0;
            tabs += byte == '\t' ? 1 : 0;
        }
    }
    if (tabs > commas && tabs > semicolons) {
        return '\t';
    }
    return semicolons > commas ? ';' : ',';
}
