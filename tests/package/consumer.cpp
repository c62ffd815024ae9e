// Links the restaurant library from outside the project and checks one day.
#include <iostream>

#include "accounts/Usercollection.h"

int main() {
    Cart cart;
    cart.addMaindish(Maindish("Noodle", 8.0, 4.0));
    cart.addDrink(Drink("Juice", 3.0, 1.0));
    Usercollection day;
    day.addUser(User(cart, 1));
    day.displayFinancial();
    return day.getTotalCost() == 9.0 && day.getTotalPrice() == 11.0 ? 0 : 1;
}
