#include "items/Food.h"

#include <utility>

Food::Food(std::string name, double price, double cost)
    : name(std::move(name)), price(price), cost(cost) {}

Food::Food(const Food& other) = default;

Food& Food::operator=(const Food& other) = default;

Food::Food(Food&& other) noexcept = default;

Food& Food::operator=(Food&& other) noexcept = default;

Food::~Food() = default;

std::string Food::getName() { return name; }

void Food::setName(std::string newName) { name = std::move(newName); }

double Food::getPrice() { return price; }

void Food::setPrice(double newPrice) { price = newPrice; }

double Food::getCost() { return cost; }

void Food::setCost(double newCost) { cost = newCost; }
