#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"
#include "journal/DayRecord.h"
#include "journal/DayReplay.h"

// SoldItem is one item of a sale, by value, with its cost as the restaurant
// counts it: its own cost and its kind's fixed surcharge.
struct SoldItem {
    ItemKind kind = ItemKind::dish;
    std::string name;
    Money price;
    Money cost;
    Money costWithSurcharge;
    // Who rang it up at the web till; empty at the console.
    std::string staff;
    // The VAT rate its price contains, in hundredths of a percent.
    std::int64_t vat = 0;
    // The cook's note on it; empty for none.
    std::string note;
};

// VatFigure is what one VAT rate took: the gross amount sold at the rate
// and the VAT it contains.
struct VatFigure {
    std::int64_t rate = 0;
    Money gross;
    Money vat;
};

// SaleFigures are the figures of one paid sale, as its receipt shows them:
// the items in the cart's order (main dishes, snacks, drinks, each kind in
// the order added), the total, the VAT it contains per rate (rounded once
// per receipt and rate, so that receipts and the day's sums agree), how it
// was paid, and, for a sale made void, when and why.
struct SaleFigures {
    std::int32_t day = 0;
    std::int32_t customer = 0;
    std::string saleId;
    // The table paid for; empty at the counter.
    std::string table;
    Moment paidAt = 0;
    std::vector<SoldItem> items;
    Money total;
    // By rate, the lowest first.
    std::vector<VatFigure> vat;
    // cash, card or other; empty for a sale made before methods were kept.
    std::string method;
    // The cash given and the change, when cash was counted.
    std::optional<Money> given;
    Money change;
    std::optional<Moment> voidedAt;
    std::string reason;
    // Who took the payment at the web till; empty at the console.
    std::string staff;
    // What its discounts took off and the service charge added, within the
    // total; the tip, outside it; and the tenders, tip included.
    Money discount;
    Money charge;
    Money tip;
    std::vector<Tender> tenders;
    std::vector<Discount> discounts;
    // For an equal part of a bill, which of how many; 0 otherwise.
    std::int64_t part = 0;
    std::int64_t parts = 0;

    // Returns the figures of the customer's sale in that day, from the
    // items the customer paid for in the order they were added.
    static SaleFigures of(std::int32_t day, const PaidCustomer& paid,
                          const std::vector<const JournalItem*>& items);
    // Returns the figures of the sale of that customer in the day, if the
    // customer paid in it, without reading the rest of the day.
    static std::optional<SaleFigures> in(const DayReplay& day, std::int32_t customer);

private:
    // Returns the VAT per rate of a bill of those gross prices per rate,
    // with the discounts and the service charge (`adjustment`) spread.
    static std::vector<VatFigure> vatOf(const std::map<std::int64_t, Money>& byRate,
                                        Money adjustment);
};
