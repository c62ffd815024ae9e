#include "till/Console.h"

#include <cctype>
#include <charconv>
#include <ctime>
#include <iostream>
#include <new>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>

#include "accounts/User.h"
#include "base/LocalTime.h"
#include "base/SaleId.h"
#include "base/Text.h"
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

// The whole word as an int; nothing when it is too large for one.
std::optional<int> wholeNumber(const std::string& word) {
    int number = 0;
    const char* const end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, number);
    if (failure != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

// The one name `typed` stands for: the name it equals, letter case and
// accents aside, else the one name it begins; names alike count as one.
struct NameMatch {
    std::optional<std::size_t> found;
    std::vector<std::string> candidates;
};

template <typename Items>
NameMatch matchName(const Items& items, const std::string& typed) {
    const std::string wanted = foldedForMatching(typed);
    std::vector<std::size_t> begun;
    std::set<std::string> distinct;
    for (std::size_t at = 0; at < items.size(); ++at) {
        const std::string name = foldedForMatching(items[at].name);
        if (name == wanted) {
            return {at, {}};
        }
        if (name.compare(0, wanted.size(), wanted) == 0 && distinct.insert(name).second) {
            begun.push_back(at);
        }
    }
    if (begun.size() == 1) {
        return {begun.front(), {}};
    }
    NameMatch match;
    for (std::size_t at : begun) {
        match.candidates.push_back(items[at].name);
    }
    return match;
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

constexpr int mostCopies = 99;

}  // namespace

Console::Console(Menu menu, Journal& journal, Clock clock)
    : menu(std::move(menu)), libraryMenus(this->menu), journal(journal), clock(std::move(clock)) {}

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
           "  remove drink NAME     remove the drink of that name from the cart\n"
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
        announceResumed(opened.record);
    }
}

void Console::announceResumed(const DayRecord& record) {
    const std::size_t paid = record.customers.size();
    const std::size_t inCart = itemsInCart();
    std::cout << "Resumed day " << dayNumber << ": " << paid << " customer"
              << (paid == 1 ? "" : "s") << " paid; customer " << customer << "'s cart holds "
              << inCart << " item" << (inCart == 1 ? "" : "s") << std::endl;
    const char* const date = "%Y-%m-%d";
    if (localTime(record.openedAt, date) != localTime(clock(), date)) {
        std::cout << "Day " << dayNumber << " opened on " << localTime(record.openedAt, date)
                  << " at " << localTime(record.openedAt, "%H:%M")
                  << "; type quit to close it and start a new day." << std::endl;
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
// order, and the first that is wrong is named. Only a word of digits alone
// is a serial number; anything else is a name.
void Console::addCommand(const std::vector<std::string>& words) {
    std::size_t at = 1;
    int count = 1;
    if (words.size() > 1 && std::isdigit(static_cast<unsigned char>(words[1][0])) != 0) {
        const std::optional<int> given =
            isAllDigits(words[1]) ? wholeNumber(words[1]) : std::nullopt;
        if (!given || *given < 1 || *given > mostCopies) {
            say("'" + words[1] + "' is not a count from 1 to " + std::to_string(mostCopies) +
                ": type it before the kind, for example: add 3 drink 2");
            return;
        }
        count = *given;
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
    const std::vector<MenuItem>& items = menu.of(*kind);
    std::optional<std::size_t> index;
    if (words.size() == at + 2 && isAllDigits(words[at + 1])) {
        index = menuItemNumbered(*kind, words[at + 1]);
    } else {
        const std::string typed = joined(words, at + 1);
        const NameMatch match = matchName(items, typed);
        index = match.found;
        if (!index && match.candidates.empty()) {
            say(std::string("No ") + spoken(*kind) + " on the menu begins with '" + typed +
                "': type menu to see the " + spokenPlural(*kind));
        } else if (!index) {
            say("'" + typed + "' could be any of these " + spokenPlural(*kind) + ": " +
                listed(match.candidates) + "; type more of the name");
        }
    }
    if (index) {
        const MenuItem& item = items[*index];
        add(JournalItem{customer, *kind, item.name, item.price, item.cost, 0, std::nullopt}, count);
    }
}

// A number outside the menu gets the library's own line, then the till's.
std::optional<std::size_t> Console::menuItemNumbered(ItemKind kind, const std::string& word) {
    const std::optional<int> number = wholeNumber(word);
    if (!number) {
        say("'" + word + "' is far beyond any serial number: type one shown by 'menu'");
        return std::nullopt;
    }
    const std::size_t size = menu.of(kind).size();
    if (*number >= 1 && static_cast<std::size_t>(*number) <= size) {
        return static_cast<std::size_t>(*number) - 1;
    }
    switch (kind) {
        case ItemKind::dish:
            (void)libraryMenus.maindishes.order(*number);
            break;
        case ItemKind::snack:
            (void)libraryMenus.snacks.order(*number);
            break;
        case ItemKind::drink:
            (void)libraryMenus.drinks.order(*number);
            break;
    }
    say(std::string("There is no ") + spoken(kind) + " " + word + ": the menu has " +
        (size == 0 ? std::string("none") : std::to_string(size)) + " (type menu).");
    return std::nullopt;
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
    if (words.size() > 3 || !isAllDigits(words[2])) {
        if (const std::optional<std::size_t> index = cartItemNamed(*kind, joined(words, 2))) {
            remove(*kind, *index);
        }
        return;
    }
    const std::optional<int> number = wholeNumber(words[2]);
    if (!number) {
        say("'" + words[2] + "' is far beyond any serial number: type one shown by 'cart'");
        return;
    }
    if (*number >= 1 && static_cast<std::size_t>(*number) <= heldOf(*kind).size()) {
        remove(*kind, static_cast<std::size_t>(*number) - 1);
        return;
    }
    // The cart prints its own rejection of a number it does not hold.
    switch (*kind) {
        case ItemKind::dish:
            cart.removeMaindish(*number);
            break;
        case ItemKind::snack:
            cart.removeSnack(*number);
            break;
        case ItemKind::drink:
            cart.removeDrink(*number);
            break;
    }
}

// The last item of that name in the cart, most likely the one added by
// mistake.
std::optional<std::size_t> Console::cartItemNamed(ItemKind kind, const std::string& typed) {
    const std::vector<JournalItem>& items = heldOf(kind);
    const NameMatch match = matchName(items, typed);
    if (match.found) {
        const std::string chosen = foldedForMatching(items[*match.found].name);
        std::size_t last = *match.found;
        for (std::size_t at = last; at < items.size(); ++at) {
            last = foldedForMatching(items[at].name) == chosen ? at : last;
        }
        return last;
    }
    const std::string whose = "customer " + std::to_string(customer) + "'s cart";
    if (match.candidates.empty()) {
        say("There is no " + std::string(spoken(kind)) + " called '" + typed + "' in " + whose +
            ": type cart to see it");
    } else {
        say("'" + typed + "' could be any of these " + spokenPlural(kind) + " in " + whose + ": " +
            listed(match.candidates) + "; type more of the name");
    }
    return std::nullopt;
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
        const std::optional<int> number =
            isAllDigits(words[1]) ? wholeNumber(words[1]) : std::nullopt;
        if (!number) {
            say("'" + words[1] +
                "' is not a customer's number: type receipt alone for the last "
                "customer, or receipt " +
                std::to_string(last));
            return;
        }
        wanted = *number;
    }
    if (!Receipt(*record).print(wanted, std::cout)) {
        say("Customer " + std::to_string(wanted) +
            " has not paid today: type receipt and a number from 1 to " + std::to_string(last));
    }
}

void Console::add(JournalItem item, int count) {
    item.addedAt = clock();
    JournalEntry added = JournalEntry::of(JournalEntry::Type::add, item.addedAt);
    added.customer = item.customer;
    added.kind = item.kind;
    added.name = item.name;
    added.price = item.price;
    added.cost = item.cost;
    std::int64_t first = 0;
    if (!record([&] {
            first =
                journal.append(std::vector<JournalEntry>(static_cast<std::size_t>(count), added));
        })) {
        return;
    }
    apply([&] {
        std::vector<JournalItem>& items = heldOf(item.kind);
        items.reserve(items.size() + static_cast<std::size_t>(count));
        for (int copy = 0; copy < count; ++copy) {
            putInCart(cart, item.kind, item.name, item.price, item.cost);
            item.entry = first + copy;
            items.push_back(item);
        }
    });
    std::cout << "Added ";
    if (count > 1) {
        std::cout << count << " \u00d7 ";
    }
    std::cout << item.name << " to customer " << item.customer << "'s cart" << std::endl;
}

void Console::remove(ItemKind kind, std::size_t index) {
    const int serialNumber = static_cast<int>(index) + 1;
    // Copied first: once the journal holds the removal, only a rebuild may fail.
    const std::string name = heldOf(kind)[index].name;
    JournalEntry removal = JournalEntry::of(JournalEntry::Type::remove, clock());
    removal.item = heldOf(kind)[index].entry;
    if (!record([&] { journal.append({removal}); })) {
        return;
    }
    apply([&] {
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
        std::vector<JournalItem>& items = heldOf(kind);
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    });
    std::cout << "Removed " << name << " from customer " << customer << "'s cart" << std::endl;
}

void Console::clear() {
    const std::size_t inCart = itemsInCart();
    if (inCart == 0) {
        std::cout << "Customer " << customer << "'s cart is empty already" << std::endl;
        return;
    }
    std::vector<JournalEntry> removals;
    removals.reserve(inCart);
    const Moment now = clock();
    for (const auto& items : held) {
        for (const JournalItem& item : items) {
            removals.push_back(JournalEntry::of(JournalEntry::Type::remove, now));
            removals.back().item = item.entry;
        }
    }
    if (!record([&] { journal.append(std::move(removals)); })) {
        return;
    }
    cart = Cart();
    held = {};
    std::cout << "Cleared customer " << customer << "'s cart: " << inCart << " item"
              << (inCart == 1 ? "" : "s") << " removed" << std::endl;
}

void Console::showMenu() {
    libraryMenus.maindishes.displayMenu();
    std::cout << std::endl;
    libraryMenus.snacks.displayMenu();
    std::cout << std::endl;
    libraryMenus.drinks.displayMenu();
}

void Console::showCart() {
    std::cout << "Customer " << customer << "'s cart:" << std::endl;
    cart.displayOrder();
    std::cout << "Customer " << customer << " pays " << cartTotal().twoDecimals() << " $ in all"
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
    const Money paid = cartTotal();
    JournalEntry payment = JournalEntry::of(JournalEntry::Type::pay, clock());
    payment.customer = paying;
    payment.saleId = newSaleId();
    if (!record([&] { journal.append({payment}); })) {
        return false;
    }
    apply([&] {
        day->addUser(User(cart, paying));
        cart = Cart();
        held = {};
        customer = paying + 1;
    });
    std::cout << "Customer " << paying << " paid " << paid.twoDecimals() << " $";
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
        std::cerr << "restaurant: could not close day " << dayNumber << ": " << error.what()
                  << "; the next start resumes it" << std::endl;
        status = 1;
    }
    over = true;
}

void Console::finish() {
    if (!over) {
        line = "quit";
        quit();
    }
    if (!over) {
        std::cerr << "restaurant: day " << dayNumber << " stays open with customer " << customer
                  << "'s cart; the next start resumes it" << std::endl;
        status = 1;
    }
}

// A day that never held an item is forgotten; a journal that cannot forget
// it keeps it open, which the next start resumes.
void Console::leaveOpen() {
    if (over) {
        return;
    }
    try {
        journal.leaveDayOpen();
    } catch (const JournalError&) {
    }
    over = true;
}

int Console::exitStatus() const { return status; }

template <typename Write>
bool Console::record(Write write) {
    try {
        write();
        return true;
    } catch (const JournalError& error) {
        std::cerr << "restaurant: could not record '" << line << "': " << error.what()
                  << "; nothing changed" << std::endl;
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
    std::array<std::vector<JournalItem>, 3> openItems;
    for (const JournalItem* item : ledger.itemsOf(next)) {
        openItems[static_cast<std::size_t>(item->kind)].push_back(*item);
    }

    day.emplace(std::move(paid));
    cart.swap(open);
    held.swap(openItems);
    dayNumber = record.number;
    customer = next;
    stale = false;
}

std::size_t Console::itemsInCart() const {
    return held[0].size() + held[1].size() + held[2].size();
}

Money Console::cartTotal() const {
    Money total;
    for (const auto& items : held) {
        for (const JournalItem& item : items) {
            total += item.price;
        }
    }
    return total;
}

std::vector<JournalItem>& Console::heldOf(ItemKind kind) {
    return held[static_cast<std::size_t>(kind)];
}
