// Feeds arbitrary text to the till's console, a line at a time, and checks
// that it never crashes and that the day's closing report equals the report
// of a model that applies only the well-formed commands: counts, numbers,
// names and clear included.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/CaptureBuffer.h"
#include "fuzz/FuzzCheck.h"
#include "testing/CoutRedirect.h"

#include "base/Text.h"
#include "console/Console.h"
#include "journal/MemoryJournal.h"

namespace {

struct Priced {
    const char* name;
    std::int64_t price;
    std::int64_t cost;
};
const std::vector<Priced> kinds[3] = {
    {{"Noodle soup", 1000, 400}, {"Fish", 2050, 925}},
    {{"Chips", 300, 100}, {"Nuts", 275, 50}, {"Olives", 400, 150}},
    {{"Tea", 200, 50}, {"Tea with milk", 250, 75}, {"Iced tea", 300, 100}},
};
constexpr double surcharges[3] = {3.0, 2.0, 1.0};
const char* const kindWords[3] = {"dish", "snack", "drink"};

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line + " ") {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

std::string lower(std::string word) {
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

std::string joined(const std::vector<std::string>& words, std::size_t from) {
    std::string text;
    for (std::size_t at = from; at < words.size(); ++at) {
        text += (at == from ? "" : " ") + words[at];
    }
    return text;
}

// A number of digits alone, capped beyond any int.
bool digits(const std::string& word, long long& number) {
    if (!isAllDigits(word)) {
        return false;
    }
    number = 0;
    for (char c : word) {
        number = std::min(number * 10 + (c - '0'), 1LL << 40);
    }
    return true;
}

// The position of the one name `typed` stands for among `names`: equal when
// folded, else the only one it begins; names alike count as one, and the
// last of them is taken.
std::size_t chosenName(const std::vector<std::string>& names, const std::string& typed) {
    const std::string wanted = foldedForMatching(typed);
    std::vector<std::string> begun;
    std::string chosen;
    for (const std::string& name : names) {
        const std::string folded = foldedForMatching(name);
        if (folded == wanted) {
            chosen = folded;
            break;
        }
        if (folded.compare(0, wanted.size(), wanted) == 0 &&
            std::find(begun.begin(), begun.end(), folded) == begun.end()) {
            begun.push_back(folded);
        }
    }
    if (chosen.empty() && begun.size() == 1) {
        chosen = begun.front();
    }
    std::size_t found = names.size();
    for (std::size_t at = 0; !chosen.empty() && at < names.size(); ++at) {
        found = foldedForMatching(names[at]) == chosen ? at : found;
    }
    return found;
}

int kindOf(const std::string& word) {
    for (int kind = 0; kind < 3; ++kind) {
        if (lower(word) == kindWords[kind]) {
            return kind;
        }
    }
    return -1;
}

// The day as the model sees it: per customer, the menu positions ordered of
// each kind.
class DayModel {
public:
    // Applies one line; returns false once the day is over.
    bool apply(const std::string& line) {
        const std::vector<std::string> words = wordsOf(line);
        const std::string verb = words.empty() ? "" : lower(words[0]);
        if (words.size() == 1 && verb == "next") {
            payIfAny();
        } else if (words.size() == 1 && verb == "quit") {
            payIfAny();
            return false;
        } else if (words.size() == 1 && verb == "clear") {
            for (auto& held : cart) {
                held.clear();
            }
        } else if (verb == "add") {
            add(words);
        } else if (verb == "remove" && words.size() >= 3) {
            remove(words);
        }
        return true;
    }

    // The report the day's accounts must print, summed in their order.
    std::string report() const {
        double cost = 0.0;
        double price = 0.0;
        double profit = 0.0;
        for (const auto& customer : paid) {
            double cartCost = 0.0;
            double cartPrice = 0.0;
            for (std::size_t kind = 0; kind < 3; ++kind) {
                double listCost = 0.0;
                double listPrice = 0.0;
                for (std::size_t at : customer[kind]) {
                    const Priced& item = kinds[kind][at];
                    listCost =
                        listCost + (static_cast<double>(item.cost) / 100.0 + surcharges[kind]);
                    listPrice = listPrice + static_cast<double>(item.price) / 100.0;
                }
                cartCost = cartCost + listCost;
                cartPrice = cartPrice + listPrice;
            }
            cost = cost + cartCost;
            price = price + cartPrice;
            profit = profit + (cartPrice - cartCost);
        }
        std::ostringstream text;
        text << "Today's total cost is " << cost << " $\nToday's total revenue is  " << price
             << " $\nToday's total Profit is  " << profit << " $\n";
        return text.str();
    }

private:
    // add [COUNT] KIND N, or add [COUNT] KIND NAME.
    void add(const std::vector<std::string>& words) {
        std::size_t at = 1;
        long long count = 1;
        if (words.size() > 1 && std::isdigit(static_cast<unsigned char>(words[1][0])) != 0) {
            if (!digits(words[1], count) || count < 1 || count > 99) {
                return;
            }
            at = 2;
        }
        const int kind = words.size() < at + 2 ? -1 : kindOf(words[at]);
        if (kind < 0) {
            return;
        }
        const std::vector<Priced>& menu = kinds[kind];
        std::size_t chosen = menu.size();
        long long number = 0;
        if (words.size() == at + 2 && digits(words[at + 1], number)) {
            if (number >= 1 && number <= static_cast<long long>(menu.size())) {
                chosen = static_cast<std::size_t>(number - 1);
            }
        } else {
            std::vector<std::string> names;
            names.reserve(menu.size());
            for (const Priced& item : menu) {
                names.emplace_back(item.name);
            }
            chosen = chosenName(names, joined(words, at + 1));
        }
        for (long long copy = 0; chosen < menu.size() && copy < count; ++copy) {
            cart[kind].push_back(chosen);
        }
    }

    // remove KIND N, or remove KIND NAME: the last of that name.
    void remove(const std::vector<std::string>& words) {
        const int kind = kindOf(words[1]);
        if (kind < 0) {
            return;
        }
        std::vector<std::size_t>& held = cart[kind];
        long long number = 0;
        std::size_t chosen = held.size();
        if (words.size() == 3 && digits(words[2], number)) {
            if (number >= 1 && number <= static_cast<long long>(held.size())) {
                chosen = static_cast<std::size_t>(number - 1);
            }
        } else {
            std::vector<std::string> names;
            names.reserve(held.size());
            for (std::size_t at : held) {
                names.emplace_back(kinds[kind][at].name);
            }
            chosen = chosenName(names, joined(words, 2));
        }
        if (chosen < held.size()) {
            held.erase(held.begin() + static_cast<std::ptrdiff_t>(chosen));
        }
    }

    void payIfAny() {
        if (!cart[0].empty() || !cart[1].empty() || !cart[2].empty()) {
            paid.push_back({cart[0], cart[1], cart[2]});
            cart[0].clear();
            cart[1].clear();
            cart[2].clear();
        }
    }

    std::vector<std::size_t> cart[3];
    std::vector<std::vector<std::vector<std::size_t>>> paid;
};

Menu fuzzMenu() {
    Menu menu;
    for (ItemKind kind : itemKinds) {
        for (const Priced& item : kinds[static_cast<std::size_t>(kind)]) {
            menu.add({kind, item.name, Money::fromCents(item.price), Money::fromCents(item.cost)});
        }
    }
    return menu;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CaptureBuffer capture;
    CoutRedirect redirect(&capture);
    {
        MemoryJournal journal;
        Console console(fuzzMenu(), journal, [] { return Moment{0}; });
        console.start();
        DayModel model;

        const std::string text(reinterpret_cast<const char*>(data), size);
        std::istringstream lines(text);
        bool open = true;
        for (std::string line; open && std::getline(lines, line);) {
            capture.clear();
            const bool consoleOpen = console.handle(line);
            open = model.apply(line);
            FUZZ_CHECK(consoleOpen == open);
        }
        if (open) {  // the end of a script closes the day as quit does
            capture.clear();
            console.finish();
            model.apply("quit");
        }
        // Whether by quit or at the end of input, the day closed with its report.
        const std::string said = capture.text();
        const std::string report = model.report();
        FUZZ_CHECK(std::cout.good());
        FUZZ_CHECK(said.size() >= report.size());
        FUZZ_CHECK(said.compare(said.size() - report.size(), report.size(), report) == 0);
    }
    capture.clear();
    return 0;
}
