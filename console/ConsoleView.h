#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "base/Moment.h"
#include "service/Refusal.h"
#include "service/Results.h"

// ConsoleView puts what the day's service did in the till's words, one line
// each: at the counter of a customer's cart, at a table of the table's
// order. It knows nothing of how the results came about.
class ConsoleView {
public:
    // Amounts end with the currency's symbol.
    ConsoleView(std::ostream& out, std::string currency);

    void started(const Started& started, Moment now);
    void selected(const Selected& selected, std::int32_t customer);
    void added(const Added& added);
    void removed(const Removed& removed);
    void cleared(const Cleared& cleared);
    // Names the way the customer paid when the command stated it.
    void paid(const Paid& paid, bool anotherComes, bool stated = false);
    void voided(const Voided& voided);
    void moved(const Moved& moved);
    void tables(const std::vector<OrderView>& orders, std::int32_t customer);
    // The total line under an order's listing.
    void pays(const std::string& order, std::int32_t customer, const OrderView* view);
    // The heading of an order's listing.
    void heading(const std::string& order, std::int32_t customer);
    // Says why nothing changed; the line that was refused is named where
    // the journal refused it. `customer` is the counter's.
    void refused(const Refusal& refusal, const std::string& line, std::int32_t customer,
                 std::ostream& errors);
    // Says an order holds nothing to clear or to pay.
    void emptyAlready(const std::string& order, std::int32_t customer);
    // Returns the question `quit` asks at a terminal about the counter's
    // unpaid order.
    std::string unpaidQuestion(std::int32_t customer, const OrderView& order) const;
    void leftUnpaid(std::int32_t customer);
    void nothingToPay(const std::string& order, std::int32_t customer);

    // Returns "customer 3's cart" or "table 5's order".
    static std::string whose(const std::string& order, std::int32_t customer);

private:
    void refusedItem(const Refusal& refusal, std::int32_t customer);
    void refusedInOrder(const Refusal& refusal, std::int32_t customer);
    void refusedOrder(const Refusal& refusal, std::int32_t customer);
    static void refusedByTheTill(const Refusal& refusal, const std::string& line,
                                 std::ostream& errors);
    void refusedPayment(const Refusal& refusal);
    std::string amount(Money money) const;
    void say(const std::string& line);
    std::string whoseCapitalised(const std::string& order, std::int32_t customer) const;

    std::ostream& out;
    std::string currency;
};
