#pragma once

#include <string>

// Food is the common base of every menu item: a name, a selling price and the
// restaurant's own cost, with a total cost that each kind of item works out.
//
// Items are values held as their concrete kind. The destructor and the copy
// operations are protected, so an item can be neither destroyed nor assigned
// through a `Food` pointer or reference, which keeps the non-virtual destructor
// safe and rules out slicing. Moving never throws, so lists of items can grow
// and close gaps without copying a name.
class Food {
public:
    Food(std::string name, double price, double cost);

    std::string getName();
    void setName(std::string newName);
    double getPrice();
    void setPrice(double newPrice);
    // Returns the cost without the kind's surcharge.
    double getCost();
    void setCost(double newCost);

    // Returns the cost plus the kind's surcharge, worked out at each call.
    virtual double totalCost() = 0;

protected:
    Food(const Food& other);
    Food& operator=(const Food& other);
    Food(Food&& other) noexcept;
    Food& operator=(Food&& other) noexcept;
    ~Food();

private:
    std::string name;
    double price;
    double cost;
};
