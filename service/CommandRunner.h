#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "base/Moment.h"
#include "journal/Journal.h"
#include "service/DayState.h"
#include "service/RuleContext.h"
#include "service/Submission.h"
#include "service/WriterBatch.h"

// CommandRunner carries out one submission within the writer's batch: it
// asks the day's rules what the command means, writes the entries in a
// change of their own, lets memory take them, and keeps the answer under
// the request's key in the same change. A command refused writes nothing.
// Whatever fails takes the command's change back and leaves memory as the
// journal is, so that a refused command never happens later. It runs on
// the writer's thread alone.
class CommandRunner {
public:
    using Clock = std::function<Moment()>;

    CommandRunner(Journal& journal, DayState& state, Clock clock, std::int64_t vat);

    // What came of a submission: what to tell, and whether it changed the
    // day, in the journal or in memory. One that did, or that repeats an
    // answer the batch may hold, is told once the batch is on disk and the
    // day it made is published; any other at once.
    struct Ran {
        Told told;
        bool changed = false;
    };
    // Never throws: a failure is the command's refusal.
    Ran run(const Submission& submission, WriterBatch& batch) noexcept;

private:
    Ran carryOut(const Submission& submission, WriterBatch& batch);
    std::optional<Ran> refusedBeforeRules(const Submission& submission);
    Ran ruled(const Submission& submission, Ruling& ruling, WriterBatch& batch);
    // Writes the ruling's entries, or closes the day, and lets memory take them.
    void record(const DayCommand& command, Ruling& ruling);
    void closeDay(const CloseDay& command, Ruling& ruling);
    Ran start(const StartDay& command, WriterBatch& batch);
    Ran leaveOpen(WriterBatch& batch);
    Ran keepSession(const KeepSession& session, WriterBatch& batch);
    void queuePrints(std::int64_t firstTicket);
    Ran reprinted(const ReprintTicket& reprint, WriterBatch& batch);
    Ran printProgress(const PrintProgress& progress, WriterBatch& batch);
    Ran printerNoted(const PrinterState& printer);
    Ran headOfficeNoted(const HeadOfficeState& office);
    static std::optional<Refusal> kitchenRefuses(const Submission& submission);
    std::optional<Ran> administer(const DayCommand& command, WriterBatch& batch);
    // Says of a sale not in the open day whether it is in a closed one.
    Refusal placed(Refusal refusal);

    Journal& journal;
    DayState& state;
    Clock clock;
    std::int64_t vat;
    // The stations whose tickets go to a printer, as the day started.
    std::set<std::string> printers;
    // Whether memory took part of the command being carried out.
    bool touched = false;
};
