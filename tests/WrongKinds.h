#pragma once

#include <string>
#include <utility>

#include "items/Food.h"

// Kinds of item that break the rules on purpose, for the check programs'
// tests.

// A kind whose surcharge is off by one.
class WrongSurcharge final : public Food {
public:
    WrongSurcharge(std::string name, double price, double cost)
        : Food(std::move(name), price, cost) {}
    double totalCost() override { return getCost() + 2.0; }
};

// A kind whose cost and name never change after construction.
class Frozen final : public Food {
public:
    Frozen(std::string name, double price, double cost) : Food(std::move(name), price, cost) {}
    void setCost(double /*ignored*/) {}
    void setName(const std::string& /*ignored*/) {}
    double totalCost() override { return getCost() + 1.0; }
};
