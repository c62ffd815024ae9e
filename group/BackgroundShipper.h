#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/Moment.h"
#include "base/StopFlag.h"
#include "journal/CentralStore.h"
#include "service/DayService.h"

// BackgroundShipper ships the till's journal to the head office on a thread
// of its own, within a second or two of each change, so that shipping
// never holds a sale: it reads the journal as any reader does, beside the
// till. While the head office cannot be reached it tries again, every
// second at first and then every five, every device shows it unreachable
// since its first failure, and it catches up once it is back.
class BackgroundShipper {
public:
    // The service must outlive the shipper; `url` is a libpq connection
    // string.
    BackgroundShipper(DayService& service, std::string journal, std::string url);
    BackgroundShipper(const BackgroundShipper&) = delete;
    BackgroundShipper& operator=(const BackgroundShipper&) = delete;
    // Stops after one last ship, if the head office answers.
    ~BackgroundShipper();

private:
    void run();
    // Ships what the head office lacks; false when it could not.
    bool shipOnce();
    void failed(const std::string& why, bool unreachable);
    void reached();

    DayService& service;
    std::string journal;
    std::string url;
    // The thread's own: the connection, kept between ships.
    std::unique_ptr<CentralStore> store;
    std::optional<Moment> unreachableSince;
    std::string lastFailure;
    std::chrono::milliseconds backoff{0};

    // Shared with the destructor's thread.
    StopFlag stop;
    // Last, so that it starts after all it uses.
    std::thread thread;
};
