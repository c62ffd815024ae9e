#include "journal/DayReplay.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/TableLabel.h"
#include "journal/Journal.h"
#include "menu/Menu.h"

namespace {

std::string keyOf(const std::optional<std::string>& label) {
    return label ? foldedLabel(*label) : std::string();
}

}  // namespace

DayReplay::DayReplay(std::int32_t day) { this->day.number = day; }

void DayReplay::apply(const JournalEntry& entry) {
    if (day.closedAt) {
        damaged(entry, "follows the day's close");
    }
    if (opened == (entry.type == JournalEntry::Type::open)) {
        damaged(entry, opened ? "opens the day again" : "comes before the day opened");
    }
    using Type = JournalEntry::Type;
    using Step = void (DayReplay::*)(const JournalEntry&);
    // In the order of the types' numbers, from open.
    static constexpr Step steps[] = {
        &DayReplay::openDay, &DayReplay::add,      &DayReplay::remove,     &DayReplay::pay,
        &DayReplay::close,   &DayReplay::select,   &DayReplay::orderOpens, &DayReplay::move,
        &DayReplay::part,    &DayReplay::voidSale, &DayReplay::relabel,    &DayReplay::noted,
        &DayReplay::noted,   &DayReplay::cooked,   &DayReplay::cooked,     &DayReplay::cooked,
        &DayReplay::cooked,  &DayReplay::cashed,   &DayReplay::cashed,     &DayReplay::cashed,
        &DayReplay::cashed,  &DayReplay::marked,   &DayReplay::marked};
    const auto type = static_cast<std::size_t>(entry.type);
    if (type < static_cast<std::size_t>(Type::open) || type > std::size(steps)) {
        damaged(entry, "is of a kind this version does not know");
    }
    (this->*steps[type - 1])(entry);
}

void DayReplay::openDay(const JournalEntry& entry) {
    opened = true;
    day.openedAt = entry.at;
}

void DayReplay::select(const JournalEntry& entry) { day.current = entry.label.value_or(""); }

void DayReplay::orderOpens(const JournalEntry& entry) {
    if (!entry.saleId || open.count(keyOf(entry.label)) != 0) {
        damaged(entry, "opens an order that is open already");
    }
    openOrder(entry.label.value_or(""), *entry.saleId, entry.at);
}

void DayReplay::remove(const JournalEntry& entry) {
    takeOut(entry);
    day.items[added.at(*entry.item)].removedAt = entry.at;
}

void DayReplay::part(const JournalEntry& entry) {
    if (!entry.customer || placed.count(entry.item.value_or(0)) == 0) {
        damaged(entry, "marks an item that is in no open order");
    }
    parts[*entry.customer].push_back(*entry.item);
}

// A close that carries the day's line must carry the line its records make.
void DayReplay::close(const JournalEntry& entry) {
    day.closedAt = entry.at;
    day.z = entry.z;
    const DayLine made = line();
    if ((entry.opened && *entry.opened != made.openedAt) ||
        (entry.customers && *entry.customers != made.customers) ||
        (entry.revenue && *entry.revenue != made.revenue)) {
        damaged(entry, "closes the day with a line its records do not make");
    }
}

void DayReplay::voidSale(const JournalEntry& entry) {
    const auto paid = entry.customer ? paidAt.find(*entry.customer) : paidAt.end();
    if (paid == paidAt.end() || day.customers[paid->second].voidedAt || !entry.reason) {
        damaged(entry, "voids a sale that is not a sale, or is void already");
    }
    day.customers[paid->second].voidedAt = entry.at;
    day.customers[paid->second].reason = *entry.reason;
    day.customers[paid->second].voidApprover = entry.approver.value_or("");
    --standing;
    revenue -= totals[*entry.customer];
}

// A renamed order keeps its items, its sale id and its place among orders.
void DayReplay::relabel(const JournalEntry& entry) {
    const std::string from = keyOf(entry.label);
    const auto found = entry.label ? open.find(from) : open.end();
    if (found == open.end() || !entry.name || open.count(foldedLabel(*entry.name)) != 0) {
        damaged(entry, "renames an order that is not open, or to one that is");
    }
    const std::string to = foldedLabel(*entry.name);
    Open renamed = std::move(found->second);
    open.erase(found);
    renamed.order.label = *entry.name;
    open.emplace(to, std::move(renamed));
    for (auto& [item, key] : placed) {
        key = key == from ? to : key;
    }
    if (!day.current.empty() && foldedLabel(day.current) == from) {
        day.current = *entry.name;
    }
    changed.insert(from);
    changed.insert(to);
}

void DayReplay::noted(const JournalEntry&) {}

// An item the kitchen changed changes the open order it is in.
void DayReplay::cooked(const JournalEntry& entry) {
    const KitchenReplay::Step step = kitchen.apply(entry, day, added);
    if (step.damage != nullptr) {
        damaged(entry, step.damage);
    }
    for (std::int64_t item : step.items) {
        if (const auto place = placed.find(item); place != placed.end()) {
            changed.insert(place->second);
        }
    }
}

std::size_t DayReplay::itemAt(std::int64_t seq) const { return added.at(seq); }

std::int64_t DayReplay::nextTicket() const { return kitchen.nextTicket(); }

const KitchenTicket* DayReplay::ticket(std::int64_t number) const {
    return kitchen.ticket(day, number);
}

const PaidCustomer* DayReplay::customer(std::int32_t number) const {
    const auto paid = paidAt.find(number);
    return paid == paidAt.end() ? nullptr : &day.customers[paid->second];
}

void DayReplay::openOrder(const std::string& label, const std::string& saleId, Moment at) {
    Open& made = open[foldedLabel(label)];
    made.order.label = label;
    made.order.saleId = saleId;
    made.order.openedAt = at;
    made.order.sequence = ++orderings;
    changed.insert(foldedLabel(label));
}

// Entries of the counter written before orders existed open its order
// themselves, and take its sale id when it is paid.
void DayReplay::add(const JournalEntry& entry) {
    if (!entry.kind || !entry.name || !entry.price || !entry.cost) {
        damaged(entry, "adds an item it does not describe");
    }
    const std::string key = keyOf(entry.label);
    if (open.count(key) == 0) {
        if (entry.label) {
            damaged(entry, "adds to an order that is not open");
        }
        openOrder("", "", entry.at);
    }
    const std::size_t at = day.items.size();
    JournalItem item;
    item.kind = *entry.kind;
    item.name = *entry.name;
    item.price = *entry.price;
    item.cost = *entry.cost;
    item.addedAt = entry.at;
    item.entry = entry.seq;
    item.vat = entry.vat.value_or(0);
    item.staff = entry.staff.value_or("");
    item.note = entry.note.value_or("");
    item.course = entry.course.value_or(defaultCourse(item.kind));
    item.station = entry.station.value_or(defaultStation(item.kind));
    day.items.push_back(std::move(item));
    added.emplace(entry.seq, at);
    if (entry.customer) {
        cartOf.emplace(entry.seq, *entry.customer);
    }
    placed.emplace(entry.seq, key);
    open.at(key).order.items[static_cast<std::size_t>(*entry.kind)].push_back(at);
    changed.insert(key);
}

// Erasing the order left empty leaves the other orders where they are.
void DayReplay::move(const JournalEntry& entry) {
    const std::string to = keyOf(entry.label);
    const auto place = entry.item ? placed.find(*entry.item) : placed.end();
    if (place == placed.end() || place->second == to) {
        damaged(entry, "moves an item that is in no other open order");
    }
    Open& target = openOf(entry, to);
    const std::size_t at = added.at(*entry.item);
    takeOut(entry);
    target.order.items[static_cast<std::size_t>(day.items[at].kind)].push_back(at);
    placed[*entry.item] = to;
    changed.insert(to);
}

std::string DayReplay::takeOut(const JournalEntry& entry) {
    const auto place = entry.item ? placed.find(*entry.item) : placed.end();
    if (place == placed.end()) {
        damaged(entry, "takes an item that is in no open order");
    }
    std::string key = place->second;
    changed.insert(key);
    const std::size_t at = added.at(*entry.item);
    OpenOrder& order = open.at(key).order;
    std::vector<std::size_t>& items = order.items[static_cast<std::size_t>(day.items[at].kind)];
    items.erase(std::find(items.begin(), items.end(), at));
    placed.erase(place);
    if (order.size() == 0) {
        open.erase(key);
    }
    return key;
}

void DayReplay::pay(const JournalEntry& entry) {
    if (!entry.customer || !entry.saleId) {
        damaged(entry, "records a payment without its customer");
    }
    const std::string key = keyOf(entry.label);
    PaidCustomer paid = money.paidOf(entry, openOf(entry, key).order, day);
    if (entry.amount) {
        changed.insert(key);
    }
    std::vector<std::size_t>& items = paidItems[*entry.customer];
    Money prices;
    for (std::int64_t item : paidFor(entry, openOf(entry, key).order)) {
        if (placed.count(item) == 0 || placed.at(item) != key) {
            damaged(entry, "pays for an item that is not in its order");
        }
        JournalEntry out = entry;
        out.item = item;
        takeOut(out);
        const std::size_t at = added.at(item);
        day.items[at].customer = *entry.customer;
        items.push_back(at);
        prices += day.items[at].price;
    }
    std::sort(items.begin(), items.end());
    paid.total = entry.amount ? *entry.amount : prices - paid.discount + paid.charge;
    paid.tenders = money.takeTenders(paid.number);
    if (paid.tenders.empty()) {
        paid.tenders.push_back({paid.method, paid.total, paid.given});
    }
    ++standing;
    totals[paid.number] = paid.total;
    revenue += paid.total;
    paidAt.emplace(paid.number, day.customers.size());
    day.customers.push_back(std::move(paid));
    lastCustomer = std::max(lastCustomer, *entry.customer);
}

void DayReplay::marked(const JournalEntry& entry) {
    if (const char* damage = MoneyReplay::marked(entry, day)) {
        damaged(entry, damage);
    }
}

// Discounts, the drawer, tenders and equal parts.
void DayReplay::cashed(const JournalEntry& entry) {
    using Type = JournalEntry::Type;
    if (entry.type == Type::drawer) {
        day.drawer.push_back(MoneyReplay::drawerMoveOf(entry));
    } else if (entry.type == Type::tender) {
        money.tender(entry);
    } else if (entry.type == Type::discount && entry.item) {
        const auto place = placed.find(*entry.item);
        if (place == placed.end()) {
            damaged(entry, "discounts an item that is in no open order");
        }
        money.discountItem(entry);
        changed.insert(place->second);
    } else {
        const std::string key = keyOf(entry.label);
        OpenOrder& order = openOf(entry, key).order;
        if (entry.type == Type::discount) {
            order.discounts.push_back(MoneyReplay::discountOf(entry));
        } else {
            order.parts = entry.parts.value_or(0);
        }
        changed.insert(key);
    }
}

// The items a payment takes: those marked as its parts, else the whole
// order's. Items added before orders existed name the customer whose cart
// they went into: another customer's stay.
std::vector<std::int64_t> DayReplay::paidFor(const JournalEntry& entry, const OpenOrder& order) {
    const std::int32_t customer = *entry.customer;
    if (entry.amount && order.partsPaid < order.parts) {
        return {};
    }
    std::vector<std::int64_t> taken = parts[customer];
    parts.erase(customer);
    if (!taken.empty()) {
        return taken;
    }
    for (const auto& kind : order.items) {
        for (std::size_t at : kind) {
            const auto cart = cartOf.find(day.items[at].entry);
            if (cart == cartOf.end() || cart->second == customer) {
                taken.push_back(day.items[at].entry);
            }
        }
    }
    return taken;
}

DayReplay::Open& DayReplay::openOf(const JournalEntry& entry, const std::string& key) {
    const auto found = open.find(key);
    if (found == open.end()) {
        damaged(entry, "names an order that is not open");
    }
    return found->second;
}

DayRecord DayReplay::record() const {
    DayRecord made = day;
    made.orders.clear();
    for (const OpenOrder* order : orders()) {
        made.orders.push_back(*order);
    }
    return made;
}

const DayRecord& DayReplay::sofar() const { return day; }

const OpenOrder* DayReplay::order(std::string_view label) const {
    const auto found = open.find(foldedLabel(label));
    return found == open.end() ? nullptr : &found->second.order;
}

std::vector<const OpenOrder*> DayReplay::orders() const {
    std::vector<const Open*> listed;
    listed.reserve(open.size());
    for (const auto& entry : open) {
        listed.push_back(&entry.second);
    }
    std::sort(listed.begin(), listed.end(), [](const Open* a, const Open* b) {
        const bool aCounter = a->order.label.empty();
        const bool bCounter = b->order.label.empty();
        return aCounter != bCounter ? aCounter : a->order.sequence < b->order.sequence;
    });
    std::vector<const OpenOrder*> orders;
    orders.reserve(listed.size());
    for (const Open* order : listed) {
        orders.push_back(&order->order);
    }
    return orders;
}

const std::string& DayReplay::current() const { return day.current; }

std::int32_t DayReplay::nextCustomer() const { return lastCustomer + 1; }

bool DayReplay::everHeldAnItem() const { return !added.empty(); }

const std::set<std::string>& DayReplay::changedOrders() const { return changed; }

void DayReplay::forgetChanges() { changed.clear(); }

DayLine DayReplay::line() const {
    return {day.number, day.openedAt, day.closedAt, standing, revenue};
}

const std::vector<std::size_t>& DayReplay::itemsOf(std::int32_t customer) const {
    static const std::vector<std::size_t> none;
    const auto found = paidItems.find(customer);
    return found == paidItems.end() ? none : found->second;
}

std::optional<std::pair<std::size_t, std::string>> DayReplay::openItem(std::string_view id) const {
    const std::string prefix = std::to_string(day.number) + "-";
    if (id.substr(0, prefix.size()) != prefix || id.size() == prefix.size() ||
        id.size() > prefix.size() + 18) {
        return std::nullopt;
    }
    std::int64_t seq = 0;
    for (char digit : id.substr(prefix.size())) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        seq = seq * 10 + (digit - '0');
    }
    const auto place = placed.find(seq);
    if (place == placed.end() || itemIdOf(day.number, seq) != id) {
        return std::nullopt;
    }
    return std::make_pair(added.at(seq), open.at(place->second).order.label);
}

DayRecord DayReplay::of(std::int32_t day, const std::vector<JournalEntry>& entries) {
    DayReplay replay(day);
    for (const JournalEntry& entry : entries) {
        replay.apply(entry);
    }
    return replay.record();
}

// A void sale counts neither as a customer nor as revenue.
DayLine DayReplay::lineOf(const DayRecord& day) {
    DayLine line{day.number, day.openedAt, day.closedAt, 0, Money()};
    for (const PaidCustomer& customer : day.customers) {
        if (!customer.voidedAt) {
            ++line.customers;
            line.revenue += customer.total;
        }
    }
    return line;
}

void DayReplay::damaged(const JournalEntry& entry, const char* what) const {
    throw JournalError("day " + std::to_string(day.number) + ", record " +
                       std::to_string(entry.seq) + " " + what);
}

std::vector<Discount> DayReplay::discountsOn(const OpenOrder& order) const {
    return money.discountsOn(order, day);
}

void DayReplay::chargeTables(std::int64_t serviceCharge) {
    charge = serviceCharge;
    for (const auto& [key, order] : open) {
        changed.insert(key);
    }
}

std::int64_t DayReplay::serviceCharge() const { return charge; }
