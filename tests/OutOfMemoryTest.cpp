// Every operation of the library that allocates is run again and again with
// its first, its second, its third ... allocation failing, until it runs
// through. After each failure std::bad_alloc must have reached the caller,
// the object must look exactly as before the call, and nothing may leak.
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "testing/AddToList.h"
#include "testing/AllocationCounter.h"
#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"

#include "accounts/Usercollection.h"

namespace {

// Names longer than any small-string buffer, so every copy allocates.
std::string longName(const char* what) { return std::string(what) + " with a long, long name"; }

template <typename List, typename Item>
List listOf(int count, const char* name = "Item") {
    List list;
    for (int at = 1; at <= count; ++at) {
        addTo(list, Item(longName(name) + std::to_string(at), at, at / 2.0));
    }
    return list;
}

Cart cartOf(int perKind) {
    return Cart(listOf<Maindishlist, Maindish>(perKind), listOf<Snacklist, Snack>(perKind),
                listOf<Drinklist, Drink>(perKind));
}

// What can be seen of each object from outside, made while nothing fails.
template <typename List>
std::string describe(List& list) {
    std::ostringstream seen;
    CoutRedirect redirect(seen.rdbuf());
    list.displayMenu();
    auto first = list.order(1);
    seen << list.totalPrice() << ' ' << list.totalCost() << ' ' << (first ? first->getName() : "");
    return seen.str();
}
std::string describe(Cart& cart) {
    std::ostringstream seen;
    {
        CoutRedirect redirect(seen.rdbuf());
        cart.displayOrder();
    }
    seen << cart.getTotalCost() << ' ' << cart.getTotalPrice() << ' ' << cart.getTotalProfit();
    return seen.str();
}
std::string describe(User& user) {
    Cart cart = user.getCart();
    return std::to_string(user.getId()) + ' ' + describe(cart);
}
std::string describe(Usercollection& day) {
    std::ostringstream seen;
    CoutRedirect redirect(seen.rdbuf());
    day.displayFinancial();
    return seen.str();
}
template <typename Object>
std::string describe(std::optional<Object>& object) {
    return object ? "made " + describe(*object) : "none";
}

std::size_t failurePointsSwept = 0;

// What one failed allocation did: whether it was injected, whether
// bad_alloc came out, and whether the object looked as before.
struct Failed {
    bool injected = false;
    bool threw = false;
    bool unchanged = true;
};

// Runs `operation` on a fresh object from `make` with its nth allocation
// failing. Output goes nowhere while failures are injected: a stream that
// allocated would add failure points of its own, and one that failed would
// go bad.
template <typename Make, typename Operation>
Failed failNth(std::size_t nth, Make& make, Operation& operation, DiscardBuffer& discard) {
    Failed failed;
    auto object = [&] {
        CoutRedirect silence(&discard);
        return make();
    }();
    const std::string seenBefore = describe(object);
    {
        CoutRedirect silence(&discard);
        AllocationCounter::Failure failure(nth);
        try {
            operation(object);
        } catch (const std::bad_alloc&) {
            failed.threw = true;
        }
        failed.injected = AllocationCounter::injected();
    }
    if (failed.injected) {
        const std::string seenAfter = describe(object);
        EXPECT_EQ(seenAfter, seenBefore) << "allocation " << nth << " failed and left a change";
        failed.unchanged = seenAfter == seenBefore;
    }
    return failed;
}

// Runs `operation` on a fresh object from `make`, failing its nth allocation
// for n = 1, 2, ... until it runs through without reaching the nth.
template <typename Make, typename Operation>
void sweep(const char* what, Make make, Operation operation) {
    SCOPED_TRACE(what);
    DiscardBuffer discard;
    for (std::size_t nth = 1;; ++nth) {
        const std::size_t liveBefore = AllocationCounter::live();
        const Failed failed = failNth(nth, make, operation, discard);
        const std::size_t liveAfter = AllocationCounter::live();
        if (!failed.injected) {
            EXPECT_FALSE(failed.threw);
            EXPECT_EQ(liveAfter, liveBefore) << "the operation ran through and leaked";
            EXPECT_GT(nth, 1U) << "the operation allocates nothing, so the sweep proves nothing";
            return;
        }
        ++failurePointsSwept;
        ASSERT_TRUE(failed.threw) << "allocation " << nth << " failed, yet no bad_alloc came out";
        ASSERT_TRUE(failed.unchanged);
        ASSERT_EQ(liveAfter, liveBefore) << "allocation " << nth << " failed and leaked";
    }
}

template <typename List, typename Item>
void sweepList(const char* name) {
    const Item item(longName("Added"), 9.0, 4.0);
    const std::vector<Item> items{Item(longName("One"), 1.0, 1.0), Item(longName("Two"), 2, 1)};
    const List source = listOf<List, Item>(4);
    for (int held : {0, 3, 4}) {  // 3 items leave spare capacity, 0 and 4 none
        sweep((std::string(name) + " add to " + std::to_string(held)).c_str(),
              [&] { return listOf<List, Item>(held); }, [&](List& list) { addTo(list, item); });
    }
    sweep(
        "from a vector", [] { return std::optional<List>(); },
        [&](std::optional<List>& list) { list.emplace(items); });
    sweep(
        "copy construction", [] { return std::optional<List>(); },
        [&](std::optional<List>& list) { list.emplace(source); });
    sweep(
        "copy assignment", [] { return listOf<List, Item>(2); },
        [&](List& list) { list = source; });
    // Room for every item but not for the longer names: an assignment in
    // place would fail part way.
    sweep(
        "copy assignment in place", [] { return listOf<List, Item>(4, "I"); },
        [&](List& list) { list = source; });
    sweep(
        "order", [] { return listOf<List, Item>(2); }, [](List& list) { (void)list.order(2); });
}

TEST(OutOfMemory, ListsGiveTheStrongGuaranteeAndLeakNothing) {
    sweepList<Maindishlist, Maindish>("Maindishlist");
    sweepList<Snacklist, Snack>("Snacklist");
    sweepList<Drinklist, Drink>("Drinklist");
}

TEST(OutOfMemory, CartsAndUsersGiveTheStrongGuaranteeAndLeakNothing) {
    const Cart full = cartOf(3);
    const User regular(cartOf(2), 42);
    sweep(
        "cart copy", [] { return std::optional<Cart>(); },
        [&](std::optional<Cart>& cart) { cart.emplace(full); });
    sweep(
        "cart assignment", [] { return cartOf(1); }, [&](Cart& cart) { cart = full; });
    sweep(
        "cart add", [] { return cartOf(2); },
        [](Cart& cart) { cart.addSnack(Snack(longName("Extra"), 1, 1)); });
    sweep(
        "user copy", [] { return std::optional<User>(); },
        [&](std::optional<User>& user) { user.emplace(regular); });
    sweep(
        "user assignment", [] { return User(cartOf(1), 7); }, [&](User& user) { user = regular; });
    sweep(
        "user cart", [] { return User(cartOf(3), 7); }, [&](User& user) { (void)user.getCart(); });
    sweep(
        "user new cart", [] { return User(cartOf(1), 7); },
        [&](User& user) { user.setCart(full); });
}

Usercollection dayOf(int users) {
    Usercollection day;
    for (int id = 1; id <= users; ++id) {
        day.addUser(User(cartOf(id % 3 + 1), id));
    }
    return day;
}

TEST(OutOfMemory, TheDaysAccountsGiveTheStrongGuaranteeAndLeakNothing) {
    const User regular(cartOf(2), 42);
    const std::vector<User> users{User(cartOf(1), 1), User(cartOf(2), 2)};
    // 3 users leave room in the vector; 0 and 4 make it grow, copying every user.
    for (int held : {0, 3, 4}) {
        sweep(("addUser to " + std::to_string(held)).c_str(), [=] { return dayOf(held); },
              [&](Usercollection& day) { day.addUser(regular); });
    }
    sweep(
        "from a vector", [] { return std::optional<Usercollection>(); },
        [&](std::optional<Usercollection>& day) { day.emplace(users); });
    sweep(
        "copy", [] { return std::optional<Usercollection>(); },
        [](std::optional<Usercollection>& day) { day.emplace(dayOf(3)); });
    const Usercollection bigger = dayOf(4);
    sweep(
        "copy assignment", [] { return dayOf(2); }, [&](Usercollection& day) { day = bigger; });
    sweep(
        "total cost", [] { return dayOf(3); },
        [](Usercollection& day) { (void)day.getTotalCost(); });
    sweep(
        "total price", [] { return dayOf(3); },
        [](Usercollection& day) { (void)day.getTotalPrice(); });
    sweep(
        "total profit", [] { return dayOf(3); },
        [](Usercollection& day) { (void)day.getTotalProfit(); });
    sweep(
        "report", [] { return dayOf(3); }, [](Usercollection& day) { day.displayFinancial(); });
}

class CountReport : public ::testing::Environment {
public:
    void TearDown() override {
        std::cout << "Out-of-memory sweep: " << failurePointsSwept << " failure points exercised"
                  << std::endl;
    }
};
const auto* const countReport = ::testing::AddGlobalTestEnvironment(new CountReport);

}  // namespace
