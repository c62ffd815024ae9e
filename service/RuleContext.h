#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/Moment.h"
#include "base/StaffRole.h"
#include "journal/DayReplay.h"
#include "journal/JournalEntry.h"
#include "menu/Menu.h"
#include "service/Refusal.h"
#include "service/Results.h"

// Ruling is what the day's rules make of a command: the entries to write,
// and what the command does once they are written.
struct Ruling {
    std::vector<JournalEntry> entries;
    Result result;
};
using Ruled = std::variant<Ruling, Refusal>;

// RuleContext is all the day's rules see of the world: the day as it
// stands, the menu, the moment, who asks, the VAT rate of items whose menu
// gives none, and where new sale ids come from. The rules read it and
// change nothing.
class RuleContext {
public:
    using SaleIds = std::function<std::string()>;

    // The day and the menu must outlive the context; `vat` is in hundredths
    // of a percent.
    RuleContext(const DayReplay& day, const Menu& menu, Moment now, std::string staff,
                std::int64_t vat, SaleIds saleIds);

    // Says what the asker may do, the manager who approved, and the service
    // charge on tables' bills, in hundredths of a percent.
    void authorize(StaffRole role, std::string approver);
    void chargeTables(std::int64_t serviceCharge);
    // Says which version of the menu the till sells from.
    void sellFrom(std::int64_t menuVersion);
    std::int64_t menuVersion() const;
    StaffRole role() const;
    const std::string& approver() const;
    std::int64_t serviceCharge() const;
    // Returns why the asker may not do `what` without a manager's
    // approval, unless a manager asks or approved.
    std::optional<Refusal> needsManager(const char* what) const;

    const DayReplay& day() const;
    const Menu& menu() const;
    std::int64_t vat() const;
    std::string newSaleId() const;

    // Returns an entry of that type at this moment for that order, by the
    // member of staff who asks; the counter's order has no label.
    JournalEntry entry(JournalEntry::Type type, const std::string& label) const;
    // Returns the label as the open order spells it, else as given.
    std::string spelled(const std::string& label) const;
    // Returns why the label names no order, if it does not.
    std::optional<Refusal> badLabel(const std::string& label) const;
    // Says that the order holds nothing.
    Refusal emptyOrder(const std::string& order) const;
    // Returns the open order of that label, or why there is none: the label
    // names no order, or the order holds nothing.
    std::variant<const OpenOrder*, Refusal> openOrder(const std::string& label) const;

    // Returns a refusal for that reason, its other facts empty.
    static Refusal refusal(Refusal::Reason reason);

private:
    const DayReplay& replay;
    const Menu& sold;
    Moment now;
    std::string staff;
    std::int64_t rate;
    SaleIds saleIds;
    StaffRole asker = StaffRole::manager;
    std::string approvedBy;
    std::int64_t charge = 0;
    std::int64_t version = 1;
};
