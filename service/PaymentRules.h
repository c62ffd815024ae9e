#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "service/Commands.h"
#include "service/RuleContext.h"

// PaymentRules are the rules of paying and of making a sale void, as pure
// functions: the day as it stands and a command give the entries that carry
// it out, or the refusal that says why nothing may change. Customers are
// numbered in the order they pay.
class PaymentRules {
public:
    // The most cash a customer may be taken to hand over: more is a slip of
    // the finger, and far more would overflow the change.
    static constexpr Money mostCashGiven = Money::fromCents(10'000'000);

    static Ruled pay(const RuleContext& context, const PayOrder& command);
    static Ruled voidSale(const RuleContext& context, const VoidSale& command);

private:
    static Ruled payFor(const RuleContext& context, const OpenOrder& open,
                        const std::vector<std::size_t>& chosen, const PayOrder& command);
    static Paid paidOf(const RuleContext& context, const OpenOrder& open,
                       const std::vector<std::size_t>& chosen, bool whole);
    // Checks the parts and the cash given, and writes a tender for each
    // part when there are parts.
    static std::optional<Refusal> tendered(const RuleContext& context, Paid& paid,
                                           std::vector<JournalEntry>& entries);
    static void writeTenders(const RuleContext& context, Paid& paid, Money named,
                             std::vector<JournalEntry>& entries);
    static JournalEntry payEntry(const RuleContext& context, const OpenOrder& open,
                                 const Paid& paid, bool inParts);
    // Returns the customer whose sale the command names, or why none.
    static std::variant<const PaidCustomer*, Refusal> saleOf(const RuleContext& context,
                                                             const VoidSale& command);
};
