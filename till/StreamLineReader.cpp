#include "till/StreamLineReader.h"

#include <iostream>

StreamLineReader::StreamLineReader(std::istream& in, bool prompt) : in(in), prompt(prompt) {}

std::optional<std::string> StreamLineReader::next() {
    if (prompt) {
        std::cout << "> " << std::flush;
    }
    std::string line;
    if (!std::getline(in, line)) {
        if (prompt) {
            std::cout << std::endl;  // ends the prompt's line after Ctrl-D
        }
        return std::nullopt;
    }
    return line;
}

bool StreamLineReader::interactive() const { return prompt; }
