#include "console/Console.h"

#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

#include "accounts/Cart.h"
#include "base/Text.h"
#include "console/CommandTable.h"
#include "console/CommandWords.h"
#include "reports/Receipt.h"
#include "reports/ReportLines.h"
#include "reports/Summary.h"
#include "service/DayFigures.h"

namespace {

// The order as the library's cart, which prints itself.
Cart cartOf(const std::optional<OrderView>& order) {
    Cart cart;
    if (order) {
        for (const auto& kind : order->items) {
            for (const OrderItem& item : kind) {
                putInCart(cart, item.kind, item.name, item.price, item.cost);
            }
        }
    }
    return cart;
}

}  // namespace

Console::Console(Menu menu, Journal& journal, DayService::Clock clock)
    : settings(journal.settings()),
      owned(std::make_unique<DayService>(std::move(menu), journal, std::move(clock))),
      service(*owned),
      view(std::cout, settings.currency()),
      kitchenWords(std::cout),
      moneyWords(std::cout, settings.currency()),
      libraryMenus(std::make_unique<LibraryMenus>(service.menu())) {}

Console::Console(DayService& service, Settings settings)
    : settings(std::move(settings)),
      service(service),
      view(std::cout, this->settings.currency()),
      kitchenWords(std::cout),
      moneyWords(std::cout, this->settings.currency()),
      libraryMenus(std::make_unique<LibraryMenus>(service.menu())) {}

Console::~Console() = default;

std::string Console::commands() { return CommandTable::help(); }

void Console::start() {
    view.started(service.start(settings.printerStations(), settings.serviceCharge()),
                 DayService::systemClock());
}

bool Console::handle(const std::string& text) {
    if (over) {
        return false;
    }
    const std::vector<std::string> words = CommandWords::split(text);
    if (words.empty()) {
        return true;
    }
    line.clear();
    for (const std::string& word : words) {
        line += (line.empty() ? "" : " ") + word;
    }
    const CommandTable::Parsed parsed = CommandTable::parse(words);
    if (parsed.index() == 1) {
        std::cout << std::get<std::string>(parsed) << std::endl;
    } else {
        carryOut(std::get<Command>(parsed));
    }
    kitchenWords.printers(service.snapshot()->offlinePrinters);
    return !over;
}

// What each verb does, in the order of Command::Verb.
void Console::carryOut(const Command& command) {
    using Handler = void (Console::*)(const Command&);
    static constexpr Handler handlers[] = {
        &Console::showMenu, &Console::add,    &Console::remove,  &Console::clear,
        &Console::showCart, &Console::payNow, &Console::split,   &Console::move,
        &Console::select,   &Console::select, &Console::tables,  &Console::voidSale,
        &Console::send,     &Console::fire,   &Console::reprint, &Console::discount,
        &Console::evenly,   &Console::drawer, &Console::receipt, &Console::report,
        &Console::summary,  &Console::help,   &Console::quitNow,
    };
    static_assert(std::size(handlers) == static_cast<std::size_t>(Command::Verb::quit) + 1,
                  "one handler for every verb");
    (this->*handlers[static_cast<std::size_t>(command.verb)])(command);
}

void Console::select(const Command& command) {
    const Outcome<Selected> selected = service.select(command.label);
    selected.done() ? view.selected(selected.result(), service.nextCustomer())
                    : refused(selected.refusal());
}

void Console::tables(const Command& /*command*/) {
    view.tables(service.orders(), service.nextCustomer());
}

void Console::report(const Command& /*command*/) { printReport(); }

void Console::summary(const Command& /*command*/) {
    Summary(DayFigures::of(service.record()), settings.currency()).print(std::cout);
}

void Console::printReport() {
    const DayFigures figures = DayFigures::of(service.record());
    ReportLines::print(figures.cost, figures.revenue, figures.profit, std::cout);
}

void Console::help(const Command& /*command*/) {
    std::istringstream lines(commands());
    for (std::string help; std::getline(lines, help);) {
        std::cout << help << std::endl;
    }
}

void Console::payNow(const Command& command) { pay(service.current(), command, true); }

void Console::quitNow(const Command& /*command*/) { quit(); }

// A number outside the menu gets the library's own line, then the till's.
void Console::add(const Command& command) {
    const Outcome<Added> added =
        service.add(service.current(), command.kind, command.item, command.count, command.note);
    if (added.done()) {
        view.added(added.result());
        return;
    }
    if (added.refusal().reason == Refusal::Reason::noSuchMenuNumber) {
        const int number = static_cast<int>(added.refusal().number);
        switch (command.kind) {
            case ItemKind::dish:
                (void)libraryMenus->maindishes.order(number);
                break;
            case ItemKind::snack:
                (void)libraryMenus->snacks.order(number);
                break;
            case ItemKind::drink:
                (void)libraryMenus->drinks.order(number);
                break;
        }
    }
    refused(added.refusal());
}

// A number the order does not hold gets the library's own rejection, from
// the cart the order makes.
void Console::remove(const Command& command) {
    const std::string order = service.current();
    const Outcome<Removed> removed = service.remove(order, {command.kind, command.item, ""});
    if (removed.done()) {
        view.removed(removed.result());
    } else if (removed.refusal().reason == Refusal::Reason::noSuchPosition) {
        Cart cart = cartOf(service.order(order));
        const int number = static_cast<int>(removed.refusal().number);
        switch (command.kind) {
            case ItemKind::dish:
                cart.removeMaindish(number);
                break;
            case ItemKind::snack:
                cart.removeSnack(number);
                break;
            case ItemKind::drink:
                cart.removeDrink(number);
                break;
        }
    } else {
        refused(removed.refusal());
    }
}

void Console::clear(const Command& /*command*/) {
    const Outcome<Cleared> cleared = service.clear(service.current());
    cleared.done() ? view.cleared(cleared.result()) : refused(cleared.refusal());
}

void Console::showMenu(const Command& /*command*/) {
    libraryMenus->maindishes.displayMenu();
    std::cout << std::endl;
    libraryMenus->snacks.displayMenu();
    std::cout << std::endl;
    libraryMenus->drinks.displayMenu();
}

void Console::showCart(const Command& /*command*/) {
    const std::string order = service.current();
    const std::optional<OrderView> open = service.order(order);
    const std::int32_t customer = service.nextCustomer();
    view.heading(order, customer);
    cartOf(open).displayOrder();
    view.pays(order, customer, open ? &*open : nullptr);
}

// Returns false when nothing was paid: the order is empty, or the journal
// refused the payment.
bool Console::pay(const std::string& order, const Command& command, bool anotherComes) {
    const Outcome<Paid> paid = service.pay(
        PayOrder{order, command.items, command.payment, command.parts, command.tip, std::nullopt});
    if (paid.done()) {
        view.paid(paid.result(), anotherComes, command.paymentStated);
        return true;
    }
    if (paid.refusal().reason == Refusal::Reason::emptyOrder) {
        view.nothingToPay(order, service.nextCustomer());
    } else {
        refused(paid.refusal());
    }
    return false;
}

void Console::askWith(Asker asked) { asker = std::move(asked); }

// Only a method named pays: booked as cash by default, a card sale would
// put money in the drawer's figures that is not there.
bool Console::payCounter() {
    Command payment;
    if (asker) {
        std::optional<std::string> answer =
            asker(view.unpaidQuestion(service.nextCustomer(), *service.order("")));
        const std::vector<std::string> words =
            answer ? CommandWords::split(*answer) : std::vector<std::string>();
        std::string method = words.size() == 1 ? foldedForMatching(words[0]) : "";
        if (method != "cash" && method != "card" && method != "other") {
            leaveOpen();
            view.leftUnpaid(service.nextCustomer());
            return false;
        }
        payment.payment.method = std::move(method);
        payment.paymentStated = true;
    }
    return pay("", payment, false);
}

void Console::split(const Command& command) { pay(service.current(), command, true); }

void Console::voidSale(const Command& command) {
    const Outcome<Voided> voided = service.voidSale(*command.customer, command.reason);
    voided.done() ? view.voided(voided.result()) : refused(voided.refusal());
}

void Console::move(const Command& command) {
    const Outcome<Moved> moved =
        command.all
            ? service.moveAll(service.current(), command.label)
            : service.move(service.current(), {command.kind, command.item, ""}, command.label);
    moved.done() ? view.moved(moved.result()) : refused(moved.refusal());
}

void Console::send(const Command& /*command*/) {
    const Outcome<Sent> sent = service.send(service.current());
    sent.done() ? kitchenWords.sent(sent.result(), service.nextCustomer())
                : refused(sent.refusal());
}

void Console::fire(const Command& command) {
    const Outcome<Sent> fired = service.fire(service.current(), command.number);
    fired.done() ? kitchenWords.sent(fired.result(), service.nextCustomer())
                 : refused(fired.refusal());
}

void Console::discount(const Command& command) {
    GiveDiscount given{service.current(), std::nullopt, command.percent, command.amount,
                       command.reason};
    if (command.onItem) {
        given.item = ItemRef{command.kind, command.item, ""};
    }
    const Outcome<Discounted> discounted = service.discount(std::move(given));
    discounted.done() ? moneyWords.discounted(discounted.result(), service.nextCustomer())
                      : refused(discounted.refusal());
}

void Console::evenly(const Command& command) {
    const Outcome<SplitUp> split = service.splitEvenly(service.current(), command.number);
    split.done() ? moneyWords.splitUp(split.result(), service.nextCustomer())
                 : refused(split.refusal());
}

void Console::drawer(const Command& command) {
    const Outcome<DrawerMoved> moved =
        service.drawer(DrawerCash{command.drawer, command.amount, command.reason});
    moved.done() ? moneyWords.drawerMoved(moved.result()) : refused(moved.refusal());
}

void Console::reprint(const Command& command) {
    const Outcome<TicketMarked> queued = service.reprint(command.number);
    queued.done() ? kitchenWords.reprinted(queued.result()) : refused(queued.refusal());
}

void Console::receipt(const Command& command) {
    const DayFigures figures = DayFigures::of(service.record());
    if (figures.sales.empty()) {
        std::cout << "No customer has paid yet today: a receipt is for a customer who paid"
                  << std::endl;
        return;
    }
    const std::int32_t last = figures.sales.back().customer;
    const std::int32_t wanted = command.customer.value_or(last);
    if (const SaleFigures* sale = figures.sale(wanted)) {
        Receipt(settings).print(*sale, std::cout);
    } else {
        std::cout << "Customer " << wanted
                  << " has not paid today: type receipt and a number from 1 to " << last
                  << std::endl;
    }
}

// The counter's customer pays, unless a table is still open; then the day's
// report, and the day closes.
void Console::quit() {
    const std::vector<std::string> tables = openTables();
    if (!tables.empty()) {
        Refusal open;
        open.reason = Refusal::Reason::ordersOpen;
        open.names = tables;
        refused(open);
        return;
    }
    if (service.order("") && !payCounter()) {
        return;
    }
    const Outcome<Closed> closed = service.closeDay();
    if (!closed.done()) {
        printReport();
        std::cerr << "restaurant: could not close day " << service.day() << ": "
                  << closed.refusal().text << "; the next start resumes it" << std::endl;
        status = 1;
    } else {
        const Closed& day = closed.result();
        ReportLines::print(day.cost, day.revenue, day.profit, std::cout);
    }
    over = true;
}

// Open tables keep the day open: a script's end pays no table.
void Console::finish() {
    if (over) {
        return;
    }
    line = "quit";
    const std::vector<std::string> tables = openTables();
    if (!tables.empty()) {
        Refusal open;
        open.reason = Refusal::Reason::ordersOpen;
        open.names = tables;
        std::ostringstream said;
        ConsoleView(said, settings.currency())
            .refused(open, line, service.nextCustomer(), std::cerr);
        std::cerr << "restaurant: " << said.str() << std::flush;
        leaveOpen();
        status = 1;
        return;
    }
    quit();
    if (!over) {
        std::cerr << "restaurant: day " << service.day() << " stays open with "
                  << ConsoleView::whose("", service.nextCustomer()) << "; the next start resumes it"
                  << std::endl;
        status = 1;
    }
}

void Console::leaveOpen() {
    if (!over) {
        service.leaveOpen();
        over = true;
    }
}

int Console::exitStatus() const { return status; }

void Console::settle() { service.settle(); }

std::vector<std::string> Console::openTables() const {
    std::vector<std::string> tables;
    for (const OrderView& order : service.orders()) {
        if (!order.label.empty()) {
            tables.push_back(order.label);
        }
    }
    return tables;
}

void Console::refused(const Refusal& refusal) {
    view.refused(refusal, line, service.nextCustomer(), std::cerr);
}
