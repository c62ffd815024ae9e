#pragma once

#include <vector>

#include "accounts/Cart.h"
#include "accounts/User.h"

// Usercollection holds the day's customers in the order they came and prints
// the day's total cost, revenue and profit over their carts.
//
// Totals are not cached: each walks every user and reads a fresh copy of the
// user's cart, so they always match the users held.
class Usercollection {
public:
    Usercollection();
    // Implicit: a collection is nothing but its users.
    Usercollection(std::vector<User> users);
    Usercollection(const Usercollection& other);
    // Gives the strong guarantee: a failed copy leaves the collection as it was.
    Usercollection& operator=(const Usercollection& other);
    ~Usercollection();

    // Appends a copy of the user; a failure leaves the collection as it was.
    void addUser(User user);

    double getTotalCost();
    double getTotalPrice();
    double getTotalProfit();
    // Prints the three totals, one flushed line each, in the stream's default
    // number format followed by " $".
    void displayFinancial();

private:
    double sumOverCarts(double (Cart::*total)());
    void printTotal(const char* label, double (Usercollection::*total)());

    std::vector<User> users;
};
