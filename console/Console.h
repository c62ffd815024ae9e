#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/Command.h"
#include "console/ConsoleView.h"
#include "console/KitchenWords.h"
#include "console/LibraryItems.h"
#include "console/MoneyWords.h"
#include "journal/Journal.h"
#include "journal/Settings.h"
#include "menu/Menu.h"
#include "service/DayService.h"

// Console is the text till: it takes one command line at a time, has the
// day's service carry it out on the current order, and prints what came of
// it on std::cout, where the library's menus, orders and report print
// themselves. A line that cannot be carried out gets one line saying what
// was wrong and what to type, and changes nothing.
class Console {
public:
    // A console on a service of its own, for a till that is nothing else,
    // with the restaurant's settings the journal holds.
    Console(Menu menu, Journal& journal, DayService::Clock clock = DayService::systemClock);
    // A console on a service others share.
    explicit Console(DayService& service, Settings settings = {});
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console();

    // Opens the day, or resumes the one the journal holds open and says so;
    // throws JournalError when the journal cannot.
    void start();
    // Carries out one command line. Returns false once the day is over.
    bool handle(const std::string& text);
    // Ends the day as `quit` does, unless it is over already: the end of a
    // script, which has no other way to say it. Tables still open keep the
    // day open, and say so on std::cerr.
    void finish();
    // Stops with the day open and nothing charged, for the next start.
    void leaveOpen();
    // Returns 0, or 1 when the day could not be closed.
    int exitStatus() const;
    // Returns once the day's writer has finished what it was given: a
    // refusal is told before its batch ends, and whoever reads the journal
    // beside the till waits for the batch.
    void settle();

    // Asks a person at a terminal a question, and returns the answer, or
    // nothing when none came.
    using Asker = std::function<std::optional<std::string>(const std::string& question)>;
    // At a terminal, `quit` asks how an unpaid counter order was paid
    // instead of booking it as cash.
    void askWith(Asker asked);

    // Returns the text of `help`.
    static std::string commands();

private:
    void carryOut(const Command& command);
    void showMenu(const Command& command);
    void add(const Command& command);
    void remove(const Command& command);
    void clear(const Command& command);
    void showCart(const Command& command);
    void payNow(const Command& command);
    void split(const Command& command);
    void move(const Command& command);
    void select(const Command& command);
    void tables(const Command& command);
    void voidSale(const Command& command);
    void send(const Command& command);
    void fire(const Command& command);
    void reprint(const Command& command);
    void discount(const Command& command);
    void evenly(const Command& command);
    void drawer(const Command& command);
    void receipt(const Command& command);
    void report(const Command& command);
    void summary(const Command& command);
    void help(const Command& command);
    void quitNow(const Command& command);
    bool pay(const std::string& order, const Command& command, bool anotherComes);
    // Pays the counter's order before the close: as cash from a script, or
    // as the person at the terminal says. Returns false when it stays open.
    bool payCounter();
    void quit();
    // Prints the day's report as it stands.
    void printReport();
    void refused(const Refusal& refusal);
    std::vector<std::string> openTables() const;

    // The restaurant's name on receipts, and the currency after amounts;
    // first, read from the journal before a service of the console's own
    // takes the journal for its writer.
    Settings settings;
    std::unique_ptr<DayService> owned;
    DayService& service;
    ConsoleView view;
    KitchenWords kitchenWords;
    MoneyWords moneyWords;
    std::unique_ptr<LibraryMenus> libraryMenus;
    // The line being carried out, as the journal's refusals name it.
    std::string line;
    Asker asker;
    bool over = false;
    int status = 0;
};
