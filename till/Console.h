#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accounts/Cart.h"
#include "accounts/Usercollection.h"
#include "base/ItemKind.h"
#include "base/Moment.h"
#include "journal/Journal.h"
#include "menu/LibraryItems.h"
#include "menu/Menu.h"

// Console runs a restaurant's day from typed commands: it shows the menus,
// fills the current customer's cart, records each customer who pays and
// prints the day's accounts. It takes one line at a time and writes to
// std::cout, where the menus, orders and report print themselves.
//
// Every change is written to the journal before memory changes and before
// its line is printed, so an acknowledged command is never lost; one the
// journal refuses is reported on std::cerr and changes nothing. Should memory
// run out after the journal took a change, the day is rebuilt from the
// journal, which holds the truth. A line that cannot be carried out gets one
// line saying what was wrong and what to type, and changes nothing.
class Console {
public:
    // Returns the moment it is now.
    using Clock = std::function<Moment()>;

    Console(Menu menu, Journal& journal, Clock clock = systemClock);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console();

    // Opens the day, or resumes the one the journal holds open and says so;
    // throws JournalError when the journal cannot.
    void start();
    // Carries out one command line. Returns false once the day is over.
    bool handle(const std::string& text);
    // Ends the day as `quit` does, unless it is over already: the end of a
    // script, which has no other way to say it.
    void finish();
    // Stops with the day open and nothing charged, for the next start.
    void leaveOpen();
    // Returns 0, or 1 when the day could not be closed in the journal.
    int exitStatus() const;

    // Returns the text of `help`.
    static const char* commands();
    // Returns the time of the system's clock.
    static Moment systemClock();

private:
    void addCommand(const std::vector<std::string>& words);
    void removeCommand(const std::vector<std::string>& words);
    void receiptCommand(const std::vector<std::string>& words);
    std::optional<std::size_t> menuItemNumbered(ItemKind kind, const std::string& word);
    std::optional<std::size_t> cartItemNamed(ItemKind kind, const std::string& typed);
    void add(JournalItem item, int count);
    void remove(ItemKind kind, std::size_t index);
    void clear();
    void showCart();
    void showMenu();
    bool next(bool anotherComes);
    void quit();
    void announceResumed(const DayRecord& record);

    // Writes a change to the journal; returns false, having said why on
    // std::cerr, when the journal refuses it.
    template <typename Write>
    bool record(Write write);
    // Makes a change that the journal holds already in memory; should memory
    // run out, rebuilds the day from the journal instead.
    template <typename Change>
    void apply(Change change);
    // Takes the day's state from its record in the journal.
    void adopt(const DayRecord& record);
    void rebuild();
    std::size_t itemsInCart() const;
    Money cartTotal() const;
    std::vector<JournalItem>& heldOf(ItemKind kind);

    Menu menu;
    LibraryMenus libraryMenus;
    Journal& journal;
    Clock clock;

    std::int32_t dayNumber = 0;
    Cart cart;
    // The items in the cart, by kind, in the cart's order.
    std::array<std::vector<JournalItem>, 3> held;
    std::int32_t customer = 1;
    // Always holds the paid customers; optional so that a rebuilt collection
    // takes its place without a copy that might fail.
    std::optional<Usercollection> day{std::in_place};
    // The line being carried out, as the journal's refusals name it.
    std::string line;
    // True when memory could not be rebuilt after a change: the next line
    // rebuilds it first.
    bool stale = false;
    bool over = false;
    int status = 0;
};
