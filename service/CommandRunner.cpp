#include "service/CommandRunner.h"

#include <algorithm>
#include <new>
#include <utility>

#include "base/SaleId.h"
#include "service/DayRules.h"
#include "service/KitchenRules.h"
#include "service/OrderViews.h"

namespace {

// A refusal to tell, its words copied when memory allows.
Told refusedFor(Refusal::Reason reason, const char* why) noexcept {
    Told told;
    try {
        told.refusal.emplace().reason = reason;
        told.refusal->text = why;
    } catch (...) {
        told.refusal->text.clear();
    }
    return told;
}

CommandRunner::Ran refusedRan(Refusal refusal) {
    CommandRunner::Ran ran;
    ran.told.refusal = std::move(refusal);
    return ran;
}

}  // namespace

CommandRunner::CommandRunner(Journal& journal, DayState& state, Clock clock, std::int64_t vat)
    : journal(journal), state(state), clock(std::move(clock)), vat(vat) {}

CommandRunner::Ran CommandRunner::run(const Submission& submission, WriterBatch& batch) noexcept {
    touched = false;
    Ran ran;
    try {
        return carryOut(submission, batch);
    } catch (const std::bad_alloc&) {
        ran.told = refusedFor(Refusal::Reason::outOfMemory, "out of memory");
    } catch (const std::exception& failure) {
        ran.told = refusedFor(Refusal::Reason::journalRefused, failure.what());
    } catch (...) {
        ran.told = refusedFor(Refusal::Reason::journalRefused, "the command failed halfway");
    }
    if (touched) {
        state.rebuild(journal);
    }
    return ran;
}

CommandRunner::Ran CommandRunner::carryOut(const Submission& submission, WriterBatch& batch) {
    if (const auto* starting = std::get_if<StartDay>(&submission.command)) {
        return start(*starting, batch);
    }
    if (std::holds_alternative<LeaveOpen>(submission.command)) {
        return leaveOpen(batch);
    }
    if (const auto* session = std::get_if<KeepSession>(&submission.command)) {
        return keepSession(*session, batch);
    }
    if (const auto* progress = std::get_if<PrintProgress>(&submission.command)) {
        return printProgress(*progress, batch);
    }
    if (std::optional<Ran> administered = administer(submission.command, batch)) {
        return std::move(*administered);
    }
    if (const auto* printer = std::get_if<PrinterState>(&submission.command)) {
        return printerNoted(*printer);
    }
    if (const auto* office = std::get_if<HeadOfficeState>(&submission.command)) {
        return headOfficeNoted(*office);
    }
    if (std::optional<Ran> refused = refusedBeforeRules(submission)) {
        return std::move(*refused);
    }
    if (const auto* reprint = std::get_if<ReprintTicket>(&submission.command)) {
        return reprinted(*reprint, batch);
    }
    if (std::optional<Refusal> refused = kitchenRefuses(submission)) {
        return refusedRan(std::move(*refused));
    }
    RuleContext context(state.day(), state.menu(), clock(), submission.staff, vat, newSaleId);
    context.authorize(submission.role, submission.approver);
    context.chargeTables(state.day().serviceCharge());
    context.sellFrom(state.menuVersion());
    Ruled made = DayRules::rule(context, submission.command);
    if (made.index() == 1) {
        return refusedRan(placed(std::get<Refusal>(std::move(made))));
    }
    return ruled(submission, std::get<Ruling>(made), batch);
}

// A request sent again gets its first answer, once the batch that may hold
// it is on disk; the same key with another request changes nothing. A day
// whose memory failed is read again first.
std::optional<CommandRunner::Ran> CommandRunner::refusedBeforeRules(const Submission& submission) {
    if (!submission.key.empty()) {
        if (std::optional<Journal::KeptAnswer> kept = journal.keptAnswer(submission.key.key)) {
            if (!kept->fingerprint.empty() && kept->fingerprint != submission.key.fingerprint) {
                return refusedRan(RuleContext::refusal(Refusal::Reason::keyReused));
            }
            Ran ran;
            ran.told.answer = std::move(kept->answer);
            ran.told.repeated = true;
            return ran;
        }
    }
    if (state.stale()) {
        state.rebuild(journal);
    }
    if (state.stale() || !state.open()) {
        return refusedRan(RuleContext::refusal(state.stale() ? Refusal::Reason::memoryLost
                                                             : Refusal::Reason::dayOver));
    }
    return std::nullopt;
}

// The entries, the day they make and the answer kept under the key go in
// one change; a command that writes nothing joins no batch.
CommandRunner::Ran CommandRunner::ruled(const Submission& submission, Ruling& ruling,
                                        WriterBatch& batch) {
    Ran ran;
    if (ruling.entries.empty()) {
        ran.told.result = std::move(ruling.result);
        return ran;
    }
    WriterChange change(batch);
    record(submission.command, ruling);
    ran.told.result = std::move(ruling.result);
    if (submission.answer) {
        ran.told.answer = submission.answer(*ran.told.result, state.day());
    }
    if (!submission.key.empty()) {
        journal.keep(
            {submission.key.key, submission.key.fingerprint, ran.told.answer.value_or("")});
    }
    change.release();
    ran.changed = true;
    return ran;
}

void CommandRunner::record(const DayCommand& command, Ruling& ruling) {
    if (const auto* close = std::get_if<CloseDay>(&command)) {
        closeDay(*close, ruling);
        return;
    }
    const std::int64_t firstTicket = state.day().nextTicket();
    journal.append(ruling.entries);
    touched = true;
    state.apply(ruling.entries);
    queuePrints(firstTicket);
}

// The tickets the command made for a station with a printer join its queue
// in the command's own change.
void CommandRunner::queuePrints(std::int64_t firstTicket) {
    const DayReplay& day = state.day();
    std::vector<PrintJob> queue;
    for (std::int64_t number = firstTicket; number < day.nextTicket(); ++number) {
        const KitchenTicket& ticket = *day.ticket(number);
        if (printers.count(ticket.station) != 0) {
            if (queue.empty()) {
                queue = state.printQueue();
            }
            queue.push_back(KitchenRules::printed(day, ticket, false));
            queue.back().id = journal.queuePrint(queue.back());
        }
    }
    if (!queue.empty()) {
        state.setPrintQueue(std::move(queue));
    }
}

CommandRunner::Ran CommandRunner::reprinted(const ReprintTicket& reprint, WriterBatch& batch) {
    const KitchenTicket* ticket = state.day().ticket(reprint.ticket);
    if (ticket == nullptr || printers.count(ticket->station) == 0) {
        Refusal refused = RuleContext::refusal(ticket == nullptr ? Refusal::Reason::noSuchTicket
                                                                 : Refusal::Reason::noPrinter);
        refused.number = reprint.ticket;
        refused.text = ticket == nullptr ? "" : ticket->station;
        return refusedRan(std::move(refused));
    }
    WriterChange change(batch);
    std::vector<PrintJob> queue = state.printQueue();
    queue.push_back(KitchenRules::printed(state.day(), *ticket, true));
    queue.back().id = journal.queuePrint(queue.back());
    touched = true;
    state.setPrintQueue(std::move(queue));
    change.release();
    Ran ran;
    ran.changed = true;
    ran.told.result = TicketMarked{ticket->number, ticket->station, ticket->items.size()};
    return ran;
}

// A printer offline is kept in memory alone, for every device to show.
CommandRunner::Ran CommandRunner::printerNoted(const PrinterState& printer) {
    state.setOffline(printer.station, printer.offlineSince);
    Ran ran;
    ran.changed = true;
    ran.told.result = LeftOpen{};
    return ran;
}

// So is the head office's reachability.
CommandRunner::Ran CommandRunner::headOfficeNoted(const HeadOfficeState& office) {
    state.setHeadOffice(office.unreachableSince);
    Ran ran;
    ran.changed = true;
    ran.told.result = LeftOpen{};
    return ran;
}

// What the print queue did changes no day, but every device shows it.
CommandRunner::Ran CommandRunner::printProgress(const PrintProgress& progress, WriterBatch& batch) {
    WriterChange change(batch);
    journal.markPrint(progress.job, progress.done);
    touched = true;
    std::vector<PrintJob> queue = state.printQueue();
    const auto job = std::find_if(queue.begin(), queue.end(), [&](const PrintJob& queued) {
        return queued.id == progress.job;
    });
    if (job != queue.end() && progress.done) {
        queue.erase(job);
    } else if (job != queue.end()) {
        job->started = true;
    }
    state.setPrintQueue(std::move(queue));
    change.release();
    Ran ran;
    ran.changed = true;
    ran.told.result = LeftOpen{};
    return ran;
}

// The menu, the staff and the settings change beside the day, in the
// journal and in memory at once, so that every device sees the change with
// the next snapshot. A new price applies to items added from now on.
std::optional<CommandRunner::Ran> CommandRunner::administer(const DayCommand& command,
                                                            WriterBatch& batch) {
    const auto* menu = std::get_if<ReplaceMenu>(&command);
    const auto* staff = std::get_if<ChangeStaff>(&command);
    const auto* setting = std::get_if<ChangeSetting>(&command);
    if (menu == nullptr && staff == nullptr && setting == nullptr) {
        return std::nullopt;
    }
    WriterChange change(batch);
    if (menu != nullptr) {
        journal.replaceMenu(*menu->stored);
        state.setMenu(std::make_shared<const Menu>(menu->stored->menu));
    } else if (staff != nullptr) {
        if (staff->remove) {
            (void)journal.removeStaff(staff->member.name);
        } else {
            journal.putStaff(staff->member);
        }
        state.setStaff(journal.staff());
    } else {
        journal.putSetting(setting->key, setting->value);
        state.chargeTables(journal.settings().serviceCharge());
    }
    change.release();
    Ran ran;
    ran.changed = true;
    ran.told.result = Administered{state.menuVersion()};
    return ran;
}

// The kitchen's staff mark tickets, print them again and mark dishes sold
// out, and nothing else.
std::optional<Refusal> CommandRunner::kitchenRefuses(const Submission& submission) {
    if (submission.role != StaffRole::kitchen ||
        std::holds_alternative<MarkReady>(submission.command) ||
        std::holds_alternative<RecallTicket>(submission.command) ||
        std::holds_alternative<ReprintTicket>(submission.command) ||
        std::holds_alternative<MarkSoldOut>(submission.command)) {
        return std::nullopt;
    }
    return RuleContext::refusal(Refusal::Reason::kitchenOnly);
}

// Z numbers count closes that left a trace, through the journal.
void CommandRunner::closeDay(const CloseDay& command, Ruling& ruling) {
    const bool leavesATrace = state.day().everHeldAnItem();
    if (leavesATrace) {
        ruling.entries.front().z = journal.lastZ() + 1;
        std::get<Closed>(ruling.result).z = *ruling.entries.front().z;
    }
    journal.closeDay(ruling.entries.front());
    touched = true;
    if (leavesATrace) {
        state.apply(ruling.entries);
    }
    state.close();
    if (command.openNext) {
        state.startNext(journal.openDay(clock()));
    }
}

// A past day that cannot be listed keeps no till from its day: the list is
// then read, and its damage said, when asked for.
CommandRunner::Ran CommandRunner::start(const StartDay& command, WriterBatch& batch) {
    printers = command.printers;
    state.chargeTables(command.serviceCharge);
    std::vector<DayLine> closed;
    try {
        for (const DayLine& line : journal.days()) {
            if (line.closedAt) {
                closed.push_back(line);
            }
        }
    } catch (const JournalError&) {
        closed.clear();
    }
    WriterChange change(batch);
    const Journal::OpenDay opened = journal.openDay(clock());
    touched = true;
    state.setPrintQueue(journal.printQueue());
    state.setStaff(journal.staff());
    try {
        state.start(opened, std::move(closed));
    } catch (const JournalError& error) {
        throw JournalError(journal.description() + " is damaged: " + error.what());
    }
    change.release();
    const DayReplay& day = state.day();
    Ran ran;
    ran.changed = true;
    ran.told.result = Started{opened.number,        opened.resumed,
                              day.sofar().openedAt, static_cast<std::size_t>(day.line().customers),
                              day.nextCustomer(),   day.current(),
                              OrderViews::all(day)};
    return ran;
}

CommandRunner::Ran CommandRunner::leaveOpen(WriterBatch& batch) {
    Ran ran;
    ran.told.result = LeftOpen{};
    if (!state.open()) {
        return ran;
    }
    WriterChange change(batch);
    journal.leaveDayOpen();
    touched = true;
    state.leave();
    change.release();
    ran.changed = true;
    return ran;
}

// A session changes no day: nothing is published for it.
CommandRunner::Ran CommandRunner::keepSession(const KeepSession& session, WriterBatch& batch) {
    WriterChange change(batch);
    if (session.ended) {
        journal.endSession(session.tokenHash);
    } else {
        journal.putSession({session.tokenHash, session.staff, session.opened, session.used});
    }
    change.release();
    return {};
}

Refusal CommandRunner::placed(Refusal refusal) {
    if (refusal.reason == Refusal::Reason::noSuchSale) {
        if (const std::optional<std::int32_t> day = journal.dayOfSale(refusal.text)) {
            refusal.reason = Refusal::Reason::saleOfClosedDay;
            refusal.number = *day;
        }
    }
    return refusal;
}
