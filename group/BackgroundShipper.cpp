#include "group/BackgroundShipper.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "group/Shipper.h"

namespace {

using std::chrono::milliseconds;

// How often the till's changes are looked at; a change ships at the next
// look.
constexpr milliseconds look{500};
constexpr milliseconds firstRetry{1000};
constexpr milliseconds longestRetry{5000};

}  // namespace

BackgroundShipper::BackgroundShipper(DayService& service, std::string journal, std::string url)
    : service(service),
      journal(std::move(journal)),
      url(std::move(url)),
      thread([this] { run(); }) {}

BackgroundShipper::~BackgroundShipper() {
    stop.stop();
    thread.join();
}

// A version of the day already shipped needs no ship; one read before a
// ship began ships again if a change came while it ran.
void BackgroundShipper::run() {
    std::optional<std::int64_t> shipped;
    while (stop.pause(backoff.count() > 0 ? backoff : look)) {
        const std::int64_t version = service.snapshot()->version;
        if (version != shipped && shipOnce()) {
            shipped = version;
        }
    }
    if (!unreachableSince && service.snapshot()->version != shipped) {
        (void)shipOnce();
    }
}

// Nothing a ship does may end the till: a failure is said, shown on every
// device when the head office cannot be reached, and tried again.
bool BackgroundShipper::shipOnce() {
    try {
        if (!store) {
            store = std::make_unique<CentralStore>(url);
        }
        Shipper(journal, *store).ship();
        reached();
        return true;
    } catch (const HeadOfficeError& error) {
        store.reset();
        failed(error.what(), true);
    } catch (const std::exception& error) {
        failed(error.what(), false);
    }
    return false;
}

void BackgroundShipper::failed(const std::string& why, bool unreachable) {
    backoff = std::min(backoff.count() == 0 ? firstRetry : backoff * 2, longestRetry);
    if (why != lastFailure) {
        lastFailure = why;
        std::cerr << "restaurant: cannot ship to the head office: " << why << std::endl;
    }
    if (unreachable && !unreachableSince) {
        unreachableSince = DayService::systemClock();
        (void)service.carryOut(HeadOfficeState{unreachableSince});
    }
}

void BackgroundShipper::reached() {
    backoff = milliseconds{0};
    if (!lastFailure.empty()) {
        lastFailure.clear();
        std::cerr << "restaurant: shipping to the head office again" << std::endl;
    }
    if (unreachableSince) {
        unreachableSince.reset();
        (void)service.carryOut(HeadOfficeState{std::nullopt});
    }
}
