// Drives all three item lists with random operations and checks each step
// against a plain vector: contents, the exact menu and order text, totals,
// rejections, and what a failed allocation leaves behind.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/CaptureBuffer.h"
#include "fuzz/FuzzCheck.h"
#include "testing/AddToList.h"
#include "testing/AllocationCounter.h"
#include "testing/CoutRedirect.h"

#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"

namespace {

constexpr std::size_t mostItems = 24;

// Returns a serial number, most often one at or just past the edges.
int serialNumber(FuzzedDataProvider& input, std::size_t items) {
    const int count = static_cast<int>(items);
    return input.PickValueInArray({0, -1, count, count + 1, INT_MIN, INT_MAX, 1, INT_MIN + 1,
                                   static_cast<int>(input.ConsumeIntegral<std::int8_t>())});
}

// Returns an amount of money, sometimes a special one.
double money(FuzzedDataProvider& input) {
    return input.PickValueInArray(
        {0.0, -1.5, 1234567.5, 0.1, input.ConsumeIntegral<std::uint8_t>() / 4.0});
}

struct ModelItem {
    std::string name;
    double price;
    double cost;
};

// The texts and surcharge a model needs to predict each list.
struct Expected {
    const char* menuHeader;
    const char* orderHeader;
    const char* totalLabel;
    double surcharge;
};

template <typename List, typename Item>
class ListUnderTest {
public:
    ListUnderTest(Expected expected, CaptureBuffer& capture)
        : expected(expected), capture(capture) {}

    void step(FuzzedDataProvider& input) {
        switch (input.ConsumeIntegral<std::uint8_t>() % 9) {
            case 0:
                addItem(input);
                break;
            case 1:
                order(serialNumber(input, model.size()));
                break;
            case 2:
                remove(serialNumber(input, model.size()));
                break;
            case 3:
                list.cleanList();
                model.clear();
                break;
            case 4:
                copyAndChangeTheCopy(input);
                break;
            case 5:
                assignFrom(input);
                break;
            case 6:
                replaceFromVector(input);
                break;
            case 7:
                list.displayOrder();
                FUZZ_CHECK(said() == orderText(model));
                break;
            default:
                break;
        }
        check(list, model);
    }

private:
    ModelItem modelItem(FuzzedDataProvider& input) {
        ModelItem item{input.ConsumeRandomLengthString(40), money(input), money(input)};
        return item;
    }
    static Item itemOf(const ModelItem& item) { return Item(item.name, item.price, item.cost); }

    std::string said() {
        FUZZ_CHECK(std::cout.good());
        std::string text = capture.text();
        capture.clear();
        return text;
    }

    // Fails the nth allocation of `operation` for some inputs; returns
    // whether the operation ran through.
    template <typename Operation>
    bool maybeFailing(FuzzedDataProvider& input, Operation operation) {
        const std::uint8_t choice = input.ConsumeIntegral<std::uint8_t>();
        if (choice % 4 != 0) {
            operation();
            return true;
        }
        const std::size_t liveBefore = AllocationCounter::live();
        try {
            AllocationCounter::Failure failure(choice / 4 % 6 + 1);
            operation();
            return true;
        } catch (const std::bad_alloc&) {
            FUZZ_CHECK(AllocationCounter::live() <= liveBefore);
            return false;
        }
    }

    void addItem(FuzzedDataProvider& input) {
        if (model.size() >= mostItems) {
            return;
        }
        ModelItem item = modelItem(input);
        const Item made = itemOf(item);
        if (maybeFailing(input, [&] { addTo(list, made); })) {
            model.push_back(item);
        }
    }

    void order(int serialNumber) {
        std::optional<Item> got = list.order(serialNumber);
        const bool valid =
            serialNumber >= 1 && static_cast<std::size_t>(serialNumber) <= model.size();
        FUZZ_CHECK(got.has_value() == valid);
        FUZZ_CHECK(said() == (valid ? "" : "Please check your input\n"));
        if (valid) {
            const ModelItem& wanted = model[static_cast<std::size_t>(serialNumber) - 1];
            FUZZ_CHECK(got->getName() == wanted.name);
            got->setName("changed");
            got->setCost(got->getCost() + 1.0);
        }
    }

    void remove(int serialNumber) {
        list.removeSearialNumber(serialNumber);
        const bool valid =
            serialNumber >= 1 && static_cast<std::size_t>(serialNumber) <= model.size();
        FUZZ_CHECK(said() == (valid ? "" : "Please check your input number\n"));
        if (valid) {
            model.erase(model.begin() + (serialNumber - 1));
        }
    }

    void copyAndChangeTheCopy(FuzzedDataProvider& input) {
        std::optional<List> copy;
        if (!maybeFailing(input, [&] { copy.emplace(list); })) {
            return;
        }
        check(*copy, model);
        addTo(*copy, Item("extra", 1.0, 1.0));
        copy->removeSearialNumber(1);
        said();
    }

    std::vector<ModelItem> modelItems(FuzzedDataProvider& input) {
        std::vector<ModelItem> items(input.ConsumeIntegral<std::uint8_t>() % 5);
        for (ModelItem& item : items) {
            item = modelItem(input);
        }
        return items;
    }

    void assignFrom(FuzzedDataProvider& input) {
        std::vector<ModelItem> items = modelItems(input);
        List source;
        for (const ModelItem& item : items) {
            addTo(source, itemOf(item));
        }
        if (maybeFailing(input, [&] { list = source; })) {
            model = items;
        }
        source.cleanList();
    }

    void replaceFromVector(FuzzedDataProvider& input) {
        std::vector<ModelItem> items = modelItems(input);
        std::vector<Item> made;
        made.reserve(items.size());
        for (const ModelItem& item : items) {
            made.push_back(itemOf(item));
        }
        if (maybeFailing(input, [&] { list = List(made); })) {
            model = items;
        }
    }

    void check(List& subject, const std::vector<ModelItem>& items) {
        FUZZ_CHECK(said().empty());
        subject.displayMenu();
        FUZZ_CHECK(said() == menuText(items));
        double price = 0.0;
        double cost = 0.0;
        for (const ModelItem& item : items) {
            price = price + item.price;
            cost = cost + (item.cost + expected.surcharge);
        }
        FUZZ_CHECK(sameDouble(subject.totalPrice(), price));
        FUZZ_CHECK(sameDouble(subject.totalCost(), cost));
    }

    static bool sameDouble(double a, double b) { return a == b || (a != a && b != b); }

    std::string menuText(const std::vector<ModelItem>& items) const {
        std::ostringstream text;
        text << expected.menuHeader << '\n';
        for (std::size_t at = 0; at < items.size(); ++at) {
            text << at + 1 << ". " << items[at].name << ' ' << items[at].price << "$\n";
        }
        return text.str();
    }

    std::string orderText(const std::vector<ModelItem>& items) const {
        std::ostringstream text;
        text << expected.orderHeader << '\n';
        double price = 0.0;
        for (std::size_t at = 0; at < items.size(); ++at) {
            text << at + 1 << ". " << items[at].name << '\n';
            price = price + items[at].price;
        }
        text << expected.totalLabel << price << " $\n\n";
        return text.str();
    }

    Expected expected;
    CaptureBuffer& capture;
    List list;
    std::vector<ModelItem> model;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CaptureBuffer capture;
    CoutRedirect redirect(&capture);
    capture.clear();
    {
        FuzzedDataProvider input(data, size);
        ListUnderTest<Maindishlist, Maindish> maindishes(
            {"We offer following maindishes : ", "Your have ordered the following maindishes : ",
             "The total price of maindishes is : ", 3.0},
            capture);
        ListUnderTest<Snacklist, Snack> snacks(
            {"We offer following snacks : ", "Your have ordered the following snacks : ",
             "The total price of snack is : ", 2.0},
            capture);
        ListUnderTest<Drinklist, Drink> drinks(
            {"We have following drinks and soups : ",
             "Your have ordered the following drinks and soups : ",
             "The total price of drinks and soup are : ", 1.0},
            capture);
        while (input.remaining_bytes() > 0) {
            switch (input.ConsumeIntegral<std::uint8_t>() % 3) {
                case 0:
                    maindishes.step(input);
                    break;
                case 1:
                    snacks.step(input);
                    break;
                default:
                    drinks.step(input);
                    break;
            }
        }
    }
    return 0;
}
