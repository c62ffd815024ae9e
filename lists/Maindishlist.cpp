#include "lists/Maindishlist.h"

#include <utility>

#include "lists/ItemListOperations.h"

namespace {
constexpr itemlist::Texts texts{
    "We offer following maindishes : ",
    "Your have ordered the following maindishes : ",
    "The total price of maindishes is : ",
};
}  // namespace

Maindishlist::Maindishlist() = default;

Maindishlist::Maindishlist(std::vector<Maindish> items) : maindishes(std::move(items)) {}

Maindishlist::Maindishlist(const Maindishlist& other) = default;

Maindishlist& Maindishlist::operator=(const Maindishlist& other) {
    Maindishlist copy(other);
    swap(copy);
    return *this;
}

Maindishlist::~Maindishlist() = default;

void Maindishlist::addMaindish(Maindish item) { maindishes.push_back(std::move(item)); }

std::optional<Maindish> Maindishlist::order(int serialNumber) {
    return itemlist::order(maindishes, serialNumber);
}

void Maindishlist::removeSearialNumber(int serialNumber) {
    itemlist::remove(maindishes, serialNumber);
}

void Maindishlist::cleanList() { maindishes.clear(); }

void Maindishlist::displayMenu() { itemlist::displayMenu(maindishes, texts); }

void Maindishlist::displayOrder() { itemlist::displayOrder(maindishes, texts); }

double Maindishlist::totalPrice() { return itemlist::totalPrice(maindishes); }

double Maindishlist::totalCost() { return itemlist::totalCost(maindishes); }

void Maindishlist::swap(Maindishlist& other) noexcept { maindishes.swap(other.maindishes); }
