#pragma once

#include <iostream>
#include <string>

// LineReader hands the till its command lines, one at a time, from a person
// at a terminal or from a script, and tells how the input stopped.
class LineReader {
public:
    // Input is what the till reads next: a line, the end of the input, a
    // signal that asks the till to stop, or an input that cannot be read.
    struct Input {
        enum class Kind { line, end, stopped, failed };
        Kind kind = Kind::end;
        // The line without its end; for `failed`, why it cannot be read.
        std::string text;
        // The signal, for `stopped`.
        int signal = 0;
    };

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    virtual ~LineReader() = default;

    virtual Input next() = 0;
    // Asks a question and reads the answer as the next line; a line editor
    // shows the question as its prompt.
    virtual Input ask(const std::string& question);
    // Returns true when a person types the lines, who is greeted and prompted.
    virtual bool interactive() const = 0;
};

inline LineReader::Input LineReader::ask(const std::string& question) {
    std::cout << question << std::endl;
    return next();
}
