#include "till/Receipt.h"

#include <algorithm>
#include <string>
#include <vector>

#include "accounts/Cart.h"
#include "till/DayLedger.h"
#include "till/Format.h"

Receipt::Receipt(const DayRecord& record) : record(record) {}

bool Receipt::print(std::int32_t customer, std::ostream& out) const {
    const auto paid = std::find_if(record.customers.begin(), record.customers.end(),
                                   [&](const PaidCustomer& at) { return at.number == customer; });
    if (paid == record.customers.end()) {
        return false;
    }
    const DayLedger ledger(record);
    const std::vector<const JournalItem*> items = ledger.itemsOf(customer);
    const std::string total = twoDecimals(ledger.cartOf(customer).getTotalPrice());
    std::size_t nameWidth = std::string("Total").size();
    std::size_t amountWidth = total.size();
    for (const JournalItem* item : items) {
        nameWidth = std::max(nameWidth, displayWidth(item->name));
        amountWidth = std::max(amountWidth, twoDecimals(item->price).size());
    }
    out << "Receipt: day " << record.number << ", customer " << customer << '\n'
        << "Sale " << paid->saleId << ", paid " << localTime(paid->paidAt, "%Y-%m-%d %H:%M:%S")
        << '\n';
    for (const JournalItem* item : items) {
        out << "  " << padRight(item->name, nameWidth) << "  "
            << padLeft(twoDecimals(item->price), amountWidth) << " $\n";
    }
    out << "  " << padRight("Total", nameWidth) << "  " << padLeft(total, amountWidth) << " $"
        << std::endl;
    return true;
}
