#include "items/Maindish.h"

#include <utility>

Maindish::Maindish(std::string name, double price, double cost)
    : Food(std::move(name), price, cost), extraCost(3.0) {}

double Maindish::totalCost() { return getCost() + extraCost; }
