// Feeds arbitrary text to the till's console, a line at a time, and checks
// that it never crashes and that the day's closing report equals the report
// of a model that applies only the well-formed commands: counts, names and
// clear included.
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

#include "journal/MemoryJournal.h"
#include "till/Console.h"

namespace {

struct MenuItem {
    const char* name;
    double price;
    double cost;
};
const std::vector<MenuItem> kinds[3] = {
    {{"Noodle soup", 10.0, 4.0}, {"Fish", 20.5, 9.25}},
    {{"Chips", 3.0, 1.0}, {"Nuts", 2.75, 0.5}, {"Olives", 4.0, 1.5}},
    {{"Tea", 2.0, 0.5}, {"Tea with milk", 2.5, 0.75}, {"Iced tea", 3.0, 1.0}},
};
constexpr double surcharges[3] = {3.0, 2.0, 1.0};
const char* const kindWords[3] = {"dish", "snack", "drink"};

// The day as the model sees it: per customer, the menu positions ordered of
// each kind.
class DayModel {
public:
    // Applies one line; returns false once the day is over.
    bool apply(const std::string& line) {
        std::vector<std::string> words;
        std::string word;
        for (char c : line + " ") {
            if (std::isspace(static_cast<unsigned char>(c)) != 0) {
                if (!word.empty()) {
                    words.push_back(word);
                }
                word.clear();
            } else {
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        if (words.size() == 1 && words[0] == "next") {
            payIfAny();
        } else if (words.size() == 1 && words[0] == "quit") {
            payIfAny();
            return false;
        } else if (words.size() == 1 && words[0] == "clear") {
            for (auto& held : cart) {
                held.clear();
            }
        } else if (!words.empty() && words[0] == "add") {
            add(words);
        } else if (words.size() == 3 && words[0] == "remove") {
            const int kind = kindOf(words[1]);
            long long number = 0;
            if (kind >= 0 && parse(words[2], number)) {
                std::vector<std::size_t>& held = cart[kind];
                if (number >= 1 && number <= static_cast<long long>(held.size())) {
                    held.erase(held.begin() + (number - 1));
                }
            }
        }
        return true;
    }

    // add [COUNT] KIND N, or add [COUNT] KIND NAME: a name is the rest of the
    // words, matched exactly or as the beginning of one name alone.
    void add(const std::vector<std::string>& words) {
        std::size_t at = 1;
        long long count = 1;
        if (words.size() > 1 && std::isdigit(static_cast<unsigned char>(words[1][0])) != 0) {
            if (!parse(words[1], count) || count < 1 || count > 99) {
                return;
            }
            at = 2;
        }
        if (words.size() < at + 2) {
            return;
        }
        const int kind = kindOf(words[at]);
        if (kind < 0) {
            return;
        }
        const std::vector<MenuItem>& menu = kinds[kind];
        long long number = 0;
        std::size_t chosen = menu.size();
        if (parse(words[at + 1], number)) {
            if (words.size() == at + 2 && number >= 1 &&
                number <= static_cast<long long>(menu.size())) {
                chosen = static_cast<std::size_t>(number - 1);
            }
        } else if (std::string("0123456789+-.").find(words[at + 1][0]) == std::string::npos) {
            std::string name;
            for (std::size_t next = at + 1; next < words.size(); ++next) {
                name += (next == at + 1 ? "" : " ") + words[next];
            }
            std::vector<std::size_t> begun;
            for (std::size_t item = 0; item < menu.size(); ++item) {
                std::string known = menu[item].name;
                for (char& c : known) {
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                }
                if (known == name) {
                    begun = {item};
                    break;
                }
                if (known.compare(0, name.size(), name) == 0) {
                    begun.push_back(item);
                }
            }
            if (begun.size() == 1) {
                chosen = begun.front();
            }
        }
        for (long long copy = 0; chosen < menu.size() && copy < count; ++copy) {
            cart[kind].push_back(chosen);
        }
    }

    static int kindOf(const std::string& word) {
        for (int kind = 0; kind < 3; ++kind) {
            if (word == kindWords[kind]) {
                return kind;
            }
        }
        return -1;
    }

    void payIfAny() {
        if (!cart[0].empty() || !cart[1].empty() || !cart[2].empty()) {
            paid.push_back({cart[0], cart[1], cart[2]});
            cart[0].clear();
            cart[1].clear();
            cart[2].clear();
        }
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
                    listCost = listCost + (kinds[kind][at].cost + surcharges[kind]);
                    listPrice = listPrice + kinds[kind][at].price;
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
    // Whole decimal numbers only, as typed; anything else is not a number.
    // Numbers past any int count as beyond every list.
    static bool parse(const std::string& word, long long& number) {
        constexpr long long beyondAnyInt = 1LL << 40;
        std::size_t at = word[0] == '-' ? 1 : 0;
        if (at == word.size()) {
            return false;
        }
        number = 0;
        for (; at < word.size(); ++at) {
            if (std::isdigit(static_cast<unsigned char>(word[at])) == 0) {
                return false;
            }
            number = std::min(number * 10 + (word[at] - '0'), beyondAnyInt);
        }
        if (word[0] == '-') {
            number = -number;
        }
        return true;
    }

    std::vector<std::size_t> cart[3];
    std::vector<std::vector<std::vector<std::size_t>>> paid;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CaptureBuffer capture;
    CoutRedirect redirect(&capture);
    {
        std::vector<Maindish> maindishes;
        std::vector<Snack> snacks;
        std::vector<Drink> drinks;
        for (const MenuItem& item : kinds[0]) {
            maindishes.emplace_back(item.name, item.price, item.cost);
        }
        for (const MenuItem& item : kinds[1]) {
            snacks.emplace_back(item.name, item.price, item.cost);
        }
        for (const MenuItem& item : kinds[2]) {
            drinks.emplace_back(item.name, item.price, item.cost);
        }
        MemoryJournal journal;
        Console console(Menu{maindishes, snacks, drinks}, journal, [] { return Moment{0}; });
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
        if (open) {  // the end of input closes the day as quit does
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
