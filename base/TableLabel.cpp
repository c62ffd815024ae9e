#include "base/TableLabel.h"

bool isTableLabel(std::string_view text) {
    if (text.empty() || text.size() > 16 || foldedLabel(text) == "counter") {
        return false;
    }
    for (char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '-') {
            return false;
        }
    }
    return true;
}

std::string foldedLabel(std::string_view label) {
    std::string folded(label);
    for (char& c : folded) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}
