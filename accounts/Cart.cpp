#include "accounts/Cart.h"

#include <utility>

Cart::Cart() = default;

// The lists have no move operations; swapping takes them over without a copy.
Cart::Cart(Maindishlist maindishes, Snacklist snacks, Drinklist drinks) {
    this->maindishes.swap(maindishes);
    this->snacks.swap(snacks);
    this->drinks.swap(drinks);
}

Cart::Cart(const Cart& other) = default;

Cart& Cart::operator=(const Cart& other) {
    Cart copy(other);
    swap(copy);
    return *this;
}

Cart::~Cart() = default;

void Cart::addMaindish(Maindish maindish) { maindishes.addMaindish(std::move(maindish)); }

void Cart::addSnack(Snack snack) { snacks.addSnack(std::move(snack)); }

void Cart::addDrink(Drink drink) { drinks.addDrink(std::move(drink)); }

void Cart::removeMaindish(int serialNumber) { maindishes.removeSearialNumber(serialNumber); }

void Cart::removeSnack(int serialNumber) { snacks.removeSearialNumber(serialNumber); }

void Cart::removeDrink(int serialNumber) { drinks.removeSearialNumber(serialNumber); }

void Cart::displayOrder() {
    maindishes.displayOrder();
    snacks.displayOrder();
    drinks.displayOrder();
}

double Cart::getTotalCost() {
    return maindishes.totalCost() + snacks.totalCost() + drinks.totalCost();
}

double Cart::getTotalPrice() {
    return maindishes.totalPrice() + snacks.totalPrice() + drinks.totalPrice();
}

double Cart::getTotalProfit() { return getTotalPrice() - getTotalCost(); }

void Cart::swap(Cart& other) noexcept {
    maindishes.swap(other.maindishes);
    snacks.swap(other.snacks);
    drinks.swap(other.drinks);
}
