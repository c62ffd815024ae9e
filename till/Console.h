#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "accounts/Cart.h"
#include "accounts/Usercollection.h"
#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"
#include "menu/Menu.h"

// Console runs a restaurant's day from typed commands: it shows the menus,
// fills the current customer's cart, records each customer who pays and
// prints the day's accounts. It takes one line at a time and writes to
// std::cout, where the menus, orders and report print themselves.
//
// A line that cannot be carried out gets one line saying what was wrong and
// what to type, and changes nothing.
class Console {
public:
    explicit Console(Menu menu);

    // Carries out one command line. Returns false once the day is over.
    bool handle(const std::string& line);
    // Ends the day as `quit` does, unless it is over already.
    void finish();
    // Returns the text of `help`.
    static const char* commands();

private:
    enum class Kind { maindish, snack, drink };
    static constexpr std::size_t kindCount = 3;

    void itemCommand(const std::string& verb, const std::vector<std::string>& words);
    void add(Kind kind, int serialNumber);
    void remove(Kind kind, int serialNumber);
    template <typename Menu, typename Item>
    void addFrom(Menu& menu, void (Cart::*addToCart)(Item), Kind kind, int serialNumber);
    void showCart();
    void next(bool anotherComes);
    void quit();
    std::size_t itemsInCart() const;

    Maindishlist maindishes;
    Snacklist snacks;
    Drinklist drinks;
    Cart cart;
    // How many items of each kind the cart holds, to tell accepted removals.
    std::size_t inCart[kindCount] = {};
    std::int32_t customer = 1;
    Usercollection day;
    bool over = false;
};
