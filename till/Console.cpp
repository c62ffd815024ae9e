#include "till/Console.h"

#include <cctype>
#include <charconv>
#include <ctime>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

#include "accounts/User.h"
#include "till/DayLedger.h"
#include "till/Receipt.h"
#include "till/Summary.h"

namespace {

void say(const std::string& line) { std::cout << line << std::endl; }

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!word.empty()) {
                words.push_back(std::move(word));
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

std::string lowercase(std::string word) {
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

// How messages speak of one item of a kind, and of several.
const char* spoken(ItemKind kind) {
    return kind == ItemKind::dish ? "main dish" : kind == ItemKind::snack ? "snack" : "drink";
}
const char* spokenPlural(ItemKind kind) {
    return kind == ItemKind::dish ? "main dishes" : kind == ItemKind::snack ? "snacks" : "drinks";
}

// The whole word as an int: `error` tells a word too long for one from one
// that is not a number at all.
int wholeNumber(const std::string& word, std::errc& error) {
    int number = 0;
    const char* const end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, number);
    error = failure == std::errc() && stop != end ? std::errc::invalid_argument : failure;
    return number;
}

// A word a person meant as a number, though it is not a whole one: 1.5, +1.
bool looksNumeric(const std::string& word) {
    const char first = word[0];
    return std::isdigit(static_cast<unsigned char>(first)) != 0 || first == '+' || first == '-' ||
           first == '.';
}

constexpr int mostCopies = 99;

}  // namespace

Console::Console(Menu menu, Journal& journal, Clock clock)
    : menu(menu),
      maindishes(std::move(menu.maindishes)),
      snacks(std::move(menu.snacks)),
      drinks(std::move(menu.drinks)),
      journal(journal),
      clock(std::move(clock)) {}

Console::~Console() = default;

Moment Console::systemClock() { return static_cast<Moment>(std::time(nullptr)); }

const char* Console::commands() {
    return "Commands, one a line, in any letter case:\n"
           "  menu                  the menus of main dishes, snacks and drinks\n"
           "  add dish N            add main dish N of the menu to the cart\n"
           "  add snack N           add snack N of the menu to the cart\n"
           "  add drink N           add drink N of the menu to the cart\n"
           "  add drink NAME        add the drink of that name, or the one it begins\n"
           "  add 3 drink N         add three at once (1 to 99), by number or by name\n"
           "  remove dish N         remove the N-th main dish from the cart\n"
           "  remove snack N        remove the N-th snack from the cart\n"
           "  remove drink N        remove the N-th drink from the cart\n"
           "  clear                 empty the cart\n"
           "  cart                  the current customer's order and its total price\n"
           "  next                  the customer pays and leaves; the next one starts\n"
           "  receipt [CUSTOMER]    a paid customer's receipt (the last one's alone)\n"
           "  report                the day's cost, revenue and profit so far\n"
           "  summary               the day so far: customers, items sold, revenue by hour\n"
           "  help                  these commands\n"
           "  quit                  the last customer pays, then the day's report; the end";
}

void Console::start() {
    const Journal::OpenDay opened = journal.openDay(clock());
    adopt(opened.record);
    if (opened.resumed) {
        const std::size_t paid = opened.record.customers.size();
        const std::size_t held = itemsInCart();
        std::cout << "Resumed day " << dayNumber << ": " << paid << " customer"
                  << (paid == 1 ? "" : "s") << " paid; customer " << customer << "'s cart holds "
                  << held << " item" << (held == 1 ? "" : "s") << std::endl;
    }
}

bool Console::handle(const std::string& text) {
    if (over) {
        return false;
    }
    if (stale) {
        rebuild();
        if (stale) {
            std::cerr << "restaurant: the day could not be reloaded from the journal; that line "
                         "was not carried out"
                      << std::endl;
            return true;
        }
    }
    const std::vector<std::string> words = splitWords(text);
    if (words.empty()) {
        return true;
    }
    line = joined(words, 0);
    const std::string command = lowercase(words[0]);
    if (command == "add") {
        addCommand(words);
        return true;
    }
    if (command == "remove") {
        removeCommand(words);
        return true;
    }
    if (command == "receipt") {
        receiptCommand(words);
        return true;
    }

    const bool known = command == "menu" || command == "cart" || command == "next" ||
                       command == "clear" || command == "report" || command == "summary" ||
                       command == "help" || command == "quit";
    if (!known) {
        say("Unknown command '" + words[0] + "': type help to see the commands");
    } else if (words.size() > 1) {
        say("'" + command + "' takes nothing after it: type " + command + " alone");
    } else if (command == "menu") {
        showMenu();
    } else if (command == "cart") {
        showCart();
    } else if (command == "next") {
        next(true);
    } else if (command == "clear") {
        clear();
    } else if (command == "report") {
        day->displayFinancial();
    } else if (command == "summary") {
        const std::optional<DayRecord> record = journal.day(dayNumber);
        if (record) {
            Summary(*record).print(std::cout);
        }
    } else if (command == "help") {
        std::istringstream lines(commands());
        for (std::string help; std::getline(lines, help);) {
            say(help);
        }
    } else {
        quit();
    }
    return !over;
}

// `add [COUNT] KIND N` or `add [COUNT] KIND NAME`: the words are checked in
// order, and the first that is wrong is named.
void Console::addCommand(const std::vector<std::string>& words) {
    std::size_t at = 1;
    int count = 1;
    std::errc error{};
    if (words.size() > 1 && std::isdigit(static_cast<unsigned char>(words[1][0])) != 0) {
        count = wholeNumber(words[1], error);
        if (error != std::errc() || count < 1 || count > mostCopies) {
            say("'" + words[1] + "' is not a count from 1 to " + std::to_string(mostCopies) +
                ": type it before the kind, for example: add 3 drink 2");
            return;
        }
        at = 2;
    }
    if (words.size() < at + 2) {
        say("'add' needs a kind and a serial number, for example: add dish 2");
        return;
    }
    const std::optional<ItemKind> kind = kindNamed(words[at]);
    if (!kind) {
        say("Unknown kind '" + words[at] + "': type dish, snack or drink, for example: add dish 2");
        return;
    }
    const std::string& first = words[at + 1];
    const int serialNumber = wholeNumber(first, error);
    if (error == std::errc::result_out_of_range) {
        say("'" + first + "' is far beyond any serial number: type one shown by 'menu'");
        return;
    }
    if (error == std::errc() && words.size() > at + 2) {
        say("Too many words: type one item a line, for example: add " + words[at] + " " + first);
        return;
    }
    if (error != std::errc() && looksNumeric(first)) {
        say("'" + first + "' is not a serial number: type a whole number, for example: add " +
            std::string(kindWord(*kind)) + " 1");
        return;
    }

    std::optional<JournalItem> chosen;
    const auto choose = [&](auto& list, auto& items) {
        if (error == std::errc()) {
            // The menu prints its own rejection of a number it does not have.
            if (auto item = list.order(serialNumber)) {
                chosen = JournalItem{customer,        *kind, item->getName(), item->getPrice(),
                                     item->getCost(), 0,     std::nullopt};
            }
            return;
        }
        std::size_t index = 0;
        if (itemNamed(words, at + 1, *kind, items, index)) {
            auto& item = items[index];
            chosen = JournalItem{customer,       *kind, item.getName(), item.getPrice(),
                                 item.getCost(), 0,     std::nullopt};
        }
    };
    switch (*kind) {
        case ItemKind::dish:
            choose(maindishes, menu.maindishes);
            break;
        case ItemKind::snack:
            choose(snacks, menu.snacks);
            break;
        case ItemKind::drink:
            choose(drinks, menu.drinks);
            break;
    }
    if (chosen) {
        add(std::move(*chosen), count);
    }
}

// Matches the words from `from` on, joined by single spaces, against the
// names of that menu, letter case aside: an exact name first, else the one
// name it begins. Says what is wrong when there is no such one.
template <typename Item>
bool Console::itemNamed(const std::vector<std::string>& words, std::size_t from, ItemKind kind,
                        std::vector<Item>& items, std::size_t& index) {
    const std::string typed = joined(words, from);
    const std::string wanted = lowercase(typed);
    std::vector<std::size_t> begun;
    for (std::size_t at = 0; at < items.size(); ++at) {
        const std::string name = lowercase(items[at].getName());
        if (name == wanted) {
            index = at;
            return true;
        }
        if (name.compare(0, wanted.size(), wanted) == 0) {
            begun.push_back(at);
        }
    }
    if (begun.size() == 1) {
        index = begun.front();
        return true;
    }
    if (begun.empty()) {
        say(std::string("No ") + spoken(kind) + " on the menu begins with '" + typed +
            "': type menu to see the " + spokenPlural(kind));
        return false;
    }
    std::string names;
    for (std::size_t at : begun) {
        names += (names.empty() ? "" : ", ") + items[at].getName();
    }
    say("'" + typed + "' could be any of these " + spokenPlural(kind) + ": " + names +
        "; type more of the name");
    return false;
}

void Console::removeCommand(const std::vector<std::string>& words) {
    if (words.size() < 3) {
        say("'remove' needs a kind and a serial number, for example: remove dish 1");
        return;
    }
    const std::optional<ItemKind> kind = kindNamed(words[1]);
    if (!kind) {
        say("Unknown kind '" + words[1] +
            "': type dish, snack or drink, for example: remove dish 1");
        return;
    }
    const std::string& number = words[2];
    std::errc error{};
    const int serialNumber = wholeNumber(number, error);
    if (error == std::errc::result_out_of_range) {
        say("'" + number + "' is far beyond any serial number: type one shown by 'cart'");
        return;
    }
    if (error != std::errc()) {
        say("'" + number + "' is not a serial number: type a whole number, for example: remove " +
            std::string(kindWord(*kind)) + " 1");
        return;
    }
    if (words.size() > 3) {
        say("Too many words: type one item a line, for example: remove " + words[1] + " " + number);
        return;
    }
    remove(*kind, serialNumber);
}

void Console::receiptCommand(const std::vector<std::string>& words) {
    const std::optional<DayRecord> record = journal.day(dayNumber);
    if (!record || record->customers.empty()) {
        say("No customer has paid yet today: a receipt is for a customer who paid");
        return;
    }
    const std::int32_t last = record->customers.back().number;
    if (words.size() > 2) {
        say("Too many words: type receipt alone for the last customer, or receipt " +
            std::to_string(last));
        return;
    }
    std::int32_t wanted = last;
    if (words.size() == 2) {
        std::errc error{};
        wanted = wholeNumber(words[1], error);
        if (error != std::errc()) {
            say("'" + words[1] +
                "' is not a customer's number: type receipt alone for the last "
                "customer, or receipt " +
                std::to_string(last));
            return;
        }
    }
    if (!Receipt(*record).print(wanted, std::cout)) {
        say("Customer " + std::to_string(wanted) +
            " has not paid today: type receipt and a number from 1 to " + std::to_string(last));
    }
}

void Console::add(JournalItem item, int count) {
    item.addedAt = clock();
    if (!record([&] { journal.addItems(item, count); })) {
        return;
    }
    apply([&] {
        for (int copy = 0; copy < count; ++copy) {
            DayLedger::putInCart(cart, item);
            ++countOf(item.kind);
        }
    });
    std::cout << "Added ";
    if (count > 1) {
        std::cout << count << " \u00d7 ";
    }
    std::cout << item.name << " to customer " << item.customer << "'s cart" << std::endl;
}

// An accepted number is recorded first; a rejected one is left to the cart,
// which prints its own rejection.
void Console::remove(ItemKind kind, int serialNumber) {
    const bool accepted =
        serialNumber >= 1 && static_cast<std::size_t>(serialNumber) <= countOf(kind);
    if (accepted && !record([&] { journal.removeItem(customer, kind, serialNumber, clock()); })) {
        return;
    }
    switch (kind) {
        case ItemKind::dish:
            cart.removeMaindish(serialNumber);
            break;
        case ItemKind::snack:
            cart.removeSnack(serialNumber);
            break;
        case ItemKind::drink:
            cart.removeDrink(serialNumber);
            break;
    }
    if (accepted) {
        --countOf(kind);
        std::cout << "Removed " << spoken(kind) << " " << serialNumber << " from customer "
                  << customer << "'s cart" << std::endl;
    }
}

void Console::clear() {
    const std::size_t held = itemsInCart();
    if (held == 0) {
        std::cout << "Customer " << customer << "'s cart is empty already" << std::endl;
        return;
    }
    if (!record([&] { journal.clearCart(customer, clock()); })) {
        return;
    }
    cart = Cart();
    inCart = {};
    std::cout << "Cleared customer " << customer << "'s cart: " << held << " item"
              << (held == 1 ? "" : "s") << " removed" << std::endl;
}

void Console::showMenu() {
    maindishes.displayMenu();
    std::cout << std::endl;
    snacks.displayMenu();
    std::cout << std::endl;
    drinks.displayMenu();
}

void Console::showCart() {
    std::cout << "Customer " << customer << "'s cart:" << std::endl;
    cart.displayOrder();
    std::cout << "Customer " << customer << " pays " << cart.getTotalPrice() << " $ in all"
              << std::endl;
}

// Returns false when the customer did not pay: nothing in the cart, or the
// journal refused the payment.
bool Console::next(bool anotherComes) {
    if (itemsInCart() == 0) {
        std::cout << "Customer " << customer
                  << "'s cart is empty, so there is nothing to pay: add items first, for "
                     "example: add dish 2"
                  << std::endl;
        return false;
    }
    const std::int32_t paying = customer;
    const double paid = cart.getTotalPrice();
    if (!record([&] { journal.pay(paying, clock()); })) {
        return false;
    }
    apply([&] {
        day->addUser(User(cart, paying));
        cart = Cart();
        inCart = {};
        customer = paying + 1;
    });
    std::cout << "Customer " << paying << " paid " << paid << " $";
    if (anotherComes) {
        std::cout << "; customer " << paying + 1 << " is next";
    }
    std::cout << std::endl;
    return true;
}

void Console::quit() {
    if (itemsInCart() > 0 && !next(false)) {
        return;
    }
    day->displayFinancial();
    try {
        journal.closeDay(clock());
    } catch (const JournalError& error) {
        std::cerr << "could not close day " << dayNumber << ": " << error.what()
                  << "; the next start resumes it" << std::endl;
        status = 1;
    }
    over = true;
}

void Console::finish() {
    if (!over) {
        quit();
    }
    if (!over) {
        std::cerr << "day " << dayNumber << " stays open with customer " << customer
                  << "'s cart; the next start resumes it" << std::endl;
        status = 1;
    }
}

int Console::exitStatus() const { return status; }

template <typename Write>
bool Console::record(Write write) {
    try {
        write();
        return true;
    } catch (const JournalError& error) {
        std::cerr << "could not record '" << line << "': " << error.what() << "; nothing changed"
                  << std::endl;
        return false;
    }
}

template <typename Change>
void Console::apply(Change change) {
    try {
        change();
    } catch (const std::bad_alloc&) {
        rebuild();
    }
}

// Memory stays marked stale until a rebuild succeeds; the next line tries
// again first.
void Console::rebuild() {
    stale = true;
    try {
        const std::optional<DayRecord> record = journal.day(dayNumber);
        if (record) {
            adopt(*record);
        }
    } catch (const std::bad_alloc&) {
    } catch (const JournalError&) {
    }
}

// Everything that can fail is built aside first; what follows cannot fail,
// so a failure leaves the state as it was.
void Console::adopt(const DayRecord& record) {
    const DayLedger ledger(record);
    const std::int32_t next = ledger.nextCustomer();
    Cart open = ledger.cartOf(next);
    std::vector<User> paid = ledger.paidUsers();

    day.emplace(std::move(paid));
    cart.swap(open);
    inCart = ledger.countsOf(next);
    dayNumber = record.number;
    customer = next;
    stale = false;
}

std::size_t Console::itemsInCart() const { return inCart[0] + inCart[1] + inCart[2]; }

std::size_t& Console::countOf(ItemKind kind) { return inCart[static_cast<std::size_t>(kind)]; }
