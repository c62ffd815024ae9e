// The kitchen's tickets as the day's service makes them: a dinner of six
// tables with notes and three courses, sent, fired, made ready and brought
// back; the VOID and MOVED tickets that follow a change to an item already
// sent; a counter sale that reaches the kitchen by its payment alone; and
// the printers' queue, kept across a restart.
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "journal/SqliteJournal.h"
#include "service/DayFigures.h"
#include "service/DayService.h"
#include "tests/TempFolder.h"

namespace {

// Soup and steak come from the kitchen, the steak as a second course; the
// tart from the pastry station, third; the wine from the bar, at once.
Menu dinnerMenu() {
    Menu menu;
    MenuItem soup{ItemKind::dish, "Soup", Money::fromCents(800), Money::fromCents(200)};
    soup.course = 1;
    MenuItem steak{ItemKind::dish, "Steak", Money::fromCents(2400), Money::fromCents(900)};
    steak.course = 2;
    MenuItem tart{ItemKind::snack, "Tart", Money::fromCents(700), Money::fromCents(150)};
    tart.course = 3;
    tart.station = "pastry";
    menu.add(soup);
    menu.add(steak);
    menu.add(tart);
    menu.add({ItemKind::drink, "Wine", Money::fromCents(600), Money::fromCents(200)});
    return menu;
}

class Kitchen : public TempFolder {
protected:
    template <typename Result>
    Result done(DayCommand command) {
        Told told = service->carryOut(std::move(command), "Ana");
        EXPECT_FALSE(told.refusal) << static_cast<int>(told.refusal->reason);
        return std::get<Result>(*told.result);
    }

    Refusal::Reason refused(DayCommand command) {
        Told told = service->carryOut(std::move(command), "Ana");
        EXPECT_TRUE(told.refusal);
        return told.refusal ? told.refusal->reason : Refusal::Reason::dayOver;
    }

    void add(const std::string& order, ItemKind kind, std::int64_t number, std::string note = "") {
        done<Added>(AddItems{order, kind, {number, ""}, 1, std::move(note), std::nullopt});
    }

    void open(std::set<std::string> printers = {}) {
        journal = std::make_unique<SqliteJournal>(file("journal.db"), SqliteJournal::Access::till);
        service = std::make_unique<DayService>(dinnerMenu(), *journal, [this] { return now; });
        service->start(std::move(printers));
    }

    void reopen(std::set<std::string> printers = {}) {
        service->leaveOpen();
        service.reset();
        journal.reset();
        open(std::move(printers));
    }

    const OrderItem& item(const std::string& order, ItemKind kind, std::size_t at) {
        view = *service->order(order);
        return view.items[static_cast<std::size_t>(kind)].at(at);
    }

    Moment now = 1796760000;
    std::unique_ptr<SqliteJournal> journal;
    std::unique_ptr<DayService> service;
    OrderView view;
};

std::vector<std::pair<std::int64_t, std::string>> numbered(const Sent& sent) {
    std::vector<std::pair<std::int64_t, std::string>> tickets;
    for (const TicketMade& ticket : sent.tickets) {
        tickets.emplace_back(ticket.number, ticket.station);
    }
    return tickets;
}

TEST_F(Kitchen, ADinnerOfSixTablesIsSentFiredCookedAndResumedTicketByTicket) {
    open();
    for (int table = 1; table <= 6; ++table) {
        const std::string label = std::to_string(table);
        add(label, ItemKind::dish, 1, table % 2 == 1 ? "no salt" : "");
        add(label, ItemKind::dish, 2, "medium rare");
        add(label, ItemKind::snack, 1);
        add(label, ItemKind::drink, 1);
        const Sent sent = done<Sent>(SendOrder{label});
        const std::int64_t first = 3 * table - 2;
        EXPECT_EQ(numbered(sent),
                  (std::vector<std::pair<std::int64_t, std::string>>{
                      {first, "kitchen"}, {first + 1, "pastry"}, {first + 2, "bar"}}));
        EXPECT_EQ(sent.tickets[0].items, 2U) << "soup and steak go on the kitchen's one ticket";
    }
    EXPECT_EQ(refused(SendOrder{"1"}), Refusal::Reason::nothingToSend);
    EXPECT_TRUE(item("1", ItemKind::dish, 0).sent);
    EXPECT_EQ(item("1", ItemKind::dish, 0).note, "no salt");
    EXPECT_FALSE(item("1", ItemKind::dish, 0).held) << "course 1 is cooked as soon as it is sent";
    EXPECT_TRUE(item("1", ItemKind::dish, 1).held);
    EXPECT_TRUE(item("1", ItemKind::snack, 0).held);
    EXPECT_FALSE(item("1", ItemKind::drink, 0).held);

    // Course 2 of table 1 is fired: one FIRE ticket, for the kitchen alone.
    const Sent fired = done<Sent>(FireCourse{"1", 2});
    EXPECT_EQ(numbered(fired),
              (std::vector<std::pair<std::int64_t, std::string>>{{19, "kitchen"}}));
    EXPECT_FALSE(item("1", ItemKind::dish, 1).held);
    EXPECT_TRUE(item("1", ItemKind::snack, 0).held);
    EXPECT_EQ(refused(FireCourse{"1", 2}), Refusal::Reason::nothingHeld);
    EXPECT_EQ(refused(MarkReady{19, {}}), Refusal::Reason::noSuchTicket) << "FIRE sends nothing";

    // The kitchen makes table 1's soup ready after 6 minutes, then the whole
    // ticket after 10; a recall brings it back, and the steak is made again.
    now += 360;
    const std::string soup = item("1", ItemKind::dish, 0).id;
    EXPECT_EQ(done<TicketMarked>(MarkReady{1, {soup}}).items, 1U);
    EXPECT_TRUE(item("1", ItemKind::dish, 0).ready);
    EXPECT_EQ(refused(MarkReady{1, {item("2", ItemKind::dish, 0).id}}),
              Refusal::Reason::notOnTicket);
    now += 240;
    EXPECT_EQ(done<TicketMarked>(MarkReady{1, {}}).items, 1U) << "the soup was ready already";
    done<TicketMarked>(RecallTicket{1});
    EXPECT_FALSE(item("1", ItemKind::dish, 0).ready);
    now += 120;
    EXPECT_EQ(done<TicketMarked>(MarkReady{1, {}}).items, 2U);

    // A sent steak moves to table 7, a sent tart is removed at table 3, and
    // table 5's paid sale is made void: a MOVED and two VOID tickets.
    done<Moved>(MoveItems{"2", {{ItemKind::dish, {2, ""}, ""}}, "7", false});
    done<Removed>(RemoveItem{"3", {ItemKind::snack, {1, ""}, ""}});
    const Paid paid = done<Paid>(PayOrder{"5", {}, {"card", {}, {}}, {}, {}, {}});
    done<Voided>(VoidSale{paid.customer, "", "walked out"});
    // Table 5's payment fired its held courses first, as table 4's does.
    done<Paid>(PayOrder{"4", {}, {"card", {}, {}}, {}, {}, {}});
    // A counter sale reaches the kitchen by its payment alone.
    add("", ItemKind::dish, 1);
    done<Paid>(PayOrder{"", {}, {"cash", {}, {}}, {}, {}, {}});

    const DayRecord day = service->record();
    std::vector<std::string> tail;
    for (std::size_t at = 19; at < day.tickets.size(); ++at) {
        const KitchenTicket& ticket = day.tickets[at];
        tail.push_back(std::to_string(ticket.number) + " " + ticket.station + " " + ticket.heading +
                       " " + ticket.label + ">" + ticket.movedTo + " " +
                       std::to_string(ticket.items.size()));
    }
    EXPECT_EQ(tail, (std::vector<std::string>{"20 kitchen MOVED 2>7 1", "21 pastry VOID 3> 1",
                                              "22 kitchen FIRE 5> 1", "23 pastry FIRE 5> 1",
                                              "24 kitchen VOID 5> 2", "25 pastry VOID 5> 1",
                                              "26 bar VOID 5> 1", "27 kitchen FIRE 4> 1",
                                              "28 pastry FIRE 4> 1", "29 kitchen  > 1"}));
    EXPECT_EQ(day.tickets[26].course, 2);
    EXPECT_EQ(day.tickets[27].course, 3);

    // The summary: the kitchen made soup and steak of ticket 1 ready, each
    // sent at the start: 12 minutes for both, as the last ready counts.
    const std::vector<StationFigure> kitchen = DayFigures::of(day).kitchen;
    ASSERT_EQ(kitchen.size(), 1U);
    EXPECT_EQ(kitchen[0].station, "kitchen");
    EXPECT_EQ(kitchen[0].ready, 2U);
    EXPECT_EQ(kitchen[0].averageSeconds, 720);

    // A resumed day brings every ticket back, and every mark on its items.
    reopen();
    const DayRecord resumed = service->record();
    ASSERT_EQ(resumed.tickets.size(), day.tickets.size());
    for (std::size_t at = 0; at < day.tickets.size(); ++at) {
        EXPECT_EQ(resumed.tickets[at].items, day.tickets[at].items);
        EXPECT_EQ(resumed.tickets[at].heading, day.tickets[at].heading);
    }
    EXPECT_TRUE(item("1", ItemKind::dish, 0).ready);
    EXPECT_TRUE(item("7", ItemKind::dish, 0).sent);
    EXPECT_EQ(refused(SendOrder{"6"}), Refusal::Reason::nothingToSend);
}

TEST_F(Kitchen, ANoteIsPlainTextOfSixtyCharactersAndAnItemWithOneIsALineOfItsOwn) {
    open();
    EXPECT_EQ(
        refused(AddItems{"1", ItemKind::dish, {1, ""}, 1, std::string(61, 'x'), std::nullopt}),
        Refusal::Reason::badNote);
    EXPECT_EQ(refused(AddItems{"1", ItemKind::dish, {1, ""}, 1, "no\x07salt", std::nullopt}),
              Refusal::Reason::badNote);
    EXPECT_FALSE(service->order("1")) << "a refused note adds nothing";
    add("1", ItemKind::dish, 1, std::string(60, 'x'));
    add("1", ItemKind::dish, 1);
    add("1", ItemKind::dish, 1);
    EXPECT_EQ(refused(SendOrder{"9"}), Refusal::Reason::emptyOrder);
    EXPECT_EQ(refused(RecallTicket{1}), Refusal::Reason::noSuchTicket);
    done<Sent>(SendOrder{"1"});
    const DayRecord day = service->record();
    EXPECT_EQ(day.items[0].note, std::string(60, 'x'));
    EXPECT_EQ(day.items[1].note, "");
}

TEST_F(Kitchen, TicketsForAStationWithAPrinterQueueInOrderAndOutliveARestart) {
    open({"kitchen"});
    add("5", ItemKind::dish, 1, "no salt");
    add("5", ItemKind::dish, 2);
    add("5", ItemKind::drink, 1);
    done<Sent>(SendOrder{"5"});
    add("6", ItemKind::dish, 1);
    done<Sent>(SendOrder{"6"});
    done<TicketMarked>(ReprintTicket{1});
    EXPECT_EQ(refused(ReprintTicket{2}), Refusal::Reason::noPrinter) << "the bar has no printer";
    EXPECT_EQ(refused(ReprintTicket{9}), Refusal::Reason::noSuchTicket);

    std::vector<PrintJob> queue = *service->snapshot()->printQueue;
    ASSERT_EQ(queue.size(), 3U);
    EXPECT_EQ(queue[0].ticket.number, 1);
    EXPECT_EQ(queue[0].lines.size(), 2U);
    EXPECT_EQ(queue[0].lines[0].note, "no salt");
    EXPECT_TRUE(queue[0].lines[1].held);
    EXPECT_EQ(queue[1].ticket.number, 3);
    EXPECT_EQ(queue[2].ticket.number, 1);
    EXPECT_TRUE(queue[2].copy);
    EXPECT_LT(queue[0].id, queue[1].id);

    EXPECT_FALSE(service->carryOut(PrintProgress{queue[0].id, false}).refusal);
    reopen({"kitchen"});
    queue = *service->snapshot()->printQueue;
    ASSERT_EQ(queue.size(), 3U) << "the queue is the journal's";
    EXPECT_TRUE(queue[0].started) << "a job cut off prints again, as a copy";
    EXPECT_FALSE(queue[1].started);
    EXPECT_FALSE(service->carryOut(PrintProgress{queue[0].id, true}).refusal);
    EXPECT_EQ(service->snapshot()->printQueue->size(), 2U);

    EXPECT_FALSE(service->carryOut(PrinterState{"kitchen", Moment{1796760100}}).refusal);
    EXPECT_EQ(service->snapshot()->offlinePrinters->at("kitchen"), 1796760100);
    EXPECT_FALSE(service->carryOut(PrinterState{"kitchen", std::nullopt}).refusal);
    EXPECT_TRUE(service->snapshot()->offlinePrinters->empty());
}

}  // namespace
