#pragma once

#include <string>

#include "items/Food.h"

// Snack is a snack on the menu; its total cost is its cost plus a fixed 2.0 surcharge.
class Snack final : public Food {
public:
    Snack(std::string name, double price, double cost);

    double totalCost() override;

private:
    double extraCost;
};
