#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"

// JournalItem is one item put into a customer's cart, kept by value (kind,
// name, price, cost), so that the record of a day never changes with the
// menu. A removed item stays, with the moment it was removed.
struct JournalItem {
    std::int32_t customer = 0;
    ItemKind kind = ItemKind::dish;
    std::string name;
    Money price;
    Money cost;
    Moment addedAt = 0;
    std::optional<Moment> removedAt;
    // The seq of the journal entry that added it, by which it is removed.
    std::int64_t entry = 0;
};

// PaidCustomer is a customer who paid: the number in the day, the sale's id,
// unique across tills, and when.
struct PaidCustomer {
    std::int32_t number = 0;
    std::string saleId;
    Moment paidAt = 0;
};

// DayRecord is one day as the journal holds it: its customers in the order
// they paid and every item in the order it was added, those of the customer
// who has not paid yet included.
struct DayRecord {
    std::int32_t number = 0;
    Moment openedAt = 0;
    std::optional<Moment> closedAt;
    std::vector<PaidCustomer> customers;
    std::vector<JournalItem> items;
};

// DayLine is one day in the list of days: what `restaurant days` shows.
struct DayLine {
    std::int32_t number = 0;
    Moment openedAt = 0;
    std::optional<Moment> closedAt;
    std::int64_t customers = 0;
    Money revenue;
};
