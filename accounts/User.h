#pragma once

#include <cstdint>

#include "accounts/Cart.h"

// User is one customer of the day: an id and the customer's cart. It is a
// plain value; a copy shares nothing with its source.
class User {
public:
    explicit User(std::int32_t id);
    User(Cart cart, std::int32_t id);
    User(const User& other);
    // Gives the strong guarantee: a failed copy leaves the user as it was.
    User& operator=(const User& other);
    ~User();

    std::int32_t getId();
    // Returns a fresh copy of the cart; changing it leaves the user alone.
    Cart getCart();
    void setCart(Cart cart);

    void swap(User& other) noexcept;

private:
    Cart cart;
    std::int32_t id;
};
