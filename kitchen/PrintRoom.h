#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kitchen/PrintSpooler.h"

#include "journal/Settings.h"
#include "service/DayService.h"

// PrintRoom runs a spooler for each station the settings give a printer,
// from the till's start to its stop.
class PrintRoom {
public:
    // The service must outlive the room.
    PrintRoom(DayService& service, const Settings& settings);

private:
    std::vector<std::unique_ptr<PrintSpooler>> spoolers;
};
