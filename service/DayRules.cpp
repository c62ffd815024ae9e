#include "service/DayRules.h"

#include "base/TableLabel.h"
#include "service/DayFigures.h"
#include "service/KitchenRules.h"
#include "service/MenuRules.h"
#include "service/MoneyRules.h"
#include "service/OrderRules.h"
#include "service/OrderViews.h"
#include "service/PaymentRules.h"

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

}  // namespace

// A table of commands, each to its rule: every command is named, so that a
// new one cannot be left out.
// NOLINTNEXTLINE(readability-function-size)
Ruled DayRules::rule(const RuleContext& context, const DayCommand& command) {
    return std::visit(
        Overloaded{
            [&](const SelectOrder& select) { return DayRules::select(context, select); },
            [&](const AddItems& add) { return OrderRules::add(context, add); },
            [&](const RemoveItem& remove) { return OrderRules::remove(context, remove); },
            [&](const ClearOrder& clear) { return OrderRules::clear(context, clear); },
            [&](const PayOrder& pay) { return PaymentRules::pay(context, pay); },
            [&](const MoveItems& move) { return OrderRules::move(context, move); },
            [&](const VoidSale& voided) { return PaymentRules::voidSale(context, voided); },
            [&](const CloseDay& close) { return DayRules::close(context, close); },
            [&](const StartDay&) -> Ruled {
                return Ruling{{}, Started{}};
            },
            [&](const LeaveOpen&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const SendOrder& send) { return KitchenRules::send(context, send); },
            [&](const FireCourse& fire) { return KitchenRules::fire(context, fire); },
            [&](const MarkReady& ready) { return KitchenRules::ready(context, ready); },
            [&](const RecallTicket& recall) { return KitchenRules::recall(context, recall); },
            [&](const GiveDiscount& discount) { return MoneyRules::discount(context, discount); },
            [&](const SplitEvenly& split) { return MoneyRules::splitEvenly(context, split); },
            [&](const DrawerCash& cash) { return MoneyRules::drawer(context, cash); },
            [&](const MarkSoldOut& mark) { return MenuRules::soldOut(context, mark); },
            // Kept beside the day by the runner: they change nothing of it.
            [&](const KeepSession&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const ReprintTicket&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const PrintProgress&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const PrinterState&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const HeadOfficeState&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const ReplaceMenu&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const ChangeStaff&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
            [&](const ChangeSetting&) -> Ruled {
                return Ruling{{}, LeftOpen{}};
            },
        },
        command);
}

Ruled DayRules::select(const RuleContext& context, const SelectOrder& command) {
    if (std::optional<Refusal> refused = context.badLabel(command.label)) {
        return *refused;
    }
    Ruling ruling{{}, Selected{context.spelled(command.label), std::nullopt}};
    if (const OpenOrder* open = context.day().order(command.label)) {
        std::get<Selected>(ruling.result).order = OrderViews::of(context.day(), *open);
    }
    if (foldedLabel(context.day().current()) != foldedLabel(command.label)) {
        ruling.entries.push_back(context.entry(JournalEntry::Type::select, command.label));
    }
    return ruling;
}

Ruled DayRules::close(const RuleContext& context, const CloseDay& /*command*/) {
    if (std::optional<Refusal> refused = context.needsManager("close")) {
        return *refused;
    }
    const std::vector<const OpenOrder*> open = context.day().orders();
    if (!open.empty()) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::ordersOpen);
        for (const OpenOrder* order : open) {
            refused.names.push_back(order->label);
        }
        return refused;
    }
    const DayLine line = context.day().line();
    JournalEntry close = context.entry(JournalEntry::Type::close, "");
    close.opened = line.openedAt;
    close.customers = line.customers;
    close.revenue = line.revenue;
    const DayFigures figures = DayFigures::of(context.day().sofar());
    return Ruling{
        {close},
        Closed{line.number, 0, figures.cost, figures.revenue, figures.revenue - figures.cost}};
}
