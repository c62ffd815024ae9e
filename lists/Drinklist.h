#pragma once

#include <optional>
#include <vector>

#include "items/Drink.h"

// Drinklist is an ordered list of drinks and soups: the restaurant's menu of them, or
// what one customer ordered of them. Items are numbered by serial number, 1 for
// the first; every transfer of a list or of an item out of it is a full copy.
class Drinklist {
public:
    Drinklist();
    // Holds copies of the given items, in their order. Implicit: a list is
    // nothing but its items.
    Drinklist(std::vector<Drink> items);
    Drinklist(const Drinklist& other);
    // Gives the strong guarantee: a failed copy leaves the list as it was.
    Drinklist& operator=(const Drinklist& other);
    ~Drinklist();

    void addDrink(Drink item);
    // Returns a copy of the item with that serial number, or prints "Please
    // check your input" and returns nothing when there is no such item.
    std::optional<Drink> order(int serialNumber);
    // Removes the item with that serial number, moving the later ones up, or
    // prints "Please check your input number" when there is no such item.
    void removeSearialNumber(int serialNumber);
    void cleanList();

    void displayMenu();
    // Prints the serial numbers and names, then the sum of the selling prices.
    void displayOrder();
    double totalPrice();
    // Returns the sum of the items' total costs, surcharges included.
    double totalCost();

    void swap(Drinklist& other) noexcept;

private:
    std::vector<Drink> drinks;
};
