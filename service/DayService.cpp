#include "service/DayService.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <memory>
#include <new>
#include <variant>

#include "base/SaleId.h"
#include "base/TableLabel.h"
#include "service/ItemFinder.h"

namespace {

Refusal refusal(Refusal::Reason reason) {
    Refusal made;
    made.reason = reason;
    return made;
}

template <typename Value>
bool holds(const std::variant<Value, Refusal>& choice) {
    return choice.index() == 0;
}

Refusal journalRefusal(const std::string& why) {
    Refusal refused = refusal(Refusal::Reason::journalRefused);
    refused.text = why;
    return refused;
}

// The service whose batch this thread is running, if any.
thread_local const DayService* batchOf = nullptr;

}  // namespace

DayService::DayService(Menu menu, Journal& journal, Clock clock, std::int64_t vat)
    : sold(std::move(menu)),
      journal(journal),
      clock(std::move(clock)),
      vat(vat),
      writer([this](const std::function<void()>& each) { return writeBatch(each); }) {}

DayService::~DayService() = default;

Moment DayService::systemClock() { return static_cast<Moment>(std::time(nullptr)); }

Started DayService::start() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const Journal::OpenDay opened = journal.openDay(clock());
    DayReplay day(opened.number);
    try {
        for (const JournalEntry& entry : opened.entries) {
            day.apply(entry);
        }
    } catch (const JournalError& error) {
        throw JournalError(journal.description() + " is damaged: " + error.what());
    }
    replay.emplace(std::move(day));
    number = opened.number;
    closed = false;
    Started started{number,
                    opened.resumed,
                    replay->sofar().openedAt,
                    replay->sofar().customers.size(),
                    replay->nextCustomer(),
                    replay->current(),
                    {}};
    for (const OpenOrder* order : replay->orders()) {
        started.orders.push_back(viewOf(*order));
    }
    return started;
}

void DayService::leaveOpen() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (closed || !replay) {
        return;
    }
    try {
        journal.leaveDayOpen();
    } catch (const JournalError&) {
        // Kept open, it is resumed at the next start.
    }
    closed = true;
}

Outcome<Selected> DayService::select(const std::string& label) {
    if (!inBatch()) {
        return written<Selected>([&] { return select(label); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready(); refused || (refused = checkLabel(label))) {
        return *refused;
    }
    Selected selected{spelled(label), std::nullopt};
    if (const OpenOrder* open = replay->order(label)) {
        selected.order = viewOf(*open);
    }
    if (foldedLabel(replay->current()) != foldedLabel(label)) {
        if (std::optional<Refusal> refused = commit({entry(JournalEntry::Type::select, label)})) {
            return *refused;
        }
    }
    return selected;
}

Outcome<Added> DayService::add(const std::string& order, ItemKind kind, const ItemChoice& item,
                               int count) {
    if (!inBatch()) {
        return written<Added>([&] { return add(order, kind, item, count); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready(); refused || (refused = checkLabel(order))) {
        return *refused;
    }
    if (count < 1 || count > mostCopies) {
        Refusal refused = refusal(Refusal::Reason::badCount);
        refused.number = count;
        return refused;
    }
    const auto chosen = ItemFinder(sold, *replay).onMenu(kind, item);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    const MenuItem& sale = *std::get<const MenuItem*>(chosen);
    std::vector<JournalEntry> entries;
    entries.reserve(static_cast<std::size_t>(count) + 1);
    if (replay->order(order) == nullptr) {
        entries.push_back(entry(JournalEntry::Type::order, order));
        entries.back().saleId = newSaleId();
    }
    JournalEntry added = entry(JournalEntry::Type::add, order);
    added.kind = kind;
    added.name = sale.name;
    added.price = sale.price;
    added.cost = sale.cost;
    added.vat = sale.vat.value_or(vat);
    entries.insert(entries.end(), static_cast<std::size_t>(count), added);
    Added result{spelled(order), replay->nextCustomer(), sale.name, count};
    if (std::optional<Refusal> refused = commit(std::move(entries))) {
        return *refused;
    }
    return result;
}

Outcome<Removed> DayService::remove(const std::string& order, ItemKind kind,
                                    const ItemChoice& item) {
    if (!inBatch()) {
        return written<Removed>([&] { return remove(order, kind, item); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready(); refused || (refused = checkLabel(order))) {
        return *refused;
    }
    const auto chosen = ItemFinder(sold, *replay).inOrder(order, kind, item);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    const JournalItem& taken = replay->sofar().items[std::get<std::size_t>(chosen)];
    JournalEntry removal = entry(JournalEntry::Type::remove, "");
    removal.item = taken.entry;
    Removed result{spelled(order), replay->nextCustomer(), taken.name};
    if (std::optional<Refusal> refused = commit({removal})) {
        return *refused;
    }
    return result;
}

Outcome<Cleared> DayService::clear(const std::string& order) {
    if (!inBatch()) {
        return written<Cleared>([&] { return clear(order); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready(); refused || (refused = checkLabel(order))) {
        return *refused;
    }
    const OpenOrder* open = replay->order(order);
    if (open == nullptr) {
        return emptyOrder(order);
    }
    std::vector<JournalEntry> removals;
    removals.reserve(open->size());
    const Moment now = clock();
    for (const auto& kind : open->items) {
        for (std::size_t at : kind) {
            removals.push_back(JournalEntry::of(JournalEntry::Type::remove, now));
            removals.back().item = replay->sofar().items[at].entry;
        }
    }
    Cleared result{spelled(order), replay->nextCustomer(), open->size()};
    if (std::optional<Refusal> refused = commit(std::move(removals))) {
        return *refused;
    }
    return result;
}

Outcome<Paid> DayService::pay(const std::string& order,
                              const std::vector<std::pair<ItemKind, ItemChoice>>& items,
                              const Payment& payment) {
    if (!inBatch()) {
        return written<Paid>([&] { return pay(order, items, payment); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready(); refused || (refused = checkLabel(order))) {
        return *refused;
    }
    const OpenOrder* open = replay->order(order);
    if (open == nullptr) {
        return emptyOrder(order);
    }
    auto chosen = ItemFinder(sold, *replay).chosen(order, items);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    if (payment.method != "cash" && payment.method != "card" && payment.method != "other") {
        Refusal refused = refusal(Refusal::Reason::badMethod);
        refused.text = payment.method;
        return refused;
    }
    return payFor(*open, std::get<std::vector<std::size_t>>(chosen), payment);
}

// A whole order is paid under its own sale id; part of one, under a new
// one, its items marked first. After a table pays, the till turns back to
// the counter.
Outcome<Paid> DayService::payFor(const OpenOrder& open, const std::vector<std::size_t>& chosen,
                                 const Payment& payment) {
    Paid result;
    result.order = open.label;
    result.customer = replay->nextCustomer();
    result.next = result.customer + 1;
    result.items = chosen.size();
    result.left = open.size() - chosen.size();
    result.payment = payment;
    const bool whole = result.left == 0;
    result.saleId = whole ? open.saleId : newSaleId();
    std::vector<JournalEntry> entries;
    entries.reserve(chosen.size() + 2);
    for (std::size_t at : chosen) {
        const JournalItem& paid = replay->sofar().items[at];
        result.total += paid.price;
        if (!whole) {
            entries.push_back(entry(JournalEntry::Type::part, ""));
            entries.back().item = paid.entry;
            entries.back().customer = result.customer;
        }
    }
    if (payment.given && *payment.given < result.total) {
        Refusal refused = refusal(Refusal::Reason::notEnough);
        refused.given = *payment.given;
        refused.due = result.total;
        return refused;
    }
    result.change = payment.given ? *payment.given - result.total : Money();
    entries.push_back(entry(JournalEntry::Type::pay, open.label));
    entries.back().customer = result.customer;
    entries.back().saleId = result.saleId;
    entries.back().method = payment.method;
    entries.back().given = payment.given;
    if (whole && !open.label.empty() && foldedLabel(replay->current()) == foldedLabel(open.label)) {
        entries.push_back(entry(JournalEntry::Type::select, ""));
    }
    if (std::optional<Refusal> refused = commit(std::move(entries))) {
        return *refused;
    }
    return result;
}

Outcome<Moved> DayService::move(const std::string& order, ItemKind kind, const ItemChoice& item,
                                const std::string& to) {
    if (!inBatch()) {
        return written<Moved>([&] { return move(order, kind, item, to); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready();
        refused || (refused = checkLabel(order)) || (refused = checkLabel(to))) {
        return *refused;
    }
    if (foldedLabel(order) == foldedLabel(to)) {
        Refusal refused = refusal(Refusal::Reason::sameOrder);
        refused.order = spelled(order);
        return refused;
    }
    const auto chosen = ItemFinder(sold, *replay).inOrder(order, kind, item);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    const JournalItem& moving = replay->sofar().items[std::get<std::size_t>(chosen)];
    std::vector<JournalEntry> entries;
    if (replay->order(to) == nullptr) {
        entries.push_back(entry(JournalEntry::Type::order, to));
        entries.back().saleId = newSaleId();
    }
    entries.push_back(entry(JournalEntry::Type::move, to));
    entries.back().item = moving.entry;
    Moved result{moving.name, spelled(order), spelled(to), replay->nextCustomer()};
    if (std::optional<Refusal> refused = commit(std::move(entries))) {
        return *refused;
    }
    return result;
}

Outcome<Voided> DayService::voidSale(std::int32_t customer, const std::string& reason) {
    if (!inBatch()) {
        return written<Voided>([&] { return voidSale(customer, reason); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready()) {
        return *refused;
    }
    const PaidCustomer* paid = replay->customer(customer);
    if (paid == nullptr || paid->voidedAt || reason.empty()) {
        Refusal refused = refusal(paid == nullptr  ? Refusal::Reason::noSuchCustomer
                                  : paid->voidedAt ? Refusal::Reason::alreadyVoid
                                                   : Refusal::Reason::noReason);
        refused.number = customer;
        return refused;
    }
    Voided result{customer, Money(), reason};
    for (const JournalItem& item : replay->sofar().items) {
        if (item.customer == customer && !item.removedAt) {
            result.total += item.price;
        }
    }
    JournalEntry voided = entry(JournalEntry::Type::voided, "");
    voided.customer = customer;
    voided.reason = reason;
    if (std::optional<Refusal> refused = commit({voided})) {
        return *refused;
    }
    return result;
}

Outcome<Closed> DayService::closeDay() {
    if (!inBatch()) {
        return written<Closed>([&] { return closeDay(); });
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (std::optional<Refusal> refused = ready()) {
        return *refused;
    }
    const std::vector<const OpenOrder*> open = replay->orders();
    if (!open.empty()) {
        Refusal refused = refusal(Refusal::Reason::ordersOpen);
        for (const OpenOrder* order : open) {
            refused.names.push_back(order->label);
        }
        return refused;
    }
    try {
        journal.closeDay(clock());
    } catch (const JournalError& error) {
        return journalRefusal(error.what());
    }
    staged = true;
    closed = true;
    return Closed{number};
}

const Menu& DayService::menu() const { return sold; }

std::string DayService::current() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return replay ? replay->current() : std::string();
}

std::optional<OrderView> DayService::order(const std::string& label) const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const OpenOrder* open = replay ? replay->order(label) : nullptr;
    if (open == nullptr) {
        return std::nullopt;
    }
    return viewOf(*open);
}

std::vector<OrderView> DayService::orders() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    std::vector<OrderView> views;
    if (replay) {
        for (const OpenOrder* order : replay->orders()) {
            views.push_back(viewOf(*order));
        }
    }
    return views;
}

std::int32_t DayService::nextCustomer() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return replay ? replay->nextCustomer() : 1;
}

DayRecord DayService::record() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return replay ? replay->record() : DayRecord{};
}

std::optional<DayRecord> DayService::dayRecord(std::int32_t asked) const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (replay && asked == number) {
        return replay->record();
    }
    return journal.day(asked);
}

std::vector<DayLine> DayService::days() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return journal.days();
}

std::int32_t DayService::day() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return number;
}

bool DayService::over() const {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return closed;
}

// A day whose memory failed is rebuilt before anything else is done.
std::optional<Refusal> DayService::ready() {
    if (closed || !replay) {
        return refusal(Refusal::Reason::dayOver);
    }
    if (stale) {
        rebuild();
    }
    if (stale) {
        return refusal(Refusal::Reason::memoryLost);
    }
    return std::nullopt;
}

// The entries go to the journal first; memory follows what it took.
// Memory takes the entries once the journal holds them; for a tagged
// command, it takes them inside the journal's transaction, so that the
// answer shows the day they make and goes in with them under its key.
std::optional<Refusal> DayService::commit(std::vector<JournalEntry> entries) {
    bool applied = false;
    const auto apply = [&](std::int64_t first) {
        applied = true;
        for (std::size_t at = 0; at < entries.size(); ++at) {
            entries[at].day = number;
            entries[at].seq = first + static_cast<std::int64_t>(at);
            replay->apply(entries[at]);
        }
    };
    Journal::Within within;
    if (tag != nullptr && tag->answer) {
        within = [&](std::int64_t first) -> std::optional<Journal::KeptAnswer> {
            apply(first);
            answer = tag->answer(replay->withOpenOrders());
            if (tag->key.empty()) {
                return std::nullopt;
            }
            return Journal::KeptAnswer{tag->key, *answer};
        };
    }
    std::int64_t first = 0;
    try {
        first = journal.append(entries, within);
    } catch (const std::bad_alloc&) {
        return refusedAfter(applied, "out of memory");
    } catch (const std::exception& error) {
        return refusedAfter(applied, error.what());
    }
    staged = true;
    try {
        if (!applied) {
            apply(first);
        }
    } catch (const std::bad_alloc&) {
        rebuild();
    }
    return std::nullopt;
}

// Memory that took entries the journal then refused is read again.
Refusal DayService::refusedAfter(bool applied, const std::string& why) {
    answer.reset();
    if (applied) {
        rebuild();
    }
    return journalRefusal(why);
}

// Memory stays marked stale until a rebuild succeeds; the next command
// tries again first.
void DayService::rebuild() {
    stale = true;
    try {
        DayReplay rebuilt(number);
        for (const JournalEntry& entry : journal.openDayEntries()) {
            rebuilt.apply(entry);
        }
        replay.emplace(std::move(rebuilt));
        stale = false;
    } catch (const std::bad_alloc&) {
    } catch (const JournalError&) {
    }
}

std::optional<Refusal> DayService::checkLabel(const std::string& label) const {
    if (label.empty() || isTableLabel(label)) {
        return std::nullopt;
    }
    Refusal refused = refusal(Refusal::Reason::badLabel);
    refused.text = label;
    return refused;
}

Refusal DayService::emptyOrder(const std::string& order) const {
    Refusal refused = refusal(Refusal::Reason::emptyOrder);
    refused.order = spelled(order);
    return refused;
}

std::string DayService::spelled(const std::string& label) const {
    const OpenOrder* open = replay ? replay->order(label) : nullptr;
    return open != nullptr ? open->label : label;
}

OrderView DayService::viewOf(const OpenOrder& order) const {
    OrderView view{order.label, order.saleId, order.openedAt, {}, Money(), order.size()};
    for (std::size_t kind = 0; kind < order.items.size(); ++kind) {
        for (std::size_t at : order.items[kind]) {
            const JournalItem& item = replay->sofar().items[at];
            view.items[kind].push_back({item.kind, item.name, item.price, item.cost});
            view.total += item.price;
        }
    }
    return view;
}

// An entry of that type at the clock's moment, for that order; the counter's
// order has no label.
JournalEntry DayService::entry(JournalEntry::Type type, const std::string& label) const {
    JournalEntry made = JournalEntry::of(type, clock());
    if (!label.empty()) {
        made.label = label;
    }
    if (tag != nullptr && !tag->staff.empty()) {
        made.staff = tag->staff;
    }
    return made;
}

bool DayService::inBatch() const { return batchOf == this; }

template <typename Result>
Outcome<Result> DayService::written(const std::function<Outcome<Result>()>& command) {
    std::optional<Outcome<Result>> outcome;
    std::exception_ptr thrown;
    bool wrote = false;
    bool lost = false;
    std::string why;
    writer.run(
        [&] {
            staged = false;
            try {
                outcome.emplace(command());
            } catch (...) {
                thrown = std::current_exception();
            }
            wrote = staged;
            return wrote;
        },
        [&](const std::optional<std::string>& failure) {
            if (failure && wrote) {
                lost = true;
                why.assign(*failure);
            }
        });
    if (thrown) {
        std::rethrow_exception(thrown);
    }
    if (lost) {
        return journalRefusal(why);
    }
    return std::move(*outcome);
}

// Memory follows the batch as it goes; when the batch cannot be made
// durable, the day is read again from the journal, which kept none of it.
std::optional<std::string> DayService::writeBatch(const std::function<void()>& each) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const bool wasClosed = closed;
    batchOf = this;
    journal.beginBatch();
    each();
    batchOf = nullptr;
    std::optional<std::string> failure;
    try {
        journal.commitBatch();
    } catch (const std::bad_alloc&) {
        failure = "out of memory";
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (failure) {
        closed = wasClosed;
        rebuild();
    }
    return failure;
}

void DayService::tagged(Tag given, Command command, Told told) {
    struct Tagged {
        Tag tag;
        Command command;
        TagOutcome outcome;
        bool wrote = false;
    };
    auto state = std::make_shared<Tagged>(Tagged{std::move(given), std::move(command), {}, false});
    writer.post(
        [this, state] {
            staged = false;
            state->outcome = taggedInBatch(state->tag, state->command);
            state->wrote = staged;
            // An earlier answer may have been kept by this very batch, and
            // is then gone with it: a retry that is refused is retried again.
            return state->wrote || state->outcome.earlier.has_value();
        },
        [state, told = std::move(told)](const std::optional<std::string>& failure) {
            if (failure && (state->wrote || state->outcome.earlier)) {
                state->outcome.earlier.reset();
                state->outcome.answer.reset();
                state->outcome.refusal.emplace().reason = Refusal::Reason::journalRefused;
                state->outcome.refusal->text = *failure;
            }
            told(std::move(state->outcome));
        });
}

// Runs on the writer's thread, where nothing may escape: a failure is the
// command's refusal.
DayService::TagOutcome DayService::taggedInBatch(const Tag& given, const Command& command) {
    TagOutcome outcome;
    try {
        if (!given.key.empty()) {
            outcome.earlier = journal.keptAnswer(given.key);
            if (outcome.earlier) {
                return outcome;
            }
        }
        tag = &given;
        answer.reset();
        outcome.refusal = command();
        outcome.answer = std::move(answer);
    } catch (const std::bad_alloc&) {
        outcome.refusal = refusal(Refusal::Reason::memoryLost);
    } catch (const std::exception& error) {
        outcome.refusal = journalRefusal(error.what());
    }
    tag = nullptr;
    return outcome;
}

void DayService::settle() { writer.settle(); }

std::size_t DayService::batches() const { return writer.batches(); }

std::size_t DayService::waiting() const { return writer.waiting(); }
