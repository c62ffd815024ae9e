#include "accounts/Usercollection.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <utility>

Usercollection::Usercollection() = default;

Usercollection::Usercollection(std::vector<User> users) : users(std::move(users)) {}

Usercollection::Usercollection(const Usercollection& other) = default;

Usercollection& Usercollection::operator=(const Usercollection& other) {
    std::vector<User> copy(other.users);
    users.swap(copy);
    return *this;
}

Usercollection::~Usercollection() = default;

// User has no move operations: an empty user is put in place, which cannot
// fail once the vector has room, and the argument is swapped into it, which
// saves a second copy of the whole cart.
void Usercollection::addUser(User user) {
    users.emplace_back(std::int32_t{0});
    users.back().swap(user);
}

double Usercollection::getTotalCost() { return sumOverCarts(&Cart::getTotalCost); }

double Usercollection::getTotalPrice() { return sumOverCarts(&Cart::getTotalPrice); }

double Usercollection::getTotalProfit() { return sumOverCarts(&Cart::getTotalProfit); }

void Usercollection::displayFinancial() {
    printTotal("Today's total cost is ", &Usercollection::getTotalCost);
    printTotal("Today's total revenue is  ", &Usercollection::getTotalPrice);
    printTotal("Today's total Profit is  ", &Usercollection::getTotalProfit);
}

// Each user's cart copy lives only for the one addition.
double Usercollection::sumOverCarts(double (Cart::*total)()) {
    double sum = 0.0;
    for (std::size_t index = 0; index < users.size(); ++index) {
        sum = sum + (users[index].getCart().*total)();
    }
    return sum;
}

// The label goes out before the total is worked out.
void Usercollection::printTotal(const char* label, double (Usercollection::*total)()) {
    std::cout << label;
    std::cout << (this->*total)() << " $" << std::endl;
}
