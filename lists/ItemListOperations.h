#pragma once

#include <cstddef>
#include <iostream>
#include <optional>
#include <vector>

// The behaviour shared by Maindishlist, Snacklist and Drinklist, which differ
// only in their item kind and the texts they print. Each list holds its items
// in a std::vector and forwards to these templates.
namespace itemlist {

// The lines a list prints around its items.
struct Texts {
    const char* menuHeader;
    const char* orderHeader;
    const char* totalLabel;
};

// Accepts exactly the serial numbers 1 to the number of items; compares
// without arithmetic on `serialNumber`, so no int can overflow.
template <typename Item>
bool accepts(const std::vector<Item>& items, int serialNumber) {
    return serialNumber >= 1 && static_cast<std::size_t>(serialNumber) <= items.size();
}

template <typename Item>
std::optional<Item> order(const std::vector<Item>& items, int serialNumber) {
    if (!accepts(items, serialNumber)) {
        std::cout << "Please check your input" << std::endl;
        return std::nullopt;
    }
    return items[static_cast<std::size_t>(serialNumber) - 1];
}

// Erasing moves the later items up, and moving an item never throws, so a
// removal either happens whole or is rejected.
template <typename Item>
void remove(std::vector<Item>& items, int serialNumber) {
    if (!accepts(items, serialNumber)) {
        std::cout << "Please check your input number" << std::endl;
        return;
    }
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(serialNumber - 1));
}

template <typename Item>
void displayMenu(std::vector<Item>& items, const Texts& texts) {
    std::cout << texts.menuHeader << std::endl;
    std::size_t serialNumber = 0;
    for (Item& item : items) {
        std::cout << ++serialNumber << ". " << item.getName() << " " << item.getPrice() << "$"
                  << std::endl;
    }
}

// Adds up one value of each item, left to right from 0.0.
template <typename Item, typename Value>
double sum(std::vector<Item>& items, Value value) {
    double total = 0.0;
    for (Item& item : items) {
        total = total + value(item);
    }
    return total;
}

template <typename Item>
double totalPrice(std::vector<Item>& items) {
    return sum(items, [](Item& item) { return item.getPrice(); });
}

template <typename Item>
double totalCost(std::vector<Item>& items) {
    return sum(items, [](Item& item) { return item.totalCost(); });
}

template <typename Item>
void displayOrder(std::vector<Item>& items, const Texts& texts) {
    std::cout << texts.orderHeader << std::endl;
    std::size_t serialNumber = 0;
    for (Item& item : items) {
        std::cout << ++serialNumber << ". " << item.getName() << std::endl;
    }
    std::cout << texts.totalLabel << totalPrice(items) << " $" << std::endl;
    std::cout << std::endl;
}

}  // namespace itemlist
