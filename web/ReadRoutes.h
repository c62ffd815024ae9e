#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "base/ThreadSafety.h"
#include "journal/Journal.h"
#include "service/DayFigures.h"
#include "service/DayService.h"
#include "web/WebExchange.h"

// ReadRoutes answers the requests that read the day: the restaurant's
// settings, the menu, the open orders, the days, a day's summary and receipts, a sale. The open day
// is read from the service's latest snapshot, past days from the history, a reader of the journal
// beside the till's own writer, so that no read waits for the disk the writer syncs.
class ReadRoutes {
public:
    // The service and the history must outlive the routes.
    ReadRoutes(DayService& service, Journal& history);

    WebAnswer route(const std::vector<std::string>& path);

private:
    WebAnswer days();
    WebAnswer pastDay(const std::vector<std::string>& path);
    WebAnswer sale(const std::string& saleId);
    // Returns the figures of that day: the open one from the snapshot, a
    // past one from the history.
    std::optional<DayFigures> figuresOf(std::int32_t day);

    DayService& service;
    // What the restaurant says of itself, as the till started with it.
    nlohmann::json restaurant;
    // The history's reads come one at a time: a reader's connection is not
    // shared between threads.
    Mutex historyMutex;
    Journal& history GUARDED_BY(historyMutex);
};
