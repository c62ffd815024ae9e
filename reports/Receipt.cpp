#include "reports/Receipt.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "reports/DayLedger.h"

Receipt::Receipt(const DayRecord& record) : record(record) {}

bool Receipt::print(std::int32_t customer, std::ostream& out) const {
    const auto paid = std::find_if(record.customers.begin(), record.customers.end(),
                                   [&](const PaidCustomer& at) { return at.number == customer; });
    if (paid == record.customers.end()) {
        return false;
    }
    const DayLedger ledger(record);
    const std::vector<const JournalItem*> items = ledger.itemsOf(customer);
    Money sum;
    std::size_t nameWidth = displayWidth("Total");
    for (const JournalItem* item : items) {
        sum += item->price;
        nameWidth = std::max(nameWidth, displayWidth(item->name));
    }
    const std::string total = sum.twoDecimals();
    std::size_t amountWidth = total.size();
    for (const JournalItem* item : items) {
        amountWidth = std::max(amountWidth, item->price.twoDecimals().size());
    }
    out << "Receipt: day " << record.number << ", customer " << customer << '\n'
        << "Sale " << paid->saleId << (paid->table.empty() ? "" : ", table " + paid->table)
        << ", paid " << localTime(paid->paidAt, "%Y-%m-%d %H:%M:%S") << '\n';
    for (const JournalItem* item : items) {
        out << "  " << padRight(item->name, nameWidth) << "  "
            << padLeft(item->price.twoDecimals(), amountWidth) << " $\n";
    }
    out << "  " << padRight("Total", nameWidth) << "  " << padLeft(total, amountWidth) << " $"
        << std::endl;
    return true;
}
