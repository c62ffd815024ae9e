// The money of a day beyond prices: a float, discounts by a waiter, one a
// manager approved, a service charge, a tip, a bill in three equal parts, a
// bill paid part in cash and part by card, cash in and out, and the count
// at the close. Every figure is worked out by hand in the comments and
// written out literally; none comes from the till's own formulas.
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

#include "journal/SqliteJournal.h"
#include "reports/ReadCommands.h"
#include "reports/Receipt.h"
#include "reports/Summary.h"
#include "service/DayFigures.h"
#include "service/DayService.h"
#include "tests/TempFolder.h"

namespace {

// Soup 8.00 and steak 24.00, wine 6.00; every price holds 10 % VAT.
Menu bistroMenu() {
    Menu menu;
    menu.add({ItemKind::dish, "Soup", Money::fromCents(800), Money::fromCents(200)});
    menu.add({ItemKind::dish, "Steak", Money::fromCents(2400), Money::fromCents(900)});
    menu.add({ItemKind::drink, "Wine", Money::fromCents(600), Money::fromCents(200)});
    return menu;
}

Money cents(std::int64_t amount) { return Money::fromCents(amount); }

class TheDaysMoney : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        journal = std::make_unique<SqliteJournal>(file("journal.db"), SqliteJournal::Access::till);
        service = std::make_unique<DayService>(
            bistroMenu(), *journal, [] { return 1796760000; }, 1000);
        service->start({}, 1000);
    }

    // Ana waits tables; Mia manages.
    Told asAna(DayCommand command, std::string approver = "") {
        return service->carryOut(std::move(command), "Ana", StaffRole::waiter, std::move(approver));
    }

    void add(const std::string& order, ItemKind kind, std::int64_t number, int count = 1) {
        ASSERT_TRUE(asAna(AddItems{order, kind, {number, ""}, count, "", std::nullopt}).result);
    }

    static PayOrder payment(const std::string& order, const std::string& method) {
        return PayOrder{order, {}, {method, std::nullopt, std::nullopt}, {}, Money(), std::nullopt};
    }

    std::unique_ptr<SqliteJournal> journal;
    std::unique_ptr<DayService> service;
};

TEST_F(TheDaysMoney, AFloatDiscountsChargesTipsPartsAndTheCountAddUpToTheCent) {
    ASSERT_TRUE(asAna(DrawerCash{"open", cents(15000), ""}).result);

    // Table 1: two soups and a wine, 22.00. A waiter may give 10 %, 2.20.
    add("1", ItemKind::dish, 1, 2);
    add("1", ItemKind::drink, 1);
    const Told regulars = asAna(GiveDiscount{"1", std::nullopt, 1000, Money(), "regulars"});
    ASSERT_TRUE(regulars.result);
    EXPECT_EQ(std::get<Discounted>(*regulars.result).amount, cents(220));
    // 22.00 - 2.20 = 19.80; the charge is 1.98; 21.78 by card, and a tip.
    PayOrder tipped = payment("1", "card");
    tipped.tip = cents(300);
    tipped.expectedTotal = cents(2100);
    const Told stale = asAna(tipped);
    ASSERT_TRUE(stale.refusal);
    EXPECT_EQ(stale.refusal->reason, Refusal::Reason::totalChanged);
    EXPECT_EQ(stale.refusal->due, cents(2178));
    tipped.expectedTotal = cents(2178);
    ASSERT_TRUE(asAna(tipped).result);

    // Table 2: steak and wine, 30.00. Half off the steak, 12.00, is more
    // than a waiter's 3.00: a manager approves it.
    add("2", ItemKind::dish, 2);
    add("2", ItemKind::drink, 1);
    const GiveDiscount cold{"2", ItemRef{ItemKind::dish, {1, ""}, ""}, 5000, Money(), "cold"};
    const Told alone = asAna(cold);
    ASSERT_TRUE(alone.refusal);
    EXPECT_EQ(alone.refusal->reason, Refusal::Reason::managerNeeded);
    ASSERT_TRUE(asAna(cold, "Mia").result);
    // 30.00 - 12.00 = 18.00; the charge is 1.80; 19.80: 10.00 in cash from
    // 20.00 given, the rest, 9.80, by card.
    PayOrder parts = payment("2", "card");
    parts.parts.push_back({"cash", cents(2000), cents(1000)});
    const Told paidInParts = asAna(parts);
    ASSERT_TRUE(paidInParts.result);
    EXPECT_EQ(std::get<Paid>(*paidInParts.result).total, cents(1980));
    EXPECT_EQ(std::get<Paid>(*paidInParts.result).change, cents(1000));

    // The counter: two soups and three wines, 34.00, in three parts. The
    // counter's bill carries no service charge.
    add("", ItemKind::dish, 1, 2);
    add("", ItemKind::drink, 1, 3);
    const Told split = service->carryOut(SplitEvenly{"", 3}, "Ben", StaffRole::waiter);
    ASSERT_TRUE(split.result);
    EXPECT_EQ(std::get<SplitUp>(*split.result).shares,
              (std::vector<Money>{cents(1134), cents(1133), cents(1133)}));
    for (const char* method : {"cash", "card", "card"}) {
        ASSERT_TRUE(service->carryOut(payment("", method), "Ben", StaffRole::waiter).result);
    }
    EXPECT_FALSE(service->order(""));

    ASSERT_TRUE(asAna(DrawerCash{"in", cents(2000), "change from the bank"}).result);
    ASSERT_TRUE(asAna(DrawerCash{"out", cents(500), "window cleaner"}).result);
    ASSERT_TRUE(asAna(DrawerCash{"count", cents(19500), ""}).result);

    // A waiter may neither void nor close; a manager's approval may.
    const Told voided = asAna(VoidSale{1, "", "test"});
    ASSERT_TRUE(voided.refusal);
    EXPECT_EQ(voided.refusal->reason, Refusal::Reason::managerNeeded);
    ASSERT_TRUE(asAna(CloseDay{}).refusal);
    const Told closed = asAna(CloseDay{}, "Mia");
    ASSERT_TRUE(closed.result);
    EXPECT_EQ(std::get<Closed>(*closed.result).z, 1);

    const std::optional<DayRecord> day = journal->day(1);
    ASSERT_TRUE(day);
    const DayFigures figures = DayFigures::of(*day);
    // 21.78 + 19.80 + 34.00.
    EXPECT_EQ(figures.revenue, cents(7558));
    EXPECT_EQ(figures.discounts, cents(1420));
    EXPECT_EQ(figures.charges, cents(378));
    EXPECT_EQ(figures.tips, cents(300));
    // 150.00 + 20.00 - 5.00, and the cash parts: 10.00 and 11.34.
    EXPECT_EQ(figures.cashExpected, cents(18634));
    ASSERT_EQ(figures.sale(2)->discounts.size(), 1U);
    EXPECT_EQ(figures.sale(2)->discounts[0].approver, "Mia");
    EXPECT_EQ(figures.sale(2)->discounts[0].staff, "Ana");

    std::ostringstream summary;
    Summary(figures).print(summary);
    const std::string text = summary.str();
    EXPECT_NE(text.find("closed 2026-12-08"), std::string::npos) << text;
    EXPECT_NE(text.find(", Z 1\n"), std::string::npos) << text;
    for (const char* line :
         {"\nCash          2  21.34 $\nCard          4  54.24 $\n", "\nDiscounts: 14.20 $\n",
          "\nService charge: 3.78 $\n", "\nTips: 3.00 $\n",
          "\nCash expected in the drawer: 186.34 $\n", "\nCash counted: 195.00 $\n",
          "\nOver: 8.66 $\n", "\nAna           2  41.58 $  3.00 $\n",
          "\nBen           3  34.00 $  0.00 $\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " is not in\n" << text;
    }

    // Sale 2's rows after its items: the discount, carrying what the
    // receipt's VAT, 1.80, differs from its items' rows, 2.18 + 0.55, by;
    // the service charge; and a row for each part. The close's Z ends each.
    std::ostringstream exported;
    ASSERT_EQ(exportDay(*journal, 1, exported, false), 0);
    for (const char* row : {",discount,,-12.00,,,,,-0.93,parts,2,Ana,1\r\n",
                            ",service charge,,1.80,,,,,0.00,parts,2,Ana,1\r\n",
                            ",payment,cash,10.00,,,,,,cash,2,Ana,1\r\n",
                            ",payment,card,9.80,,,,,,card,2,Ana,1\r\n"}) {
        EXPECT_NE(exported.str().find(row), std::string::npos) << row << exported.str();
    }

    EXPECT_NE(
        text.find(
            std::string("\nDiscounts                      -14.20                       -14.20\n") +
            "Service charge                   3.78                         3.78\n" +
            "Total                     10    75.58                47.00   28.58\n"),
        std::string::npos)
        << "the table's rows add up to its total";

    std::ostringstream receipt;
    Receipt(Settings()).print(*figures.sale(2), receipt);
    EXPECT_EQ(receipt.str().substr(receipt.str().find('\n', receipt.str().find("Sale")) + 1),
              "  Steak            24.00 $\n"
              "  Wine              6.00 $\n"
              "  Discount 50 %: cold\n"
              "  Discounts       -12.00 $\n"
              "  Service charge    1.80 $\n"
              "  Total            19.80 $\n"
              "  VAT 10 %          1.80 $\n"
              "  Paid in cash     20.00 $\n"
              "  Paid by card      9.80 $\n"
              "  Change           10.00 $\n");
}

}  // namespace
