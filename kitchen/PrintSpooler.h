#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "kitchen/EscPos.h"

#include "base/Moment.h"
#include "base/StopFlag.h"
#include "journal/KitchenTicket.h"
#include "service/DayService.h"

// PrintSpooler prints one station's tickets from the print queue the
// journal keeps, in the order they were queued, on a thread of its own, so
// that printing never holds a command. Each job is marked begun before its
// bytes go and done after: a job cut off midway prints again headed COPY,
// one never begun prints once. While the printer cannot be reached it tries
// again, every second at first and then every five, and every device shows
// the printer offline since its first failure.
class PrintSpooler {
public:
    struct Printer {
        std::string station;
        std::string address;
        std::string codePage;
    };

    // The service must outlive the spooler.
    PrintSpooler(DayService& service, Printer printer);
    PrintSpooler(const PrintSpooler&) = delete;
    PrintSpooler& operator=(const PrintSpooler&) = delete;
    // Stops once the jobs waiting are printed, for a few seconds at most.
    ~PrintSpooler();

private:
    void run();
    // Prints the next job waiting; false when none was printed.
    bool printNext();
    // Returns the station's first job waiting, if any.
    std::optional<PrintJob> nextJob() const;
    // Prints the job; false when the printer could not take it.
    bool print(const PrintJob& job);
    void failed(const std::string& why);
    void reached();

    DayService& service;
    Printer printer;
    EscPos escPos;
    std::optional<Moment> offlineSince;
    std::chrono::milliseconds backoff{0};

    // Shared with the destructor's thread.
    StopFlag stop;
    // Last, so that it starts after all it uses.
    std::thread thread;
};
