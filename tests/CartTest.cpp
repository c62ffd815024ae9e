#include <gtest/gtest.h>
#include <string>
#include <type_traits>
#include <utility>

#include "accounts/Cart.h"
#include "accounts/User.h"
#include "tests/CoutCapture.h"

namespace {

class CartTest : public CoutCapture {
protected:
    // Prices 12 + 4 + 2.5 = 18.5; costs (5 + 3) + (1 + 2) + (0.5 + 1) = 12.5.
    static Cart lunch() {
        Cart cart;
        cart.addMaindish(Maindish("Noodle soup with beef", 12.0, 5.0));
        cart.addSnack(Snack("Spring rolls", 4.0, 1.0));
        cart.addDrink(Drink("Jasmine tea", 2.5, 0.5));
        return cart;
    }

    std::string orderOf(Cart& cart) {
        output();
        cart.displayOrder();
        EXPECT_TRUE(everyLineFlushed());
        return output();
    }
};

const char* const lunchOrder =
    "Your have ordered the following maindishes : \n1. Noodle soup with beef\n"
    "The total price of maindishes is : 12 $\n\n"
    "Your have ordered the following snacks : \n1. Spring rolls\n"
    "The total price of snack is : 4 $\n\n"
    "Your have ordered the following drinks and soups : \n1. Jasmine tea\n"
    "The total price of drinks and soup are : 2.5 $\n\n";

TEST_F(CartTest, SumsItsThreeListsAndPrintsTheirOrdersInTurn) {
    Cart cart = lunch();
    EXPECT_EQ(cart.getTotalPrice(), 18.5);
    EXPECT_EQ(cart.getTotalCost(), 12.5);
    EXPECT_EQ(cart.getTotalProfit(), 6.0);
    EXPECT_EQ(orderOf(cart), lunchOrder);

    cart.removeSnack(2);
    EXPECT_EQ(output(), "Please check your input number\n");
    cart.removeSnack(1);
    cart.removeDrink(1);
    cart.removeMaindish(1);
    EXPECT_EQ(cart.getTotalPrice(), 0.0);
    EXPECT_EQ(cart.getTotalCost(), 0.0);
    EXPECT_EQ(cart.getTotalProfit(), 0.0);
}

TEST_F(CartTest, ATakenOverListKeepsItsItemsAndTheCallersStaysWhole) {
    Drinklist drinks;
    drinks.addDrink(Drink("Lemonade", 3.0, 1.0));
    Cart cart(Maindishlist(), Snacklist(), drinks);
    drinks.cleanList();
    EXPECT_EQ(cart.getTotalPrice(), 3.0);
    EXPECT_EQ(cart.getTotalCost(), 2.0);
}

TEST_F(CartTest, CopiesAndAssignmentsShareNothingWithTheirSource) {
    Cart empty;
    Cart emptyCopy(empty);
    emptyCopy = empty;
    EXPECT_EQ(emptyCopy.getTotalPrice(), 0.0);

    Cart source = lunch();
    Cart copy(source);
    Cart assigned;
    assigned = source;
    source.addDrink(Drink("Water", 1.0, 0.0));
    source.removeMaindish(1);
    EXPECT_EQ(orderOf(copy), lunchOrder);
    EXPECT_EQ(orderOf(assigned), lunchOrder);

    Cart& self = assigned;
    assigned = self;
    EXPECT_EQ(orderOf(assigned), lunchOrder);
}

TEST_F(CartTest, AUsersCartIsHandedOutAsAFreshCopyEachTime) {
    static_assert(std::is_same_v<decltype(std::declval<User&>().getCart()), Cart>,
                  "the cart is handed out by value, never as a reference into the user");
    User user(lunch(), 7);
    Cart handedOut = user.getCart();
    handedOut.addSnack(Snack("Extra", 100.0, 0.0));
    handedOut = Cart();
    EXPECT_EQ(user.getCart().getTotalPrice(), 18.5);
    EXPECT_EQ(user.getCart().getTotalPrice(), 18.5);
    EXPECT_EQ(user.getId(), 7);

    user.setCart(Cart());
    EXPECT_EQ(user.getCart().getTotalPrice(), 0.0);
    EXPECT_EQ(User(3).getCart().getTotalCost(), 0.0);
}

TEST_F(CartTest, AssigningAUserReplacesCartAndIdAndLeavesTheSourceAlone) {
    User source(lunch(), 1);
    User target(2);
    target = source;
    EXPECT_EQ(target.getId(), 1);
    Cart targetCart = target.getCart();
    EXPECT_EQ(orderOf(targetCart), lunchOrder);

    target.setCart(Cart());
    EXPECT_EQ(source.getCart().getTotalPrice(), 18.5);

    User copy(source);
    source.setCart(Cart());
    EXPECT_EQ(copy.getCart().getTotalPrice(), 18.5);
    EXPECT_EQ(copy.getId(), 1);

    User extreme(INT32_MIN);
    User other(INT32_MAX);
    other = extreme;
    EXPECT_EQ(other.getId(), INT32_MIN);
}

}  // namespace
