#include "service/DayService.h"

#include <condition_variable>
#include <ctime>
#include <utility>

#include "base/ThreadSafety.h"
#include "journal/Journal.h"

namespace {

// A caller waiting for what came of its command, told on the writer's
// thread; shared, so that it lives as long as either side holds it.
class Waiter {
public:
    void tell(Told given) {
        {
            MutexLock lock(mutex);
            told.emplace(std::move(given));
        }
        done.notify_one();
    }

    Told wait() {
        MutexLock lock(mutex);
        while (!told) {
            lock.wait(done);
        }
        return std::move(*told);
    }

private:
    Mutex mutex;
    std::condition_variable done;
    std::optional<Told> told GUARDED_BY(mutex);
};

}  // namespace

DayService::DayService(Menu menu, Journal& journal, Clock clock, std::int64_t vat)
    : sold(std::make_shared<const Menu>(std::move(menu))),
      writer(journal, sold, std::move(clock), vat, board) {}

DayService::~DayService() = default;

Moment DayService::systemClock() { return static_cast<Moment>(std::time(nullptr)); }

Started DayService::start(std::set<std::string> printers, std::int64_t serviceCharge) {
    Told told = carryOut(StartDay{std::move(printers), serviceCharge});
    if (told.refusal) {
        throw JournalError(told.refusal->text);
    }
    return std::get<Started>(std::move(*told.result));
}

void DayService::leaveOpen() { (void)carryOut(LeaveOpen{}); }

void DayService::submit(Submission submission) { writer.submit(std::move(submission)); }

Told DayService::carryOut(DayCommand command, std::string staff, StaffRole role,
                          std::string approver) {
    auto waiter = std::make_shared<Waiter>();
    Submission submission;
    submission.command = std::move(command);
    submission.staff = std::move(staff);
    submission.tell = [waiter](Told told) { waiter->tell(std::move(told)); };
    submission.role = role;
    submission.approver = std::move(approver);
    writer.run(std::move(submission));
    return waiter->wait();
}

template <typename Result>
Outcome<Result> DayService::outcomeOf(DayCommand command) {
    Told told = carryOut(std::move(command));
    if (told.refusal) {
        return std::move(*told.refusal);
    }
    return std::get<Result>(std::move(*told.result));
}

Outcome<Selected> DayService::select(const std::string& label) {
    return outcomeOf<Selected>(SelectOrder{label});
}

Outcome<Added> DayService::add(const std::string& order, ItemKind kind, const ItemChoice& item,
                               int count, const std::string& note) {
    return outcomeOf<Added>(AddItems{order, kind, item, count, note, std::nullopt});
}

Outcome<Sent> DayService::send(const std::string& order) {
    return outcomeOf<Sent>(SendOrder{order});
}

Outcome<Sent> DayService::fire(const std::string& order, std::int64_t course) {
    return outcomeOf<Sent>(FireCourse{order, course});
}

Outcome<Paid> DayService::pay(PayOrder command) { return outcomeOf<Paid>(std::move(command)); }

Outcome<Discounted> DayService::discount(GiveDiscount command) {
    return outcomeOf<Discounted>(std::move(command));
}

Outcome<SplitUp> DayService::splitEvenly(const std::string& order, std::int64_t parts) {
    return outcomeOf<SplitUp>(SplitEvenly{order, parts});
}

Outcome<DrawerMoved> DayService::drawer(DrawerCash command) {
    return outcomeOf<DrawerMoved>(std::move(command));
}

Outcome<TicketMarked> DayService::reprint(std::int64_t ticket) {
    return outcomeOf<TicketMarked>(ReprintTicket{ticket});
}

Outcome<Moved> DayService::moveAll(const std::string& order, const std::string& to) {
    return outcomeOf<Moved>(MoveItems{order, {}, to, true});
}

Outcome<Removed> DayService::remove(const std::string& order, const ItemRef& item) {
    return outcomeOf<Removed>(RemoveItem{order, item});
}

Outcome<Cleared> DayService::clear(const std::string& order) {
    return outcomeOf<Cleared>(ClearOrder{order});
}

Outcome<Paid> DayService::pay(const std::string& order, const std::vector<ItemRef>& items,
                              const Payment& payment) {
    PayOrder command;
    command.order = order;
    command.items = items;
    command.payment = payment;
    return outcomeOf<Paid>(std::move(command));
}

Outcome<Voided> DayService::voidSale(std::int32_t customer, const std::string& reason) {
    return outcomeOf<Voided>(VoidSale{customer, "", reason});
}

Outcome<Moved> DayService::move(const std::string& order, const ItemRef& item,
                                const std::string& to) {
    return outcomeOf<Moved>(MoveItems{order, {item}, to, false});
}

Outcome<Closed> DayService::closeDay(bool openNext) {
    return outcomeOf<Closed>(CloseDay{openNext});
}

std::shared_ptr<const DaySnapshot> DayService::snapshot() const { return board.latest(); }

const Menu& DayService::menu() const { return *sold; }

std::string DayService::current() const { return snapshot()->current; }

std::optional<OrderView> DayService::order(const std::string& label) const {
    const std::shared_ptr<const DaySnapshot> now = snapshot();
    const OrderView* open = now->order(label);
    return open != nullptr ? std::optional<OrderView>(*open) : std::nullopt;
}

std::vector<OrderView> DayService::orders() const {
    const std::shared_ptr<const DaySnapshot> now = snapshot();
    std::vector<OrderView> views;
    views.reserve(now->orders.size());
    for (const std::shared_ptr<const OrderView>& open : now->orders) {
        views.push_back(*open);
    }
    return views;
}

std::int32_t DayService::nextCustomer() const { return snapshot()->nextCustomer; }

DayRecord DayService::record() const { return snapshot()->record(); }

std::int32_t DayService::day() const { return snapshot()->day; }

bool DayService::over() const { return snapshot()->over; }

void DayService::onPublished(DayWriter::Listener listener) {
    writer.onPublished(std::move(listener));
}

void DayService::settle() { writer.settle(); }

std::size_t DayService::batches() const { return writer.batches(); }

std::size_t DayService::waiting() const { return writer.waiting(); }
