#pragma once

#include "items/Drink.h"
#include "items/Maindish.h"
#include "items/Snack.h"
#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"

// Cart is one customer's order: a list of main dishes, one of snacks and one
// of drinks and soups. It is a plain value; a copy shares nothing with its
// source.
class Cart {
public:
    Cart();
    Cart(Maindishlist maindishes, Snacklist snacks, Drinklist drinks);
    Cart(const Cart& other);
    // Gives the strong guarantee: a failed copy leaves the cart as it was.
    Cart& operator=(const Cart& other);
    ~Cart();

    void addMaindish(Maindish maindish);
    void addSnack(Snack snack);
    void addDrink(Drink drink);
    // Each removes by serial number within its own list, or prints that
    // list's rejection.
    void removeMaindish(int serialNumber);
    void removeSnack(int serialNumber);
    void removeDrink(int serialNumber);

    // Prints the order of main dishes, then snacks, then drinks.
    void displayOrder();

    // Returns the total cost of every item, surcharges included.
    double getTotalCost();
    // Returns the sum of the selling prices: what the cart brings in.
    double getTotalPrice();
    // Returns getTotalPrice() - getTotalCost().
    double getTotalProfit();

    void swap(Cart& other) noexcept;

private:
    Maindishlist maindishes;
    Snacklist snacks;
    Drinklist drinks;
};
