#include "base/Station.h"

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
