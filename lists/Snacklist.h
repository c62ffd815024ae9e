#pragma once

#include <optional>
#include <vector>

#include "items/Snack.h"

// Snacklist is an ordered list of snacks: the restaurant's menu of them, or
// what one customer ordered of them. Items are numbered by serial number, 1 for
// the first; every transfer of a list or of an item out of it is a full copy.
class Snacklist {
public:
    Snacklist();
    // Holds copies of the given items, in their order. Implicit: a list is
    // nothing but its items.
    Snacklist(std::vector<Snack> items);
    Snacklist(const Snacklist& other);
    // Gives the strong guarantee: a failed copy leaves the list as it was.
    Snacklist& operator=(const Snacklist& other);
    ~Snacklist();

    void addSnack(Snack item);
    // Returns a copy of the item with that serial number, or prints "Please
    // check your input" and returns nothing when there is no such item.
    std::optional<Snack> order(int serialNumber);
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

    void swap(Snacklist& other) noexcept;

private:
    std::vector<Snack> snacks;
};
