#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "accounts/Usercollection.h"
#include "tests/CoutCapture.h"

namespace {

class UsercollectionTest : public CoutCapture {
protected:
    // A user whose cart holds one drink with that price and cost, so the
    // cart's total cost is cost + 1.
    static User drinker(std::int32_t id, double price, double cost) {
        Cart cart;
        cart.addDrink(Drink("Drink", price, cost));
        return User(cart, id);
    }

    std::string reportOf(Usercollection& day) {
        output();
        day.displayFinancial();
        EXPECT_TRUE(everyLineFlushed());
        return output();
    }

    static std::string report(const std::string& cost, const std::string& revenue,
                              const std::string& profit) {
        return "Today's total cost is " + cost + " $\nToday's total revenue is  " + revenue +
               " $\nToday's total Profit is  " + profit + " $\n";
    }
};

TEST_F(UsercollectionTest, AnEmptyDayReportsZeroes) {
    Usercollection day;
    EXPECT_EQ(reportOf(day), report("0", "0", "0"));
    Usercollection fromNothing(std::vector<User>{});
    EXPECT_EQ(reportOf(fromNothing), report("0", "0", "0"));
}

TEST_F(UsercollectionTest, SumsEveryUsersCartInOrderAndCountsAUserAddedTwiceTwice) {
    Usercollection day;
    User regular = drinker(1, 10.0, 3.0);
    day.addUser(regular);
    day.addUser(regular);
    day.addUser(drinker(2, 5.5, 0.0));
    EXPECT_EQ(day.getTotalCost(), 4.0 + 4.0 + 1.0);
    EXPECT_EQ(day.getTotalPrice(), 25.5);
    EXPECT_EQ(day.getTotalProfit(), 6.0 + 6.0 + 4.5);
    EXPECT_EQ(reportOf(day), report("9", "25.5", "16.5"));
    EXPECT_EQ(reportOf(day), report("9", "25.5", "16.5"));
}

TEST_F(UsercollectionTest, KeepsItsOwnCopiesOfTheUsers) {
    User later = drinker(1, 10.0, 3.0);
    std::vector<User> users{drinker(2, 1.0, 0.0)};
    Usercollection day(users);
    day.addUser(later);
    later.setCart(Cart());
    users.push_back(later);
    users[0].setCart(Cart());
    EXPECT_EQ(day.getTotalPrice(), 11.0);
    EXPECT_EQ(reportOf(day), report("5", "11", "6"));
}

TEST_F(UsercollectionTest, PrintsTotalsInTheStreamsDefaultFormat) {
    // Costs 0.1 and 0.2 come from drinks costing -0.9 and -0.8.
    Usercollection day({drinker(1, 1234567.0, -0.9), drinker(2, 0.5, -0.8)});
    EXPECT_EQ(day.getTotalCost(), (-0.9 + 1.0) + (-0.8 + 1.0));
    EXPECT_EQ(reportOf(day), report("0.3", "1.23457e+06", "1.23457e+06"));
}

}  // namespace
