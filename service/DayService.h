#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "journal/DayRecord.h"
#include "journal/DayReplay.h"
#include "journal/Journal.h"
#include "menu/Menu.h"
#include "service/GroupCommit.h"
#include "service/Outcome.h"
#include "service/Results.h"

// DayService is the day's service: the orders open at the counter and at the
// tables, the customers who paid, and the rules that change them. It takes
// typed commands and gives typed results, or refusals that say why nothing
// changed; it knows no text and no streams.
//
// Every change is written to the journal before memory changes, as the
// entries that make it, and memory is the replay of what the journal took,
// so the two cannot disagree. Should memory run out after the journal took a
// change, the day is rebuilt from the journal. One command is carried out
// at a time, whole: the service may be called from several threads.
//
// Orders are named by label: "" for the counter's, a table's label for a
// table's (see base/TableLabel.h). An order opens, with its sale id, when
// its first item goes in, and closes when it is paid or emptied. Customers
// are numbered in the order they pay.
//
// Changes reach the journal through one writer (GroupCommit): those that
// arrive while a batch is being synced are written together in the next,
// each a savepoint of its own, and each is answered once its batch is on
// disk. A command refused for bad input writes nothing and is answered at
// once. A batch that cannot be made durable refuses every change in it.
class DayService {
public:
    using Clock = std::function<Moment()>;
    static constexpr int mostCopies = 99;

    // Items whose menu gives no VAT rate sell at `vat`, in hundredths of a
    // percent.
    DayService(Menu menu, Journal& journal, Clock clock = systemClock, std::int64_t vat = 0);
    DayService(const DayService&) = delete;
    DayService& operator=(const DayService&) = delete;
    ~DayService();

    // Opens the day, or resumes the one the journal holds open; throws
    // JournalError when the journal cannot.
    Started start();
    // Leaves the day open for the next start, charging nothing.
    void leaveOpen();

    // Makes that order the one the till works on.
    Outcome<Selected> select(const std::string& label);
    Outcome<Added> add(const std::string& order, ItemKind kind, const ItemChoice& item, int count);
    Outcome<Removed> remove(const std::string& order, ItemKind kind, const ItemChoice& item);
    Outcome<Cleared> clear(const std::string& order);
    // Pays for the whole order, or, when items are named, for those alone.
    Outcome<Paid> pay(const std::string& order,
                      const std::vector<std::pair<ItemKind, ItemChoice>>& items = {},
                      const Payment& payment = {});
    // Makes a paid sale of the day void, for a reason; it stays in the day.
    Outcome<Voided> voidSale(std::int32_t customer, const std::string& reason);
    Outcome<Moved> move(const std::string& order, ItemKind kind, const ItemChoice& item,
                        const std::string& to);
    // Closes the day, once no order is open.
    Outcome<Closed> closeDay();

    const Menu& menu() const;
    // Returns the label of the order the till works on.
    std::string current() const;
    std::optional<OrderView> order(const std::string& label) const;
    // Returns the open orders: the counter's first, then the tables'.
    std::vector<OrderView> orders() const;
    std::int32_t nextCustomer() const;
    // Returns the day so far, as the journal holds it.
    DayRecord record() const;
    // Returns the day asked for by number: the open one as it stands, a
    // past one as the journal holds it.
    std::optional<DayRecord> dayRecord(std::int32_t asked) const;
    // Returns every day, the first first, as the journal holds it.
    std::vector<DayLine> days() const;
    std::int32_t day() const;
    bool over() const;

    // Returns the time of the system's clock.
    static Moment systemClock();

    // Tag is who asks for a command, and the key of the request that asks,
    // with how to answer it from the day the command made. The answer is
    // kept in the journal with the command's entries, so that the request,
    // sent again, gets it again and changes nothing.
    struct Tag {
        std::string staff;
        std::string key;
        std::function<std::string(const DayRecord& after)> answer;
    };
    struct TagOutcome {
        // The answer kept under the key by an earlier request; the command
        // did not run.
        std::optional<std::string> earlier;
        // The answer kept now, when the command changed the day.
        std::optional<std::string> answer;
        // Why nothing changed, when the command was refused.
        std::optional<Refusal> refusal;
    };
    using Command = std::function<std::optional<Refusal>()>;
    using Told = std::function<void(TagOutcome)>;
    // Runs the command, which calls this service's commands, under the tag
    // in the next batch, unless the key was seen before; tells `told`, on
    // the writer's thread, once the batch is on disk.
    void tagged(Tag given, Command command, Told told);

    // Returns once every change handed to the writer is written.
    void settle();
    // Returns how many batches the writer has written, for tests.
    std::size_t batches() const;
    // Returns how many changes wait for the next batch, for tests.
    std::size_t waiting() const;

private:
    // Returns whether this thread runs a batch of this service's.
    bool inBatch() const;
    // Runs the command in the writer's next batch; each command calls
    // itself through this when it is not inside one.
    template <typename Result>
    Outcome<Result> written(const std::function<Outcome<Result>()>& command);
    std::optional<std::string> writeBatch(const std::function<void()>& each);
    TagOutcome taggedInBatch(const Tag& given, const Command& command);

    std::optional<Refusal> ready();
    std::optional<Refusal> commit(std::vector<JournalEntry> entries);
    Refusal refusedAfter(bool applied, const std::string& why);
    void rebuild();
    std::optional<Refusal> checkLabel(const std::string& label) const;
    Outcome<Paid> payFor(const OpenOrder& open, const std::vector<std::size_t>& chosen,
                         const Payment& payment);
    // Says that the order holds nothing.
    Refusal emptyOrder(const std::string& order) const;
    // Returns the label as the open order spells it, else as given.
    std::string spelled(const std::string& label) const;
    OrderView viewOf(const OpenOrder& order) const;
    JournalEntry entry(JournalEntry::Type type, const std::string& label) const;

    // Recursive, so that a tagged command holds it while its command runs.
    mutable std::recursive_mutex mutex;
    const Tag* tag = nullptr;
    std::optional<std::string> answer;
    Menu sold;
    Journal& journal;
    Clock clock;
    std::int64_t vat;
    std::optional<DayReplay> replay;
    std::int32_t number = 0;
    bool stale = false;
    bool closed = false;
    // Whether the command running in the batch put entries in it.
    bool staged = false;
    // Last, so that it stops before what its batches use.
    GroupCommit writer;
};
