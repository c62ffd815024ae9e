// The commands that read a past day, on a day kept in a journal.
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"

#include "console/Console.h"
#include "csv/CsvReader.h"
#include "journal/MemoryJournal.h"
#include "reports/ReadCommands.h"
#include "service/DayService.h"

namespace {

// Names a spreadsheet must get quoted, and amounts from a cent to a million.
Menu awkwardMenu() {
    Menu menu;
    menu.add({ItemKind::dish, "Fish, chips and \"mushy\" peas", Money::fromCents(30),
              Money::fromCents(33)});
    menu.add({ItemKind::snack, "Crème brûlée", Money::fromCents(705), Money::fromCents(268)});
    menu.add({ItemKind::drink, " Tea ", Money::fromCents(1), Money::fromCents(100'000'000)});
    return menu;
}

TEST(ReadCommands, ExportsEverySoldItemAsCsvThatReadsBackExactlyVoidSalesMarked) {
    MemoryJournal journal;
    {
        Console console(awkwardMenu(), journal, [] { return Moment{1796720400}; });
        DiscardBuffer discard;
        CoutRedirect silence(&discard);
        console.start();
        for (const char* line :
             {"add 2 dish 1", "add snack 1", "next", "add drink 1", "add snack 1", "remove snack 1",
              "next", "void 1 =rang up twice", "add dish 1"}) {
            console.handle(line);
        }
    }
    std::ostringstream exported;
    ASSERT_EQ(exportDay(journal, 1, exported), 0);
    EXPECT_NE(exported.str().find("\"Fish, chips and \"\"mushy\"\" peas\""), std::string::npos);

    const CsvText csv = CsvReader(',').read(exported.str());
    ASSERT_TRUE(csv.quoteErrors.empty());
    ASSERT_EQ(csv.records.size(), 5U) << "a header and the four items sold: " << exported.str();
    EXPECT_EQ(csv.records[0].fields,
              (std::vector<std::string>{"day", "customer", "sale_id", "paid_at", "kind", "name",
                                        "price", "cost", "total_cost", "void", "vat_rate", "vat",
                                        "method", "table", "staff", "z"}));
    using Row = std::tuple<std::string, std::string, std::string, std::string, std::string,
                           std::string, std::string>;
    std::vector<Row> rows;
    std::map<std::string, std::string> saleOf;
    for (std::size_t at = 1; at < csv.records.size(); ++at) {
        const std::vector<std::string>& cells = csv.records[at].fields;
        ASSERT_EQ(cells.size(), 16U);
        EXPECT_EQ(cells[0], "1");
        EXPECT_EQ(cells[3], "2026-12-08T09:00:00+00:00") << "ISO 8601, TZ=UTC in the tests";
        EXPECT_EQ(cells[2].size(), 36U) << "a UUID";
        EXPECT_TRUE(saleOf.emplace(cells[1], cells[2]).second || saleOf[cells[1]] == cells[2]);
        rows.emplace_back(cells[1], cells[4], cells[5], cells[6], cells[7], cells[8], cells[9]);
    }
    EXPECT_NE(saleOf["1"], saleOf["2"]);
    const std::string fish = "Fish, chips and \"mushy\" peas";
    const std::vector<Row> expected = {
        {"1", "dish", fish, "0.30", "0.33", "3.33", "'=rang up twice"},
        {"1", "dish", fish, "0.30", "0.33", "3.33", "'=rang up twice"},
        {"1", "snack", "Crème brûlée", "7.05", "2.68", "4.68", "'=rang up twice"},
        {"2", "drink", " Tea ", "0.01", "1000000.00", "1000001.00", ""},
    };
    EXPECT_EQ(rows, expected);
}

// An accountant books each row: its VAT, and how, where and by whom it was
// sold. The rows of a sale add up to the VAT its receipt shows, which rounds
// once per rate, not once per item.
TEST(ReadCommands, ExportRowsCarryVatMethodTableAndStaffAndAddUpToTheReceipt) {
    Menu menu;
    menu.add({ItemKind::dish, "Mezze", Money::fromCents(5), Money(), 1900});
    menu.add({ItemKind::drink, "Water", Money::fromCents(250), Money(), 700});
    MemoryJournal journal;
    DayService service(menu, journal, [] { return Moment{1796720400}; });
    service.start();
    ASSERT_TRUE(service.carryOut(AddItems{"5", ItemKind::dish, {1, ""}, 3, "", std::nullopt}, "Ana")
                    .result.has_value());
    ASSERT_TRUE(
        service.carryOut(AddItems{"5", ItemKind::drink, {1, ""}, 1, "", std::nullopt}, "Ben")
            .result.has_value());
    ASSERT_TRUE(service.carryOut(PayOrder{"5", {}, {"card", {}, {}}, {}, {}, {}}, "Ana")
                    .result.has_value());
    service.settle();

    std::ostringstream exported;
    ASSERT_EQ(exportDay(journal, 1, exported), 0);
    const CsvText csv = CsvReader(',').read(exported.str());
    ASSERT_EQ(csv.records.size(), 5U) << exported.str();
    std::vector<std::vector<std::string>> tails;
    for (std::size_t at = 1; at < csv.records.size(); ++at) {
        const std::vector<std::string>& cells = csv.records[at].fields;
        tails.emplace_back(cells.begin() + 10, cells.end());
    }
    // 0.15 at 19 % contains 0.02; each 0.05 alone would round to 0.01. The
    // day is open: it has no Z number yet.
    const std::vector<std::vector<std::string>> expected = {
        {"19", "0.01", "card", "5", "Ana", ""},
        {"19", "0.01", "card", "5", "Ana", ""},
        {"19", "0.00", "card", "5", "Ana", ""},
        {"7", "0.16", "card", "5", "Ben", ""},
    };
    EXPECT_EQ(tails, expected);
    std::ostringstream receipt;
    ASSERT_EQ(printReceipt(journal, 1, 1, receipt), 0);
    EXPECT_NE(receipt.str().find("VAT 7 %       0.16 $\n  VAT 19 %      0.02 $"), std::string::npos)
        << receipt.str();
}

TEST(ReadCommands, ListsEveryDayOnALineOfItsOwn) {
    MemoryJournal journal;
    Moment now = 1796720400;
    for (int day = 0; day < 2; ++day) {
        Console console(awkwardMenu(), journal, [&] { return now; });
        DiscardBuffer discard;
        CoutRedirect silence(&discard);
        console.start();
        console.handle(day == 0 ? "add 3 snack 1" : "add snack 1");
        now += Moment{3600} * 9;
        console.handle("quit");
        now += Moment{3600} * 15;
    }
    std::ostringstream listed;
    EXPECT_EQ(listDays(journal, listed), 0);
    EXPECT_EQ(listed.str(),
              "Day 1: opened 2026-12-08 09:00, closed 2026-12-08 18:00; 1 customer, revenue "
              "21.15 $\n"
              "Day 2: opened 2026-12-09 09:00, closed 2026-12-09 18:00; 1 customer, revenue "
              "7.05 $\n");
}

}  // namespace
