#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Settings are what the restaurant says of itself, kept in its journal: its
// name, address and VAT number, which head every receipt, the currency
// symbol printed after every amount of the program's own, and where each
// station's printer is (printer.kitchen) with its code page
// (printer.kitchen.codepage), the service charge on tables' bills, and the
// site's name in the restaurant group.
class Settings {
public:
    // The keys always listed, in order: name, address, vat-number,
    // currency. The service charge, the site and printers are listed once
    // set.
    static const std::vector<std::string>& keys();
    // Returns true when `key` is one of them, the service charge, the site,
    // or names a station's printer or its code page.
    static bool known(const std::string& key);
    // The code pages a printer may be set to, the first the default.
    static const std::vector<std::string>& codePages();
    // Returns why a known key cannot take that value, in one line, or
    // nothing when it can.
    static std::optional<std::string> problemWith(const std::string& key, const std::string& value);

    // Returns the value of a key, empty when unset; the currency is "$"
    // unless set.
    std::string get(const std::string& key) const;
    // Sets a known key; an empty value unsets it.
    void set(const std::string& key, const std::string& value);

    const std::string& currency() const;
    // Returns the service charge on tables' bills, in hundredths of a
    // percent: service-charge 12.5 is 1250.
    std::int64_t serviceCharge() const;
    // Returns the keys to list: every fixed key, the service charge when
    // set, then each printer setting set.
    std::vector<std::string> listed() const;
    // Returns the stations that have a printer.
    std::set<std::string> printerStations() const;
    // Returns the address of the station's printer, empty when none.
    std::string printerOf(const std::string& station) const;
    // Returns the code page of the station's printer.
    std::string codePageOf(const std::string& station) const;

private:
    std::string name;
    std::string address;
    std::string vatNumber;
    std::string symbol = "$";
    std::string charge;
    std::string site;
    std::map<std::string, std::string> printing;
};
