#include "lists/Drinklist.h"

#include <utility>

#include "lists/ItemListOperations.h"

namespace {
constexpr itemlist::Texts texts{
    "We have following drinks and soups : ",
    "Your have ordered the following drinks and soups : ",
    "The total price of drinks and soup are : ",
};
}  // namespace

Drinklist::Drinklist() = default;

Drinklist::Drinklist(std::vector<Drink> items) : drinks(std::move(items)) {}

Drinklist::Drinklist(const Drinklist& other) = default;

Drinklist& Drinklist::operator=(const Drinklist& other) {
    Drinklist copy(other);
    swap(copy);
    return *this;
}

Drinklist::~Drinklist() = default;

void Drinklist::addDrink(Drink item) { drinks.push_back(std::move(item)); }

std::optional<Drink> Drinklist::order(int serialNumber) {
    return itemlist::order(drinks, serialNumber);
}

void Drinklist::removeSearialNumber(int serialNumber) { itemlist::remove(drinks, serialNumber); }

void Drinklist::cleanList() { drinks.clear(); }

void Drinklist::displayMenu() { itemlist::displayMenu(drinks, texts); }

void Drinklist::displayOrder() { itemlist::displayOrder(drinks, texts); }

double Drinklist::totalPrice() { return itemlist::totalPrice(drinks); }

double Drinklist::totalCost() { return itemlist::totalCost(drinks); }

void Drinklist::swap(Drinklist& other) noexcept { drinks.swap(other.drinks); }
