#include "kitchen/PrintRoom.h"

PrintRoom::PrintRoom(DayService& service, const Settings& settings) {
    for (const std::string& station : settings.printerStations()) {
        spoolers.push_back(std::make_unique<PrintSpooler>(
            service, PrintSpooler::Printer{station, settings.printerOf(station),
                                           settings.codePageOf(station)}));
    }
}
