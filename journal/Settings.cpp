#include "journal/Settings.h"

#include "base/Text.h"

const std::vector<std::string>& Settings::keys() {
    static const std::vector<std::string> all = {"name", "address", "vat-number", "currency"};
    return all;
}

bool Settings::known(const std::string& key) {
    for (const std::string& one : keys()) {
        if (one == key) {
            return true;
        }
    }
    return false;
}

// A value is printed at the head of every receipt, so it must read as it
// prints: UTF-8 without controls; a currency's symbol is short.
std::optional<std::string> Settings::problemWith(const std::string& key, const std::string& value) {
    constexpr std::size_t longest = 200;
    constexpr std::size_t longestSymbol = 8;
    if (!isUtf8(value)) {
        return "the " + key + " must be UTF-8 text";
    }
    if (const std::optional<char32_t> forbidden = forbiddenInName(value)) {
        return "the " + key + " holds the invisible or control character " +
               codePointName(*forbidden) + ": type it without";
    }
    if (value.size() > (key == "currency" ? longestSymbol : longest)) {
        return "the " + key + " is longer than " +
               std::to_string(key == "currency" ? longestSymbol : longest) + " bytes: shorten it";
    }
    return std::nullopt;
}

std::string Settings::get(const std::string& key) const {
    if (key == "name") {
        return name;
    }
    if (key == "address") {
        return address;
    }
    if (key == "vat-number") {
        return vatNumber;
    }
    return key == "currency" ? symbol : std::string();
}

void Settings::set(const std::string& key, const std::string& value) {
    if (key == "name") {
        name = value;
    } else if (key == "address") {
        address = value;
    } else if (key == "vat-number") {
        vatNumber = value;
    } else if (key == "currency") {
        symbol = value.empty() ? "$" : value;
    }
}

const std::string& Settings::currency() const { return symbol; }
