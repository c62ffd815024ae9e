#include "till/Console.h"

#include <cctype>
#include <charconv>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "accounts/User.h"

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

// The words that name a kind in commands, and how messages speak of it.
struct KindWords {
    const char* typed;
    const char* spoken;
};
constexpr KindWords kindWords[] = {{"dish", "main dish"}, {"snack", "snack"}, {"drink", "drink"}};

}  // namespace

Console::Console(Menu menu)
    : maindishes(std::move(menu.maindishes)),
      snacks(std::move(menu.snacks)),
      drinks(std::move(menu.drinks)) {}

const char* Console::commands() {
    return "Commands, one a line, in any letter case:\n"
           "  menu                  the menus of main dishes, snacks and drinks\n"
           "  add dish N            add main dish N of the menu to the cart\n"
           "  add snack N           add snack N of the menu to the cart\n"
           "  add drink N           add drink N of the menu to the cart\n"
           "  remove dish N         remove the N-th main dish from the cart\n"
           "  remove snack N        remove the N-th snack from the cart\n"
           "  remove drink N        remove the N-th drink from the cart\n"
           "  cart                  the current customer's order and its total price\n"
           "  next                  the customer pays and leaves; the next one starts\n"
           "  report                the day's cost, revenue and profit so far\n"
           "  help                  these commands\n"
           "  quit                  the last customer pays, then the day's report; the end";
}

bool Console::handle(const std::string& line) {
    if (over) {
        return false;
    }
    const std::vector<std::string> words = splitWords(line);
    if (words.empty()) {
        return true;
    }
    const std::string command = lowercase(words[0]);
    if (command == "add" || command == "remove") {
        itemCommand(command, words);
        return true;
    }

    const bool known = command == "menu" || command == "cart" || command == "next" ||
                       command == "report" || command == "help" || command == "quit";
    if (!known) {
        say("Unknown command '" + words[0] + "': type help to see the commands");
    } else if (words.size() > 1) {
        say("'" + command + "' takes nothing after it: type " + command + " alone");
    } else if (command == "menu") {
        maindishes.displayMenu();
        std::cout << std::endl;
        snacks.displayMenu();
        std::cout << std::endl;
        drinks.displayMenu();
    } else if (command == "cart") {
        showCart();
    } else if (command == "next") {
        next(true);
    } else if (command == "report") {
        day.displayFinancial();
    } else if (command == "help") {
        std::istringstream lines(commands());
        for (std::string text; std::getline(lines, text);) {
            say(text);
        }
    } else {
        quit();
    }
    return !over;
}

// `add KIND N` or `remove KIND N`: the words are checked in order, and the
// first that is wrong is named.
void Console::itemCommand(const std::string& verb, const std::vector<std::string>& words) {
    const std::string example = verb + (verb == "add" ? " dish 2" : " dish 1");
    if (words.size() < 3) {
        say("'" + verb + "' needs a kind and a serial number, for example: " + example);
        return;
    }
    const std::string kindWord = lowercase(words[1]);
    std::size_t kind = 0;
    while (kind < kindCount && kindWord != kindWords[kind].typed) {
        ++kind;
    }
    if (kind == kindCount) {
        say("Unknown kind '" + words[1] + "': type dish, snack or drink, for example: " + example);
        return;
    }
    const std::string& number = words[2];
    int serialNumber = 0;
    const char* const end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, serialNumber);
    if (error == std::errc::result_out_of_range) {
        say("'" + number + "' is far beyond any serial number: type one shown by '" +
            (verb == "add" ? "menu" : "cart") + "'");
        return;
    }
    if (error != std::errc() || stop != end) {
        say("'" + number + "' is not a serial number: type a whole number, for example: " + verb +
            " " + kindWords[kind].typed + " 1");
        return;
    }
    if (words.size() > 3) {
        say("Too many words: type one item a line, for example: " + verb + " " +
            kindWords[kind].typed + " " + number);
        return;
    }
    if (verb == "add") {
        add(static_cast<Kind>(kind), serialNumber);
    } else {
        remove(static_cast<Kind>(kind), serialNumber);
    }
}

void Console::finish() {
    if (!over) {
        quit();
    }
}

void Console::add(Kind kind, int serialNumber) {
    switch (kind) {
        case Kind::maindish:
            addFrom(maindishes, &Cart::addMaindish, kind, serialNumber);
            break;
        case Kind::snack:
            addFrom(snacks, &Cart::addSnack, kind, serialNumber);
            break;
        case Kind::drink:
            addFrom(drinks, &Cart::addDrink, kind, serialNumber);
            break;
    }
}

// The menu prints its own rejection of a serial number it does not have.
template <typename Menu, typename Item>
void Console::addFrom(Menu& menu, void (Cart::*addToCart)(Item), Kind kind, int serialNumber) {
    std::optional<Item> item = menu.order(serialNumber);
    if (!item) {
        return;
    }
    const std::string name = item->getName();
    (cart.*addToCart)(std::move(*item));
    ++inCart[static_cast<std::size_t>(kind)];
    std::cout << "Added " << name << " to customer " << customer << "'s cart" << std::endl;
}

// The cart prints its own rejection; the count tells whether it removed.
void Console::remove(Kind kind, int serialNumber) {
    std::size_t& count = inCart[static_cast<std::size_t>(kind)];
    const bool accepted = serialNumber >= 1 && static_cast<std::size_t>(serialNumber) <= count;
    switch (kind) {
        case Kind::maindish:
            cart.removeMaindish(serialNumber);
            break;
        case Kind::snack:
            cart.removeSnack(serialNumber);
            break;
        case Kind::drink:
            cart.removeDrink(serialNumber);
            break;
    }
    if (accepted) {
        --count;
        std::cout << "Removed " << kindWords[static_cast<std::size_t>(kind)].spoken << " "
                  << serialNumber << " from customer " << customer << "'s cart" << std::endl;
    }
}

void Console::showCart() {
    std::cout << "Customer " << customer << "'s cart:" << std::endl;
    cart.displayOrder();
    std::cout << "Customer " << customer << " pays " << cart.getTotalPrice() << " $ in all"
              << std::endl;
}

// The customer is recorded before the cart is emptied, so a failure loses
// nothing.
void Console::next(bool anotherComes) {
    if (itemsInCart() == 0) {
        std::cout << "Customer " << customer
                  << "'s cart is empty, so there is nothing to pay: add items first, for "
                     "example: add dish 2"
                  << std::endl;
        return;
    }
    const double paid = cart.getTotalPrice();
    day.addUser(User(cart, customer));
    cart = Cart();
    for (std::size_t& count : inCart) {
        count = 0;
    }
    std::cout << "Customer " << customer << " paid " << paid << " $";
    ++customer;
    if (anotherComes) {
        std::cout << "; customer " << customer << " is next";
    }
    std::cout << std::endl;
}

void Console::quit() {
    if (itemsInCart() > 0) {
        next(false);
    }
    day.displayFinancial();
    over = true;
}

std::size_t Console::itemsInCart() const { return inCart[0] + inCart[1] + inCart[2]; }
