#pragma once

#include <optional>
#include <string>

// LineReader hands the till its command lines, one at a time, from a person
// at a terminal or from a script.
class LineReader {
public:
    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    virtual ~LineReader() = default;

    // Returns the next line without its line end, or nothing once input ends.
    virtual std::optional<std::string> next() = 0;
    // Returns true when a person types the lines, who is greeted and prompted.
    virtual bool interactive() const = 0;
};
