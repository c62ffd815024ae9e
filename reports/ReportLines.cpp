#include "reports/ReportLines.h"

void ReportLines::print(Money cost, Money revenue, Money profit, std::ostream& out) {
    out << "Today's total cost is " << cost.shortest() << " $" << std::endl;
    out << "Today's total revenue is  " << revenue.shortest() << " $" << std::endl;
    out << "Today's total Profit is  " << profit.shortest() << " $" << std::endl;
}

void ReportLines::printZ(std::optional<std::int64_t> z, std::ostream& out) {
    if (z && *z > 0) {
        out << "Z " << *z << std::endl;
    }
}
