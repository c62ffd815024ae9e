#include "items/Snack.h"

#include <utility>

Snack::Snack(std::string name, double price, double cost)
    : Food(std::move(name), price, cost), extraCost(2.0) {}

double Snack::totalCost() { return getCost() + extraCost; }
