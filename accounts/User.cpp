#include "accounts/User.h"

#include <utility>

User::User(std::int32_t id) : id(id) {}

// Cart has no move operations; swapping takes it over without a copy.
User::User(Cart cart, std::int32_t id) : id(id) { this->cart.swap(cart); }

User::User(const User& other) = default;

User& User::operator=(const User& other) {
    User copy(other);
    swap(copy);
    return *this;
}

User::~User() = default;

std::int32_t User::getId() { return id; }

Cart User::getCart() { return cart; }

void User::setCart(Cart newCart) { cart.swap(newCart); }

void User::swap(User& other) noexcept {
    cart.swap(other.cart);
    std::swap(id, other.id);
}
