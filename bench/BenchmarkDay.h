#pragma once

#include <cstdint>
#include <string>

#include "accounts/Usercollection.h"

// A day of `users` customers, each with `perKind` items of every kind, the
// same for every benchmark so that figures compare across runs.
inline Usercollection benchmarkDay(int users, int perKind) {
    Usercollection day;
    for (int id = 1; id <= users; ++id) {
        Cart cart;
        for (int item = 0; item < perKind; ++item) {
            cart.addMaindish(Maindish("Beef noodle soup", 12.5 + item, 5.0));
            cart.addSnack(Snack("Spring rolls", 4.5, 1.5 + item));
            cart.addDrink(Drink("Orange juice", 3.0, 1.0));
        }
        day.addUser(User(cart, static_cast<std::int32_t>(id)));
    }
    return day;
}
