#include "till/StreamLineReader.h"

StreamLineReader::StreamLineReader(std::istream& in) : in(in) {}

std::optional<std::string> StreamLineReader::next() {
    std::string line;
    if (!std::getline(in, line)) {
        return std::nullopt;
    }
    return line;
}

bool StreamLineReader::interactive() const { return false; }
