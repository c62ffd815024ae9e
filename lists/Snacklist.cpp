#include "lists/Snacklist.h"

#include <utility>

#include "lists/ItemListOperations.h"

namespace {
constexpr itemlist::Texts texts{
    "We offer following snacks : ",
    "Your have ordered the following snacks : ",
    "The total price of snack is : ",
};
}  // namespace

Snacklist::Snacklist() = default;

Snacklist::Snacklist(std::vector<Snack> items) : snacks(std::move(items)) {}

Snacklist::Snacklist(const Snacklist& other) = default;

Snacklist& Snacklist::operator=(const Snacklist& other) {
    Snacklist copy(other);
    swap(copy);
    return *this;
}

Snacklist::~Snacklist() = default;

void Snacklist::addSnack(Snack item) { snacks.push_back(std::move(item)); }

std::optional<Snack> Snacklist::order(int serialNumber) {
    return itemlist::order(snacks, serialNumber);
}

void Snacklist::removeSearialNumber(int serialNumber) { itemlist::remove(snacks, serialNumber); }

void Snacklist::cleanList() { snacks.clear(); }

void Snacklist::displayMenu() { itemlist::displayMenu(snacks, texts); }

void Snacklist::displayOrder() { itemlist::displayOrder(snacks, texts); }

double Snacklist::totalPrice() { return itemlist::totalPrice(snacks); }

double Snacklist::totalCost() { return itemlist::totalCost(snacks); }

void Snacklist::swap(Snacklist& other) noexcept { snacks.swap(other.snacks); }
