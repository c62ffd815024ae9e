#include "service/RuleContext.h"

#include <utility>

#include "base/TableLabel.h"

RuleContext::RuleContext(const DayReplay& day, const Menu& menu, Moment now, std::string staff,
                         std::int64_t vat, SaleIds saleIds)
    : replay(day),
      sold(menu),
      now(now),
      staff(std::move(staff)),
      rate(vat),
      saleIds(std::move(saleIds)) {}

void RuleContext::authorize(StaffRole role, std::string approver) {
    asker = role;
    approvedBy = std::move(approver);
}

void RuleContext::chargeTables(std::int64_t serviceCharge) { charge = serviceCharge; }

void RuleContext::sellFrom(std::int64_t menuVersion) { version = menuVersion; }

std::int64_t RuleContext::menuVersion() const { return version; }

StaffRole RuleContext::role() const { return asker; }

const std::string& RuleContext::approver() const { return approvedBy; }

std::int64_t RuleContext::serviceCharge() const { return charge; }

std::optional<Refusal> RuleContext::needsManager(const char* what) const {
    if (asker == StaffRole::manager || !approvedBy.empty()) {
        return std::nullopt;
    }
    Refusal refused = refusal(Refusal::Reason::managerNeeded);
    refused.text = what;
    return refused;
}

const DayReplay& RuleContext::day() const { return replay; }

const Menu& RuleContext::menu() const { return sold; }

std::int64_t RuleContext::vat() const { return rate; }

std::string RuleContext::newSaleId() const { return saleIds(); }

JournalEntry RuleContext::entry(JournalEntry::Type type, const std::string& label) const {
    JournalEntry made = JournalEntry::of(type, now);
    if (!label.empty()) {
        made.label = label;
    }
    if (!staff.empty()) {
        made.staff = staff;
    }
    if (!approvedBy.empty()) {
        made.approver = approvedBy;
    }
    return made;
}

std::string RuleContext::spelled(const std::string& label) const {
    const OpenOrder* open = replay.order(label);
    return open != nullptr ? open->label : label;
}

std::optional<Refusal> RuleContext::badLabel(const std::string& label) const {
    if (label.empty() || isTableLabel(label)) {
        return std::nullopt;
    }
    Refusal refused = refusal(Refusal::Reason::badLabel);
    refused.text = label;
    return refused;
}

Refusal RuleContext::emptyOrder(const std::string& order) const {
    Refusal refused = refusal(Refusal::Reason::emptyOrder);
    refused.order = spelled(order);
    return refused;
}

Refusal RuleContext::refusal(Refusal::Reason reason) {
    Refusal made;
    made.reason = reason;
    return made;
}

std::variant<const OpenOrder*, Refusal> RuleContext::openOrder(const std::string& label) const {
    if (std::optional<Refusal> refused = badLabel(label)) {
        return *refused;
    }
    const OpenOrder* open = replay.order(label);
    if (open == nullptr) {
        return emptyOrder(label);
    }
    return open;
}
