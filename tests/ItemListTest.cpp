#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "testing/AddToList.h"

#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"
#include "tests/CoutCapture.h"

namespace {

// What tells the three lists apart: item kind, texts, surcharge.
template <typename List>
struct Traits;

template <>
struct Traits<Drinklist> {
    using Item = Drink;
    static constexpr const char* menuHeader = "We have following drinks and soups : \n";
    static constexpr const char* orderHeader =
        "Your have ordered the following drinks and soups : \n";
    static constexpr const char* totalLabel = "The total price of drinks and soup are : ";
    static constexpr double surcharge = 1.0;
};

template <>
struct Traits<Maindishlist> {
    using Item = Maindish;
    static constexpr const char* menuHeader = "We offer following maindishes : \n";
    static constexpr const char* orderHeader = "Your have ordered the following maindishes : \n";
    static constexpr const char* totalLabel = "The total price of maindishes is : ";
    static constexpr double surcharge = 3.0;
};

template <>
struct Traits<Snacklist> {
    using Item = Snack;
    static constexpr const char* menuHeader = "We offer following snacks : \n";
    static constexpr const char* orderHeader = "Your have ordered the following snacks : \n";
    static constexpr const char* totalLabel = "The total price of snack is : ";
    static constexpr double surcharge = 2.0;
};

template <typename List>
class ItemListTest : public CoutCapture {
protected:
    using Item = typename Traits<List>::Item;
    static constexpr double surcharge = Traits<List>::surcharge;

    static List juiceAndSoup() {
        List list;
        addTo(list, Item("Juice", 2.5, 1.5));
        addTo(list, Item("Soup", 4.0, 2.0));
        return list;
    }

    std::string menuOf(List& list) {
        output();
        list.displayMenu();
        EXPECT_TRUE(everyLineFlushed());
        return output();
    }

    std::string orderOf(List& list) {
        output();
        list.displayOrder();
        EXPECT_TRUE(everyLineFlushed());
        return output();
    }

    static std::string menu(const std::string& lines) { return Traits<List>::menuHeader + lines; }
    static std::string order(const std::string& lines, const std::string& total) {
        return Traits<List>::orderHeader + lines + Traits<List>::totalLabel + total + " $\n\n";
    }
};

struct ListName {
    template <typename List>
    static std::string GetName(int /*index*/) {
        return std::is_same_v<List, Drinklist>      ? "Drinklist"
               : std::is_same_v<List, Maindishlist> ? "Maindishlist"
                                                    : "Snacklist";
    }
};

using Lists = ::testing::Types<Drinklist, Maindishlist, Snacklist>;
TYPED_TEST_SUITE(ItemListTest, Lists, ListName);

TYPED_TEST(ItemListTest, AnEmptyListPrintsItsHeadersAndAZeroTotalAndRejectsEveryNumber) {
    TypeParam list;
    EXPECT_EQ(this->menuOf(list), this->menu(""));
    EXPECT_EQ(this->orderOf(list), this->order("", "0"));
    EXPECT_EQ(list.totalPrice(), 0.0);
    EXPECT_EQ(list.totalCost(), 0.0);

    for (int serialNumber : {1, 0, -1}) {
        list.removeSearialNumber(serialNumber);
        EXPECT_EQ(this->output(), "Please check your input number\n");
        EXPECT_FALSE(list.order(serialNumber).has_value());
        EXPECT_TRUE(this->everyLineFlushed());
        EXPECT_EQ(this->output(), "Please check your input\n");
    }
}

TYPED_TEST(ItemListTest, PrintsANumberedMenuAndAnOrderWithItsTotalPrice) {
    TypeParam list = this->juiceAndSoup();
    EXPECT_EQ(this->menuOf(list), this->menu("1. Juice 2.5$\n2. Soup 4$\n"));
    EXPECT_EQ(this->orderOf(list), this->order("1. Juice\n2. Soup\n", "6.5"));
    EXPECT_EQ(list.totalPrice(), 6.5);
    EXPECT_EQ(list.totalCost(), 1.5 + this->surcharge + 2.0 + this->surcharge);

    // Names print as stored, prices in the stream's default six-digit format.
    using Item = typename TestFixture::Item;
    addTo(list, Item("", 1234567.5, 0.0));
    addTo(list, Item("Two words", 0.1 + 0.2, 0.0));
    EXPECT_EQ(this->menuOf(list),
              this->menu("1. Juice 2.5$\n2. Soup 4$\n3.  1.23457e+06$\n4. Two words 0.3$\n"));
}

TYPED_TEST(ItemListTest, RejectsSerialNumbersOutsideTheListAndChangesNothing) {
    TypeParam list = this->juiceAndSoup();
    const std::string menuBefore = this->menuOf(list);

    for (int serialNumber : {0, 3, -1, INT_MIN, INT_MAX, INT_MIN + 1}) {
        SCOPED_TRACE(serialNumber);
        EXPECT_FALSE(list.order(serialNumber).has_value());
        EXPECT_EQ(this->output(), "Please check your input\n");
        list.removeSearialNumber(serialNumber);
        EXPECT_EQ(this->output(), "Please check your input number\n");
        EXPECT_EQ(this->menuOf(list), menuBefore);
    }

    using Item = typename TestFixture::Item;
    static_assert(std::is_same_v<decltype(list.order(2)), std::optional<Item>>,
                  "order hands out a copy of the item, never a reference into the list");
    auto soup = list.order(2);
    ASSERT_TRUE(soup.has_value());
    EXPECT_EQ(soup->getName(), "Soup");
    EXPECT_EQ(soup->totalCost(), 2.0 + this->surcharge);
    EXPECT_EQ(this->output(), "");
}

TYPED_TEST(ItemListTest, RemovalMovesLaterItemsUpAndCleaningEmptiesTheList) {
    using Item = typename TestFixture::Item;
    TypeParam list = this->juiceAndSoup();
    addTo(list, Item("Tea", 1.0, 0.5));

    list.removeSearialNumber(2);
    EXPECT_EQ(this->menuOf(list), this->menu("1. Juice 2.5$\n2. Tea 1$\n"));
    list.removeSearialNumber(1);
    EXPECT_EQ(this->menuOf(list), this->menu("1. Tea 1$\n"));
    EXPECT_EQ(list.order(1)->getName(), "Tea");
    EXPECT_EQ(list.totalCost(), 0.5 + this->surcharge);

    list.cleanList();
    EXPECT_EQ(this->menuOf(list), this->menu(""));
    EXPECT_EQ(list.totalPrice(), 0.0);
    EXPECT_EQ(list.totalCost(), 0.0);

    addTo(list, Item("Again", 3.0, 1.0));
    EXPECT_EQ(this->menuOf(list), this->menu("1. Again 3$\n"));
}

TYPED_TEST(ItemListTest, CopiesInAndOutShareNothingWithTheirSource) {
    using Item = typename TestFixture::Item;
    std::vector<Item> items{Item("First", 1.0, 1.0), Item("Second", 2.0, 1.0),
                            Item("Third", 3.0, 1.0)};
    TypeParam list(items);
    items[0].setName("Changed");
    items.pop_back();
    EXPECT_EQ(this->menuOf(list), this->menu("1. First 1$\n2. Second 2$\n3. Third 3$\n"));

    auto ordered = list.order(1);
    ordered->setPrice(100.0);
    ordered->setName("Changed");
    EXPECT_EQ(list.order(1)->getName(), "First");
    EXPECT_EQ(list.totalPrice(), 6.0);

    TypeParam copy(list);
    TypeParam assigned = this->juiceAndSoup();
    assigned = list;
    list.removeSearialNumber(1);
    list.cleanList();
    const std::string threeItems = this->menu("1. First 1$\n2. Second 2$\n3. Third 3$\n");
    EXPECT_EQ(this->menuOf(copy), threeItems);
    EXPECT_EQ(this->menuOf(assigned), threeItems);

    auto& self = assigned;
    assigned = self;
    EXPECT_EQ(this->menuOf(assigned), threeItems);

    Item added("Added", 1.0, 1.0);
    addTo(copy, added);
    added.setName("Renamed");
    EXPECT_EQ(copy.order(4)->getName(), "Added");
}

}  // namespace
