#pragma once

#include <string>

#include "items/Food.h"

// Maindish is a main dish on the menu; its total cost is its cost plus a fixed 3.0 surcharge.
class Maindish final : public Food {
public:
    Maindish(std::string name, double price, double cost);

    double totalCost() override;

private:
    double extraCost;
};
