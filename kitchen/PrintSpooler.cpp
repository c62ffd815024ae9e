#include "kitchen/PrintSpooler.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "kitchen/PrinterLink.h"

namespace {

using std::chrono::milliseconds;

constexpr milliseconds look{50};
constexpr milliseconds connectWithin{2000};
constexpr milliseconds sendWithin{3000};
constexpr milliseconds firstRetry{1000};
constexpr milliseconds longestRetry{5000};
// A till that stops prints what waits for a printer that answers, for as
// long as this at most; the rest prints at the next start.
constexpr milliseconds drainWithin{3000};

}  // namespace

PrintSpooler::PrintSpooler(DayService& service, Printer printer)
    : service(service),
      printer(std::move(printer)),
      escPos(this->printer.codePage),
      thread([this] { run(); }) {}

PrintSpooler::~PrintSpooler() {
    stop.stop();
    thread.join();
}

// Nothing a print does may end the till: a failure is the printer's, said
// on every device, and tried again.
// A printed job lets the next go at once; the queue is looked at again
// after a pause only once it is empty, or the printer failed.
void PrintSpooler::run() {
    bool printed = false;
    while (printed ? !stop.stopped() : stop.pause(backoff.count() > 0 ? backoff : look)) {
        printed = printNext();
    }
    const auto until = std::chrono::steady_clock::now() + drainWithin;
    while (!offlineSince && std::chrono::steady_clock::now() < until && printNext()) {
    }
}

bool PrintSpooler::printNext() {
    try {
        const std::optional<PrintJob> job = nextJob();
        if (job && print(*job)) {
            reached();
            return true;
        }
    } catch (const std::exception& error) {
        failed(error.what());
    }
    return false;
}

std::optional<PrintJob> PrintSpooler::nextJob() const {
    const std::shared_ptr<const DaySnapshot> now = service.snapshot();
    if (!now->printQueue) {
        return std::nullopt;
    }
    const auto found =
        std::find_if(now->printQueue->begin(), now->printQueue->end(),
                     [this](const PrintJob& job) { return job.ticket.station == printer.station; });
    return found == now->printQueue->end() ? std::nullopt : std::optional<PrintJob>(*found);
}

bool PrintSpooler::print(const PrintJob& job) {
    PrinterLink link(printer.address);
    if (std::optional<std::string> why = link.open(connectWithin)) {
        failed(*why);
        return false;
    }
    if (!job.started && service.carryOut(PrintProgress{job.id, false}).refusal) {
        failed("the journal could not mark the ticket as printing");
        return false;
    }
    if (std::optional<std::string> why = link.send(escPos.ticket(job), sendWithin)) {
        failed(*why);
        return false;
    }
    link.close();
    if (service.carryOut(PrintProgress{job.id, true}).refusal) {
        failed("the journal could not mark the ticket as printed");
        return false;
    }
    return true;
}

void PrintSpooler::failed(const std::string& why) {
    backoff = std::min(backoff.count() == 0 ? firstRetry : backoff * 2, longestRetry);
    if (!offlineSince) {
        offlineSince = DayService::systemClock();
        std::cerr << "restaurant: " << printer.station << " printer " << printer.address
                  << " cannot print: " << why << std::endl;
        (void)service.carryOut(PrinterState{printer.station, offlineSince});
    }
}

void PrintSpooler::reached() {
    backoff = milliseconds{0};
    if (offlineSince) {
        offlineSince.reset();
        (void)service.carryOut(PrinterState{printer.station, std::nullopt});
    }
}
