// A day's figures are computed once and rendered twice, as the owner's text
// and as the devices' JSON: random days, made by the day's rules alone,
// without a journal, are rendered both ways, and every figure the text
// shows is read back and compared with the JSON's. The rules keep the day's
// line and its items' ids as they go. The seed is printed, and taken back
// from RESTAURANT_SEED.
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reports/Receipt.h"
#include "reports/Summary.h"
#include "service/DayFigures.h"
#include "service/OrderViews.h"
#include "tests/RandomDay.h"
#include "web/DayJson.h"

namespace {

using nlohmann::json;
using Cells = std::vector<std::string>;

std::uint32_t seed() {
    const char* given = std::getenv("RESTAURANT_SEED");
    const std::uint32_t chosen =
        given != nullptr ? static_cast<std::uint32_t>(std::stoul(given)) : std::random_device()();
    std::cout << "Random days from seed " << chosen << " (RESTAURANT_SEED=" << chosen
              << " makes them again)" << std::endl;
    return chosen;
}

// The cells of a line of columns, two spaces or more apart.
Cells cellsOf(const std::string& line) {
    Cells cells;
    std::size_t at = line.find_first_not_of(' ');
    while (at != std::string::npos) {
        const std::size_t gap = line.find("  ", at);
        cells.push_back(line.substr(at, gap == std::string::npos ? gap : gap - at));
        at = gap == std::string::npos ? gap : line.find_first_not_of(' ', gap);
    }
    return cells;
}

// "1234.50 $" or "-0.50" as cents.
std::int64_t centsOf(std::string amount) {
    amount = amount.substr(0, amount.find(' '));
    const bool negative = amount[0] == '-';
    const std::string digits = amount.substr(negative ? 1 : 0);
    const std::size_t point = digits.find('.');
    const std::int64_t cents =
        std::stoll(digits.substr(0, point)) * 100 + std::stoll(digits.substr(point + 1));
    return negative ? -cents : cents;
}

// The text's lines of each section, by its heading.
std::map<std::string, std::vector<Cells>> sectionsOf(const std::string& text) {
    std::map<std::string, std::vector<Cells>> sections;
    std::string section = "counts";
    std::istringstream lines(text);
    std::getline(lines, section);
    section = "counts";
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) {
            section.clear();
            continue;
        }
        if (section.empty()) {
            section = line.substr(0, line.find(' '));
            if (line == "Revenue by hour" || line == "Void sales" ||
                line == "No customer has paid yet.") {
                continue;
            }
        }
        sections[section].push_back(section == "Void" ? Cells{line} : cellsOf(line));
    }
    return sections;
}

void compareCounts(const std::vector<Cells>& counts, const json& shown) {
    ASSERT_EQ(counts.size(), 4U);
    EXPECT_EQ(std::stoll(counts[0][1]), shown["customers"]);
    EXPECT_EQ(std::stoll(counts[1][1]), shown["items_sold"]);
    EXPECT_EQ(std::stoll(counts[2][1]), shown["items_removed"]);
    EXPECT_EQ(centsOf(counts[2][1].substr(counts[2][1].find("worth ") + 6)),
              shown["removed_cents"]);
    EXPECT_EQ(centsOf(counts[3][1]), shown["average_cents"]);
}

void compareTable(const std::vector<Cells>& table, const json& shown) {
    ASSERT_EQ(table.size(), shown["items"].size() + 2) << "a heading, the rows and their total";
    for (std::size_t at = 0; at < shown["items"].size(); ++at) {
        const Cells& row = table[at + 1];
        const json& item = shown["items"][at];
        EXPECT_EQ(Cells(row.begin(), row.begin() + 3),
                  (Cells{item["kind"], item["name"], std::to_string(item["count"].get<int>())}));
        EXPECT_EQ(centsOf(row[3]), item["revenue_cents"]);
        EXPECT_EQ(centsOf(row[4]), item["cost_cents"]);
        EXPECT_EQ(centsOf(row[5]), item["profit_cents"]);
    }
    const Cells& total = table.back();
    EXPECT_EQ(std::stoll(total[1]), shown["items_sold"]);
    EXPECT_EQ(centsOf(total[2]), shown["revenue_cents"]);
    EXPECT_EQ(centsOf(total[3]), shown["cost_cents"]);
    EXPECT_EQ(centsOf(total[4]), shown["profit_cents"]);
}

const std::map<std::string, std::string> methodWords = {
    {"Cash", "cash"}, {"Card", "card"}, {"Other", "other"}, {"Not recorded", "unrecorded"}};

void comparePayments(std::vector<Cells> payments, const json& shown) {
    bool recorded = false;
    for (const json& method : shown["payments"]) {
        recorded = recorded || method["method"] != "unrecorded";
    }
    ASSERT_EQ(!payments.empty(), recorded && shown["customers"] > 0);
    if (payments.empty()) {
        return;
    }
    const std::string cash = payments.back()[0];
    EXPECT_EQ(centsOf(cash.substr(cash.find(": ") + 2)), shown["cash_expected_cents"]);
    payments.pop_back();
    ASSERT_EQ(payments.size(), shown["payments"].size() + 1);
    for (std::size_t at = 0; at < shown["payments"].size(); ++at) {
        const json& method = shown["payments"][at];
        EXPECT_EQ(methodWords.at(payments[at + 1][0]), method["method"]);
        EXPECT_EQ(std::stoll(payments[at + 1][1]), method["sales"]);
        EXPECT_EQ(centsOf(payments[at + 1][2]), method["amount_cents"]);
    }
}

void compareVatAndStaff(const std::map<std::string, std::vector<Cells>>& sections,
                        const json& shown) {
    const bool taxed = !shown["vat"].empty() && shown["vat"].back()["rate"] > 0;
    if (sections.count("VAT") != 0 || (taxed && shown["customers"] > 0)) {
        const std::vector<Cells>& vat = sections.at("VAT");
        ASSERT_EQ(vat.size(), shown["vat"].size() + 2);
        for (std::size_t at = 0; at < shown["vat"].size(); ++at) {
            EXPECT_EQ(centsOf(vat[at + 1][1]), shown["vat"][at]["gross_cents"]);
            EXPECT_EQ(centsOf(vat[at + 1][2]), shown["vat"][at]["vat_cents"]);
        }
        EXPECT_EQ(centsOf(vat.back()[2]), shown["vat_cents"]);
    }
    if (sections.count("Staff") != 0) {
        const std::vector<Cells>& staff = sections.at("Staff");
        ASSERT_EQ(staff.size(), shown["staff"].size() + 1);
        for (std::size_t at = 0; at < shown["staff"].size(); ++at) {
            const json& member = shown["staff"][at];
            EXPECT_EQ(staff[at + 1][0], member["staff"].get<std::string>().empty()
                                            ? "At the console"
                                            : member["staff"]);
            EXPECT_EQ(std::stoll(staff[at + 1][1]), member["payments"]);
            EXPECT_EQ(centsOf(staff[at + 1][2]), member["revenue_cents"]);
            EXPECT_EQ(centsOf(staff[at + 1][3]), member["tips_cents"]);
        }
    }
}

void compareHoursAndVoids(const std::map<std::string, std::vector<Cells>>& sections,
                          const json& shown) {
    const std::vector<Cells> none;
    const auto hours = sections.find("Revenue");
    const std::vector<Cells>& charted = hours == sections.end() ? none : hours->second;
    ASSERT_EQ(charted.size(), shown["hours"].size());
    for (std::size_t at = 0; at < charted.size(); ++at) {
        EXPECT_EQ(centsOf(charted[at].back()), shown["hours"][at]["revenue_cents"]);
    }
    const auto voids = sections.find("Void");
    const std::vector<Cells>& listed = voids == sections.end() ? none : voids->second;
    ASSERT_EQ(listed.size(), shown["voids"].size());
    for (std::size_t at = 0; at < listed.size(); ++at) {
        const json& voided = shown["voids"][at];
        const std::string& line = listed[at][0];
        EXPECT_EQ(line.rfind("Customer " + std::to_string(voided["customer"].get<int>()) + ", ", 0),
                  0U);
        EXPECT_EQ(centsOf(line.substr(line.find(", ") + 2)), voided["total_cents"]);
        EXPECT_EQ(line.substr(line.rfind(": ") + 2), voided["reason"]);
    }
}

// Every line of the receipt's text against its JSON.
void compareReceipt(const SaleFigures& sale) {
    std::ostringstream printed;
    Receipt().print(sale, printed);
    const json shown = DayJson::receipt(sale);
    std::istringstream lines(printed.str());
    std::vector<Cells> rows;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  ", 0) == 0) {
            rows.push_back(cellsOf(line.substr(2)));
        }
    }
    ASSERT_GE(rows.size(), shown["items"].size() + 1);
    for (std::size_t at = 0; at < shown["items"].size(); ++at) {
        EXPECT_EQ(rows[at][0], shown["items"][at]["name"]);
        EXPECT_EQ(centsOf(rows[at][1]), shown["items"][at]["price_cents"]);
    }
    std::size_t at = shown["items"].size();
    EXPECT_EQ(centsOf(rows[at++][1]), shown["total_cents"]);
    for (const json& rate : shown["vat"]) {
        if (rate["rate"] > 0) {
            EXPECT_EQ(centsOf(rows[at++][1]), rate["vat_cents"]);
        }
    }
    if (shown.contains("given_cents")) {
        EXPECT_EQ(centsOf(rows[at++][1]), shown["given_cents"]);
        EXPECT_EQ(centsOf(rows[at++][1]), shown["change_cents"]);
    } else if (!shown["method"].get<std::string>().empty()) {
        EXPECT_EQ(centsOf(rows[at++][1]), shown["total_cents"]);
    }
    EXPECT_EQ(at, rows.size()) << printed.str();
}

TEST(DayFigures, TheSummaryTheReceiptsAndTheirJsonAgreeOnEveryFigureOfRandomDays) {
    const std::uint32_t first = seed();
    for (std::uint32_t round = 0; round < 60; ++round) {
        SCOPED_TRACE("RESTAURANT_SEED=" + std::to_string(first) + ", day " + std::to_string(round));
        RandomDay random(first + round, 1796720400 + Moment{round} * 3600);
        const DayFigures figures =
            DayFigures::of(random.run(30 + static_cast<int>(round) * 4).record());
        std::ostringstream printed;
        Summary(figures).print(printed);
        const json shown = DayJson::summary(figures);
        const auto sections = sectionsOf(printed.str());
        compareCounts(sections.at("counts"), shown);
        if (figures.customers > 0) {
            compareTable(sections.at("Kind"), shown);
        }
        comparePayments(sections.count("Payments") ? sections.at("Payments") : std::vector<Cells>{},
                        shown);
        compareVatAndStaff(sections, shown);
        compareHoursAndVoids(sections, shown);
        for (const SaleFigures& sale : figures.sales) {
            compareReceipt(sale);
        }
    }
}

// The rules keep the day's line as they go, equal to the line its records
// make and to its figures; an item keeps its id when it moves.
TEST(DayRules, ARandomDayKeepsItsLineAndItsItemsTheirIds) {
    const std::uint32_t first = seed();
    for (std::uint32_t round = 0; round < 60; ++round) {
        SCOPED_TRACE("RESTAURANT_SEED=" + std::to_string(first) + ", day " + std::to_string(round));
        RandomDay random(first + round, 1796720400);
        const DayReplay& day = random.run(150);
        const DayRecord record = day.record();
        const DayLine made = DayReplay::lineOf(record);
        const DayFigures figures = DayFigures::of(record);
        EXPECT_EQ(day.line().customers, made.customers);
        EXPECT_EQ(day.line().revenue, made.revenue);
        EXPECT_EQ(static_cast<std::int64_t>(figures.customers), made.customers);
        EXPECT_EQ(figures.revenue, made.revenue);
        EXPECT_EQ(random.lostOnTheWay(), 0) << "of " << random.moves() << " items moved";
        for (const OrderView& order : OrderViews::all(day)) {
            for (const auto& kind : order.items) {
                for (const OrderItem& item : kind) {
                    const auto found = day.openItem(item.id);
                    ASSERT_TRUE(found) << item.id;
                    EXPECT_EQ(found->second, order.label);
                    EXPECT_EQ(record.items[found->first].name, item.name);
                }
            }
        }
    }
}

}  // namespace
