#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "journal/DayRecord.h"
#include "journal/Journal.h"
#include "menu/Menu.h"
#include "service/Commands.h"
#include "service/DaySnapshot.h"
#include "service/DayWriter.h"
#include "service/Outcome.h"
#include "service/Results.h"
#include "service/SnapshotBoard.h"
#include "service/Submission.h"

// DayService is the day's service as its users see it: typed commands in,
// typed results out, or refusals that say why nothing changed; it knows no
// text and no streams. Every command goes to the day's one writer (see
// DayWriter), which writes it to the journal before anything changes and
// answers once it is on disk; every read is served from the latest
// snapshot, so that reads never wait for the disk. It may be called from
// any thread.
class DayService {
public:
    using Clock = std::function<Moment()>;
    static constexpr int mostCopies = 99;

    // Items whose menu gives no VAT rate sell at `vat`, in hundredths of a
    // percent. The journal must outlive the service.
    DayService(Menu menu, Journal& journal, Clock clock = systemClock, std::int64_t vat = 0);
    DayService(const DayService&) = delete;
    DayService& operator=(const DayService&) = delete;
    ~DayService();

    // Opens the day, or resumes the one the journal holds open; throws
    // JournalError when the journal cannot. Tickets for the stations of
    // `printers` go to the print queue.
    // Tables' bills carry `serviceCharge`, in hundredths of a percent.
    Started start(std::set<std::string> printers = {}, std::int64_t serviceCharge = 0);
    // Leaves the day open for the next start, charging nothing.
    void leaveOpen();

    // The console's commands, each carried out whole before it returns.
    Outcome<Selected> select(const std::string& label);
    Outcome<Added> add(const std::string& order, ItemKind kind, const ItemChoice& item, int count,
                       const std::string& note = "");
    Outcome<Removed> remove(const std::string& order, const ItemRef& item);
    Outcome<Cleared> clear(const std::string& order);
    // Pays for the whole order, or, when items are named, for those alone.
    Outcome<Paid> pay(const std::string& order, const std::vector<ItemRef>& items = {},
                      const Payment& payment = {});
    // Pays as the command says: in parts, with a tip, or against a total.
    Outcome<Paid> pay(PayOrder command);
    Outcome<Discounted> discount(GiveDiscount command);
    Outcome<SplitUp> splitEvenly(const std::string& order, std::int64_t parts);
    Outcome<DrawerMoved> drawer(DrawerCash command);
    Outcome<Voided> voidSale(std::int32_t customer, const std::string& reason);
    Outcome<Moved> move(const std::string& order, const ItemRef& item, const std::string& to);
    Outcome<Moved> moveAll(const std::string& order, const std::string& to);
    // Sends the order's items not sent yet to their stations; fires a course.
    Outcome<Sent> send(const std::string& order);
    Outcome<Sent> fire(const std::string& order, std::int64_t course);
    // Prints a ticket again, headed COPY.
    Outcome<TicketMarked> reprint(std::int64_t ticket);
    // Closes the day, once no order is open; with `openNext`, the next day
    // opens at once.
    Outcome<Closed> closeDay(bool openNext = false);

    // Hands any command to the writer, as devices do, with who asks and the
    // request's key; `submission.tell` hears, on the writer's thread, what
    // came of it.
    void submit(Submission submission);
    // Carries the command out and returns what came of it: asked by that
    // member of staff in that role, with a manager's approval when given.
    Told carryOut(DayCommand command, std::string staff = "", StaffRole role = StaffRole::manager,
                  std::string approver = "");

    // Returns the day as the last commit left it.
    std::shared_ptr<const DaySnapshot> snapshot() const;
    const Menu& menu() const;
    // Returns the label of the order the till works on.
    std::string current() const;
    std::optional<OrderView> order(const std::string& label) const;
    // Returns the open orders: the counter's first, then the tables'.
    std::vector<OrderView> orders() const;
    std::int32_t nextCustomer() const;
    // Returns the open day as its entries make it.
    DayRecord record() const;
    std::int32_t day() const;
    bool over() const;

    // Calls `listener` on the writer's thread after each snapshot it
    // publishes, with the snapshot's version.
    void onPublished(DayWriter::Listener listener);
    // Returns once every command handed over is carried out and told.
    void settle();
    // Returns how many batches the writer has written, for tests.
    std::size_t batches() const;
    // Returns how many commands wait for the next batch, for tests.
    std::size_t waiting() const;

    // Returns the time of the system's clock.
    static Moment systemClock();

private:
    template <typename Result>
    Outcome<Result> outcomeOf(DayCommand command);

    std::shared_ptr<const Menu> sold;
    SnapshotBoard board;
    // Last, so that it stops before what it publishes to goes.
    DayWriter writer;
};
