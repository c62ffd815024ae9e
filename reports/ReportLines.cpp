#include "reports/ReportLines.h"

void ReportLines::print(Money cost, Money revenue, Money profit, std::ostream& out) {
    out << "Today's total cost is " << cost.shortest() << " $" << std::endl;
    out << "Today's total revenue is  " << revenue.shortest() << " $" << std::endl;
    out << "Today's total Profit is  " << profit.shortest() << " $" << std::endl;
}
