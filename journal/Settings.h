#pragma once

#include <optional>
#include <string>
#include <vector>

// Settings are what the restaurant says of itself, kept in its journal: its
// name, address and VAT number, which head every receipt, and the currency
// symbol printed after every amount of the program's own.
class Settings {
public:
    // The keys, in the order they are listed: name, address, vat-number,
    // currency.
    static const std::vector<std::string>& keys();
    // Returns true when `key` is one of them.
    static bool known(const std::string& key);
    // Returns why a known key cannot take that value, in one line, or
    // nothing when it can.
    static std::optional<std::string> problemWith(const std::string& key, const std::string& value);

    // Returns the value of a key, empty when unset; the currency is "$"
    // unless set.
    std::string get(const std::string& key) const;
    // Sets a known key; an empty value unsets it.
    void set(const std::string& key, const std::string& value);

    const std::string& currency() const;

private:
    std::string name;
    std::string address;
    std::string vatNumber;
    std::string symbol = "$";
};
