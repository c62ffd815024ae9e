#include "base/Station.h"

std::string lowercaseWord(std::string_view word) {
    std::string lower(word);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool isStationWord(std::string_view word) {
    constexpr std::size_t longest = 20;
    if (word.empty() || word.size() > longest) {
        return false;
    }
    for (char c : word) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) {
            return false;
        }
    }
    return true;
}
