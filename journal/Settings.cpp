#include "journal/Settings.h"

#include "base/Money.h"
#include "base/Station.h"
#include "base/Text.h"

const std::vector<std::string>& Settings::keys() {
    static const std::vector<std::string> all = {"name", "address", "vat-number", "currency"};
    return all;
}

namespace {

const std::string printerPrefix = "printer.";
const std::string codePageSuffix = ".codepage";

bool isCodePageKey(const std::string& key) {
    return key.size() > codePageSuffix.size() &&
           key.compare(key.size() - codePageSuffix.size(), codePageSuffix.size(), codePageSuffix) ==
               0;
}

// Returns the station a printer key names: printer.kitchen and
// printer.kitchen.codepage both name kitchen.
std::string stationOfKey(const std::string& key) {
    if (key.rfind(printerPrefix, 0) != 0) {
        return "";
    }
    std::string station = key.substr(printerPrefix.size());
    if (isCodePageKey(key)) {
        station.resize(station.size() - codePageSuffix.size());
    }
    return isStationWord(station) ? station : "";
}

// A printer is reached over the network, raw on a port (tcp://HOST:9100),
// or is a device the till writes to (/dev/usb/lp0).
std::optional<std::string> problemWithPrinter(const std::string& value) {
    if (value.empty() || value[0] == '/') {
        return std::nullopt;
    }
    const std::string tcp = "tcp://";
    const std::size_t colon = value.rfind(':');
    if (value.rfind(tcp, 0) == 0 && colon > tcp.size() && colon + 1 < value.size() &&
        isAllDigits(value.substr(colon + 1)) && value.size() - colon <= 6) {
        return std::nullopt;
    }
    return "a printer's address is tcp://HOST:PORT, such as tcp://192.168.1.40:9100, or a device "
           "path, such as /dev/usb/lp0";
}

}  // namespace

bool Settings::known(const std::string& key) {
    if (key == "service-charge" || key == "site") {
        return true;
    }
    for (const std::string& one : keys()) {
        if (one == key) {
            return true;
        }
    }
    return !stationOfKey(key).empty();
}

const std::vector<std::string>& Settings::codePages() {
    static const std::vector<std::string> all = {"CP437", "CP850", "CP858", "CP1252", "CP866"};
    return all;
}

std::vector<std::string> Settings::listed() const {
    std::vector<std::string> all = keys();
    if (!charge.empty()) {
        all.emplace_back("service-charge");
    }
    if (!site.empty()) {
        all.emplace_back("site");
    }
    for (const auto& [key, value] : printing) {
        all.push_back(key);
    }
    return all;
}

std::set<std::string> Settings::printerStations() const {
    std::set<std::string> stations;
    for (const auto& [key, value] : printing) {
        if (!isCodePageKey(key) && !value.empty()) {
            stations.insert(stationOfKey(key));
        }
    }
    return stations;
}

std::string Settings::printerOf(const std::string& station) const {
    return get(printerPrefix + station);
}

std::string Settings::codePageOf(const std::string& station) const {
    const std::string set = get(printerPrefix + station + codePageSuffix);
    return set.empty() ? codePages().front() : set;
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
    if (!stationOfKey(key).empty() && isCodePageKey(key)) {
        for (const std::string& page : codePages()) {
            if (value == page || value.empty()) {
                return std::nullopt;
            }
        }
        return "the code page '" + value +
               "' is not one the till prints in: CP437, CP850, CP858, "
               "CP1252 or CP866";
    }
    if (!stationOfKey(key).empty()) {
        return problemWithPrinter(value);
    }
    if (key == "service-charge") {
        const Money::Parsed percent = Money::parse(value);
        if (!value.empty() &&
            (percent.reading != Money::Reading::amount || percent.amount < Money() ||
             percent.amount > Money::fromCents(10'000))) {
            return "the service charge is a percentage from 0 to 100, such as 10 or 12.5";
        }
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
    if (key == "currency") {
        return symbol;
    }
    if (key == "service-charge") {
        return charge;
    }
    if (key == "site") {
        return site;
    }
    const auto found = printing.find(key);
    return found == printing.end() ? std::string() : found->second;
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
    } else if (key == "service-charge") {
        charge = value;
    } else if (key == "site") {
        site = value;
    } else if (!stationOfKey(key).empty() && value.empty()) {
        printing.erase(key);
    } else if (!stationOfKey(key).empty()) {
        printing[key] = value;
    }
}

const std::string& Settings::currency() const { return symbol; }

std::int64_t Settings::serviceCharge() const {
    const Money::Parsed percent = Money::parse(charge);
    return percent.reading == Money::Reading::amount ? percent.amount.cents() : 0;
}
