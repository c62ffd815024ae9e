#include "items/Drink.h"

#include <utility>

Drink::Drink(std::string name, double price, double cost)
    : Food(std::move(name), price, cost), extraCost(1.0) {}

double Drink::totalCost() { return getCost() + extraCost; }
