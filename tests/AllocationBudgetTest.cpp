// Counts the heap allocations of the operations whose copies are part of
// their contract, so a change that adds a copy turns this red.
#include <cstddef>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "testing/AllocationCounter.h"
#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"

#include "accounts/Usercollection.h"

namespace {

const std::string longName = "A name too long for any small-string buffer";

// Output goes to a buffer that never allocates.
class AllocationBudgetTest : public ::testing::Test {
protected:
    // Returns how many allocations `operation` makes.
    template <typename Operation>
    static std::size_t allocationsOf(Operation operation) {
        const std::size_t before = AllocationCounter::made();
        operation();
        return AllocationCounter::made() - before;
    }

    // Two main dishes with long names and one snack with a short one: a copy
    // of this cart allocates two vectors and two names, four in all.
    static Cart twoDishesAndASnack() {
        Cart cart;
        cart.addMaindish(Maindish(longName, 9.0, 4.0));
        cart.addMaindish(Maindish(longName, 7.0, 3.0));
        cart.addSnack(Snack("Chips", 3.0, 1.0));
        return cart;
    }
    static constexpr std::size_t cartCopy = 4;

private:
    DiscardBuffer discard;
    CoutRedirect silence{&discard};
};

TEST_F(AllocationBudgetTest, EachTotalCopiesEveryUsersCartOnceAndTheReportThrice) {
    constexpr std::size_t users = 50;
    Usercollection day;
    for (std::size_t id = 0; id < users; ++id) {
        day.addUser(User(twoDishesAndASnack(), static_cast<std::int32_t>(id)));
    }
    EXPECT_EQ(allocationsOf([&] { (void)day.getTotalCost(); }), users * cartCopy);
    EXPECT_EQ(allocationsOf([&] { (void)day.getTotalPrice(); }), users * cartCopy);
    EXPECT_EQ(allocationsOf([&] { (void)day.getTotalProfit(); }), users * cartCopy);
    EXPECT_EQ(allocationsOf([&] { day.displayFinancial(); }), 3 * users * cartCopy);
}

TEST_F(AllocationBudgetTest, AddingAUserCopiesItOnceWhenThereIsRoom) {
    std::vector<User> first;
    first.reserve(4);
    first.emplace_back(twoDishesAndASnack(), 1);
    Usercollection day(std::move(first));
    const User regular(twoDishesAndASnack(), 2);
    EXPECT_EQ(allocationsOf([&] { day.addUser(regular); }), cartCopy);
    EXPECT_EQ(allocationsOf([&] { day.addUser(User(twoDishesAndASnack(), 3)); }),
              allocationsOf([] { (void)twoDishesAndASnack(); }));
}

TEST_F(AllocationBudgetTest, ListsCopyOnlyWhatTheyHandOut) {
    Maindishlist list;
    list.addMaindish(Maindish(longName, 9.0, 4.0));
    list.addMaindish(Maindish("Soup", 5.0, 2.0));
    list.addMaindish(Maindish(longName, 7.0, 3.0));

    EXPECT_EQ(allocationsOf([&] { (void)list.order(1); }), 1U);
    EXPECT_EQ(allocationsOf([&] { (void)list.order(2); }), 0U);
    // getName hands out a copy, which allocates for the two long names only.
    EXPECT_EQ(allocationsOf([&] { list.displayMenu(); }), 2U);
    EXPECT_EQ(allocationsOf([&] { list.displayOrder(); }), 2U);
    EXPECT_EQ(allocationsOf([&] {
                  (void)list.totalPrice();
                  (void)list.totalCost();
                  (void)list.order(0);
                  (void)list.order(4);
                  list.removeSearialNumber(-1);
                  list.removeSearialNumber(2);
              }),
              0U);

    const Maindish added(longName, 1.0, 1.0);
    EXPECT_EQ(allocationsOf([&] { list.addMaindish(added); }), 1U);  // room for a third
}

}  // namespace
