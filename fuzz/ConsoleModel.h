#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/Money.h"
#include "base/Text.h"

// ConsoleModel is what the console fuzzer holds the till to: a model of the
// day that applies only the well-formed commands, with the menu it sells,
// and the report the day must print once it closes, summed in cents.
namespace consolemodel {

struct Priced {
    const char* name;
    std::int64_t price;
    std::int64_t cost;
};
inline const std::vector<Priced> kinds[3] = {
    {{"Noodle soup", 1000, 400}, {"Fish", 2050, 925}},
    {{"Chips", 300, 100}, {"Nuts", 275, 50}, {"Olives", 400, 150}},
    {{"Tea", 200, 50}, {"Tea with milk", 250, 75}, {"Iced tea", 300, 100}},
};
constexpr std::int64_t surcharges[3] = {300, 200, 100};
inline const char* const kindWords[3] = {"dish", "snack", "drink"};

// The words of a line, split at white space.
std::vector<std::string> wordsOf(const std::string& line);
std::string lower(std::string word);
std::string joined(const std::vector<std::string>& words, std::size_t from,
                   std::size_t to = std::string::npos);
// A number of digits alone, capped beyond any int.
bool digits(const std::string& word, long long& number);
// The position of the one name `typed` stands for among `names`: equal when
// folded, else the only one it begins; names alike count as one, and the
// last of them is taken.
std::size_t chosenName(const std::vector<std::string>& names, const std::string& typed);
int kindOf(const std::string& word);
// Whether the word is a table's label.
bool labelled(const std::string& word);
// The cash a line gives from `from` on, -1 when it gives none, or nothing
// when the words are no way to pay or the cash is above 100,000.00, a typo.
std::optional<long long> cashOf(const std::vector<std::string>& words, std::size_t from);
// An amount as the till reads one: a point or a comma, two decimals at
// most, 0 or more; -1 for none.
long long amountOf(const std::string& word);

// An item as the model sees it: its kind, its place on the menu, and when
// it was added, which orders a customer's cart.
struct Held {
    std::size_t kind;
    std::size_t menu;
    std::size_t added;
};

// The day as the model sees it: the open orders by label, the order the
// till works on, and the carts the customers paid for.
class DayModel {
public:
    // Applies one line; returns false once the day is over.
    bool apply(const std::string& line) {
        const std::vector<std::string> words = wordsOf(line);
        const std::string verb = words.empty() ? "" : lower(words[0]);
        if (verb == "next" || verb == "pay") {
            pay(words, 1);
        } else if (verb == "void") {
            voidSale(words);
        } else if (words.size() == 1 && verb == "quit") {
            return !quit();
        } else if (words.size() == 1 && verb == "clear") {
            orders.erase(current);
        } else if (words.size() == 1 && verb == "counter") {
            current.clear();
        } else if (words.size() == 2 && verb == "table" && labelled(words[1])) {
            current = lower(words[1]);
        } else if (verb == "add") {
            add(words);
        } else if (verb == "remove" && words.size() >= 3) {
            remove(words);
        } else if (verb == "split") {
            split(words);
        } else if (verb == "move") {
            move(words);
        }
        return true;
    }

    // The end of a script: quit, unless a table is open.
    bool finish() { return quit(); }

    // The report the day's accounts must print: each amount exact, in its
    // shortest form.
    std::string report() const {
        std::int64_t cost = 0;
        std::int64_t price = 0;
        for (std::size_t number = 0; number < paid.size(); ++number) {
            for (const Held& item : voided[number] ? std::vector<Held>{} : paid[number]) {
                const Priced& sold = kinds[item.kind][item.menu];
                cost += sold.cost + surcharges[item.kind];
                price += sold.price;
            }
        }
        std::ostringstream text;
        text << "Today's total cost is " << Money::fromCents(cost).shortest()
             << " $\nToday's total revenue is  " << Money::fromCents(price).shortest()
             << " $\nToday's total Profit is  " << Money::fromCents(price - cost).shortest()
             << " $\n";
        return text.str();
    }

private:
    using Order = std::vector<Held>[3];

    bool quit() {
        for (const auto& [label, order] : orders) {
            if (!label.empty()) {
                return false;
            }
        }
        payAll("");
        return true;
    }

    static long long totalOf(const std::vector<Held>& items) {
        long long total = 0;
        for (const Held& item : items) {
            total += kinds[item.kind][item.menu].price;
        }
        return total;
    }

    // pay [METHOD AMOUNT ...] [cash [AMOUNT] | card | other] [tip AMOUNT]:
    // the parts named must leave some of the total to the last way, and
    // cash short of the rest and the tip pays nothing.
    void pay(const std::vector<std::string>& words, std::size_t from) {
        std::size_t end = words.size();
        long long tip = 0;
        if (end >= from + 2 && lower(words[end - 2]) == "tip") {
            tip = amountOf(words[end - 1]);
            end -= 2;
        }
        long long named = 0;
        bool sound = tip >= 0 && tip <= 10'000'000;
        std::size_t at = from;
        while (at + 2 < end && isMethod(words[at]) && !isMethod(words[at + 1])) {
            const long long part = amountOf(words[at + 1]);
            sound = sound && part > 0;
            named = std::min(named + std::max(part, 0LL), 1LL << 50);
            at += 2;
        }
        const std::optional<long long> cash = cashOf(
            std::vector<std::string>(words.begin(), words.begin() + static_cast<long>(end)), at);
        const auto found = orders.find(current);
        if (!sound || !cash || found == orders.end()) {
            return;
        }
        std::vector<Held> all;
        for (const auto& kind : found->second) {
            all.insert(all.end(), kind.begin(), kind.end());
        }
        const long long rest = totalOf(all) - named;
        if (rest > 0 && (*cash < 0 || *cash >= rest + tip)) {
            payAll(current);
        }
    }

    // void CUSTOMER REASON...: a paid sale, once, for a reason of plain text.
    void voidSale(const std::vector<std::string>& words) {
        long long number = 0;
        if (words.size() >= 3 && isFreeText(joined(words, 2)) && digits(words[1], number) &&
            number >= 1 && static_cast<std::size_t>(number) <= paid.size() &&
            !voided[static_cast<std::size_t>(number) - 1]) {
            voided[static_cast<std::size_t>(number) - 1] = true;
        }
    }

    void payAll(const std::string& label) {
        const auto found = orders.find(label);
        if (found == orders.end()) {
            return;
        }
        std::vector<Held> cart;
        for (const auto& kind : found->second) {
            cart.insert(cart.end(), kind.begin(), kind.end());
        }
        paid.push_back(cart);
        voided.push_back(false);
        orders.erase(found);
        if (label == current) {
            current.clear();
        }
    }

    // add [COUNT] KIND N, or add [COUNT] KIND NAME.
    // A note for the kitchen ends the line: "note" and the words after it,
    // 1 to 60 characters of plain text, or nothing is added.
    void add(std::vector<std::string> words) {
        for (std::size_t word = 2; word < words.size(); ++word) {
            if (lower(words[word]) == "note") {
                if (word + 1 == words.size() || !isFreeText(joined(words, word + 1), 60)) {
                    return;
                }
                words.resize(word);
                break;
            }
        }
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
            orders[current][kind].push_back({static_cast<std::size_t>(kind), chosen, added++});
        }
    }

    // The place in the current order of the item named from `from` to `to`.
    std::size_t placeOf(int kind, const std::vector<std::string>& words, std::size_t from,
                        std::size_t to) {
        const auto found = orders.find(current);
        if (found == orders.end()) {
            return 0;
        }
        const std::vector<Held>& held = found->second[kind];
        long long number = 0;
        if (to == from + 1 && digits(words[from], number)) {
            return number >= 1 && number <= static_cast<long long>(held.size())
                       ? static_cast<std::size_t>(number)
                       : 0;
        }
        std::vector<std::string> names;
        names.reserve(held.size());
        for (const Held& item : held) {
            names.emplace_back(kinds[kind][item.menu].name);
        }
        const std::size_t at = chosenName(names, joined(words, from, to));
        return at < held.size() ? at + 1 : 0;
    }

    Held takeOut(int kind, std::size_t place) {
        std::vector<Held>& held = orders[current][kind];
        const Held item = held[place - 1];
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(place - 1));
        const Order& order = orders[current];
        if (order[0].empty() && order[1].empty() && order[2].empty()) {
            orders.erase(current);
        }
        return item;
    }

    // remove KIND N, or remove KIND NAME: the last of that name.
    void remove(const std::vector<std::string>& words) {
        const int kind = kindOf(words[1]);
        const std::size_t place = kind < 0 ? 0 : placeOf(kind, words, 2, words.size());
        if (place != 0) {
            takeOut(kind, place);
        }
    }

    // move KIND N|NAME to LABEL, to another order only; move all to LABEL,
    // every item of the order.
    void move(const std::vector<std::string>& words) {
        if (words.size() == 4 && lower(words[1]) == "all" && lower(words[2]) == "to") {
            const std::string to = lower(words.back()) == "counter" ? "" : lower(words.back());
            const auto from = orders.find(current);
            const bool holds =
                from != orders.end() &&
                !(from->second[0].empty() && from->second[1].empty() && from->second[2].empty());
            if ((to.empty() || labelled(to)) && to != current && holds) {
                for (std::size_t kind = 0; kind < 3; ++kind) {
                    for (const Held& item : orders[current][kind]) {
                        orders[to][kind].push_back(item);
                    }
                }
                orders.erase(current);
            }
            return;
        }
        if (words.size() < 5 || lower(words[words.size() - 2]) != "to") {
            return;
        }
        const int kind = kindOf(words[1]);
        const std::string to = lower(words.back()) == "counter" ? "" : lower(words.back());
        if (kind < 0 || (!to.empty() && !labelled(to)) || to == current) {
            return;
        }
        const std::size_t place = placeOf(kind, words, 2, words.size() - 2);
        if (place != 0) {
            orders[to][kind].push_back(takeOut(kind, place));
        }
    }

    // split KIND N [KIND N ...]: those items paid, each named once; all of
    // them is the whole order.
    void split(std::vector<std::string> words) {
        std::size_t end = 1;
        while (end < words.size() && !isMethod(words[end])) {
            ++end;
        }
        const std::optional<long long> cash = cashOf(words, end);
        words.resize(end);
        if (!cash || words.size() < 3 || words.size() % 2 == 0 || orders.count(current) == 0) {
            return;
        }
        std::vector<std::pair<int, std::size_t>> chosen;
        for (std::size_t at = 1; at < words.size(); at += 2) {
            const int kind = kindOf(words[at]);
            long long number = 0;
            if (kind < 0 || !digits(words[at + 1], number)) {
                return;
            }
            const std::size_t place = placeOf(kind, words, at + 1, at + 2);
            if (place == 0) {
                return;
            }
            if (std::find(chosen.begin(), chosen.end(), std::make_pair(kind, place)) !=
                chosen.end()) {
                return;
            }
            chosen.emplace_back(kind, place);
        }
        std::vector<Held> cart;
        cart.reserve(chosen.size());
        for (const auto& [kind, place] : chosen) {
            cart.push_back(orders[current][kind][place - 1]);
        }
        if (*cash >= 0 && *cash < totalOf(cart)) {
            return;
        }
        const Order& order = orders[current];
        if (chosen.size() == order[0].size() + order[1].size() + order[2].size()) {
            payAll(current);
            return;
        }
        std::sort(chosen.rbegin(), chosen.rend());
        for (const auto& [kind, place] : chosen) {
            takeOut(kind, place);
        }
        paid.push_back(cart);
        voided.push_back(false);
    }

    static bool isMethod(const std::string& word) {
        const std::string method = lower(word);
        return method == "cash" || method == "card" || method == "other";
    }

    std::map<std::string, Order> orders;
    std::string current;
    std::size_t added = 0;
    std::vector<std::vector<Held>> paid;
    std::vector<bool> voided;
};

}  // namespace consolemodel
