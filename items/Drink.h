#pragma once

#include <string>

#include "items/Food.h"

// Drink is a drink or a soup on the menu; its total cost is its cost plus a fixed 1.0 surcharge.
class Drink final : public Food {
public:
    Drink(std::string name, double price, double cost);

    double totalCost() override;

private:
    double extraCost;
};
