#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

#include "items/Drink.h"
#include "items/Food.h"
#include "items/Maindish.h"
#include "items/Snack.h"

namespace {

// The rules of the item hierarchy, kept by the compiler: breaking one stops
// this file from compiling.
static_assert(std::is_abstract_v<Food>,
              "every item is one of the kinds: no Food can be made, so none can be sliced off");
static_assert(!std::has_virtual_destructor_v<Food>, "items are values, not polymorphic owners");
static_assert(!std::is_destructible_v<Food>,
              "the destructor is not virtual, so nothing may destroy an item through Food");
static_assert(!std::is_copy_assignable_v<Food> && !std::is_move_assignable_v<Food>,
              "assigning through Food would copy the Food part only");

template <typename Item>
constexpr bool isFinalValueKind =
    std::is_base_of_v<Food, Item>&& std::is_final_v<Item> && !std::is_abstract_v<Item> &&
    std::is_destructible_v<Item> && std::is_copy_constructible_v<Item> &&
    std::is_copy_assignable_v<Item> && std::is_nothrow_move_constructible_v<Item> &&
    std::is_nothrow_move_assignable_v<Item> && !std::is_default_constructible_v<Item> &&
    std::is_constructible_v<Item, std::string, double, double>;
static_assert(isFinalValueKind<Maindish> && isFinalValueKind<Snack> && isFinalValueKind<Drink>,
              "each kind is a final value type made from a name, a price and a cost");

template <typename Item>
struct Surcharge;
template <>
struct Surcharge<Maindish> {
    static constexpr double value = 3.0;
};
template <>
struct Surcharge<Snack> {
    static constexpr double value = 2.0;
};
template <>
struct Surcharge<Drink> {
    static constexpr double value = 1.0;
};

template <typename Item>
class ItemTest : public ::testing::Test {};

struct KindName {
    template <typename Item>
    static std::string GetName(int /*index*/) {
        return std::is_same_v<Item, Maindish> ? "Maindish"
               : std::is_same_v<Item, Snack>  ? "Snack"
                                              : "Drink";
    }
};

using ItemKinds = ::testing::Types<Maindish, Snack, Drink>;
TYPED_TEST_SUITE(ItemTest, ItemKinds, KindName);

TYPED_TEST(ItemTest, TotalCostIsTheCurrentCostPlusTheKindsSurchargeAndIgnoresThePrice) {
    const double surcharge = Surcharge<TypeParam>::value;
    TypeParam item("noodle", 8.0, 4.0);
    EXPECT_EQ(item.getName(), "noodle");
    EXPECT_EQ(item.getPrice(), 8.0);
    EXPECT_EQ(item.getCost(), 4.0);
    EXPECT_EQ(item.totalCost(), 4.0 + surcharge);

    item.setCost(6.0);
    EXPECT_EQ(item.getCost(), 6.0);
    EXPECT_EQ(item.totalCost(), 6.0 + surcharge);

    item.setPrice(10.0);
    EXPECT_EQ(item.getPrice(), 10.0);
    EXPECT_EQ(item.totalCost(), 6.0 + surcharge);
}

TYPED_TEST(ItemTest, AnswersThroughAFoodReferenceWithItsOwnKindsSurcharge) {
    TypeParam item("soup", 2.0, -1.5);
    Food& food = item;
    EXPECT_EQ(food.totalCost(), -1.5 + Surcharge<TypeParam>::value);
}

TYPED_TEST(ItemTest, CopiesShareNothingWithTheirSourceAndKeepTheSurcharge) {
    TypeParam source("a name long enough to live outside the small string buffer", 8.0, 4.0);
    TypeParam copy = source;
    EXPECT_EQ(copy.totalCost(), source.totalCost());

    copy.setCost(0.0);
    copy.setName("Other");
    copy.setPrice(1.0);
    EXPECT_EQ(copy.totalCost(), Surcharge<TypeParam>::value);
    EXPECT_EQ(source.getName(), "a name long enough to live outside the small string buffer");
    EXPECT_EQ(source.getPrice(), 8.0);
    EXPECT_EQ(source.totalCost(), 4.0 + Surcharge<TypeParam>::value);

    TypeParam assigned("x", 0.0, 0.0);
    assigned = source;
    source.setName("changed after assignment");
    EXPECT_EQ(assigned.getName(), "a name long enough to live outside the small string buffer");
    EXPECT_EQ(assigned.totalCost(), 4.0 + Surcharge<TypeParam>::value);
}

TYPED_TEST(ItemTest, HandsOutItsNameAsACopy) {
    // A copy by type: a reference handed out would let the caller change
    // the name, whatever a test then does with it.
    static_assert(std::is_same_v<decltype(std::declval<TypeParam&>().getName()), std::string>);
    TypeParam item("juice", 1.0, 1.0);
    item.setName("Juice");
    std::string name = item.getName();
    name[0] = 'X';
    EXPECT_EQ(item.getName(), "Juice");

    item.setName("");
    EXPECT_EQ(item.getName(), "");
}

TYPED_TEST(ItemTest, StoresAnyDoubleUncheckedAndFollowsDoubleArithmetic) {
    const double inf = std::numeric_limits<double>::infinity();
    TypeParam item("odd", -3.0, std::nan(""));
    EXPECT_EQ(item.getPrice(), -3.0);
    EXPECT_TRUE(std::isnan(item.getCost()));
    EXPECT_TRUE(std::isnan(item.totalCost()));

    item.setCost(-inf);
    EXPECT_EQ(item.totalCost(), -inf);
    item.setPrice(inf);
    EXPECT_EQ(item.getPrice(), inf);
    item.setCost(0.0);
    EXPECT_EQ(item.totalCost(), Surcharge<TypeParam>::value);
}

}  // namespace
