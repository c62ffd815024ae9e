#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"
#include "journal/DayRecord.h"
#include "service/SaleFigures.h"

// How a sale was paid, in the order the figures list the methods; a sale
// made before the till kept methods has none recorded.
enum class PaymentMethod { cash, card, other, unrecorded };

// ItemRow is every sold item of one kind and name.
struct ItemRow {
    ItemKind kind = ItemKind::dish;
    std::string name;
    std::size_t count = 0;
    Money revenue;
    // The items' cost with their kind's fixed surcharge.
    Money cost;
    Money profit;
};

// HourFigure is the revenue of the sales paid in one local hour.
struct HourFigure {
    // The moment the local hour began.
    Moment hour = 0;
    Money revenue;
};

struct MethodFigure {
    PaymentMethod method = PaymentMethod::cash;
    std::size_t sales = 0;
    Money amount;
};

// StaffFigure is the money one member of staff took: `name` is empty for
// the payments taken at the console.
struct StaffFigure {
    std::string name;
    std::size_t payments = 0;
    Money revenue;
    Money tips;
};

// StationFigure is how fast one station made its items: how many it made
// ready, and the average time from their send to ready.
struct StationFigure {
    std::string station;
    std::size_t ready = 0;
    std::int64_t averageSeconds = 0;
};

// DayFigures are every figure of a day, computed once: the text summary,
// the receipts, the export, the report's lines and the web till's JSON only
// render them, so that they agree on every figure. A sale made void counts
// in none of them but its own, in `sales`.
struct DayFigures {
    std::int32_t day = 0;
    Moment openedAt = 0;
    std::optional<Moment> closedAt;
    std::size_t customers = 0;
    std::size_t itemsSold = 0;
    std::size_t itemsRemoved = 0;
    Money removedValue;
    Money revenue;
    // The cost with the kinds' surcharges, as the report counts it.
    Money cost;
    Money profit;
    // The revenue per customer, to the nearest cent.
    Money average;
    // By kind, then revenue, the highest first, then name.
    std::vector<ItemRow> rows;
    // Every local hour from the first sale's to the last's, those without a
    // sale included, when they lie within a day; else the hours with sales.
    std::vector<HourFigure> hours;
    // The methods the sales were paid by, in the order of PaymentMethod.
    std::vector<MethodFigure> payments;
    // Whether any sale recorded how it was paid.
    bool methodsRecorded = false;
    // The float, cash in and out, the cash taken and the cash tips.
    Money cashExpected;
    // The discounts, service charges and tips of the sales that stand.
    Money discounts;
    Money charges;
    Money tips;
    // The drawer: whether the day used it, and the cash counted at the close.
    bool drawerUsed = false;
    std::optional<Money> counted;
    std::optional<std::int64_t> z;
    // By rate, the lowest first: each the sum of the receipts' own.
    std::vector<VatFigure> vat;
    Money vatTotal;
    // By name, the console's ("") first.
    std::vector<StaffFigure> staff;
    // By station, in name order: those that made an item ready.
    std::vector<StationFigure> kitchen;
    // Every paid sale, void ones included, in the order paid.
    std::vector<SaleFigures> sales;

    static DayFigures of(const DayRecord& record);
    // Returns the stations' times from send to ready, each to the nearest
    // second.
    static std::vector<StationFigure> kitchenOf(const DayRecord& record);

    // Returns the sale of that customer, if the customer paid that day.
    const SaleFigures* sale(std::int32_t customer) const;

private:
    static void countDrawer(DayFigures& figures, const DayRecord& record);
};
