#pragma once

#include <set>
#include <string>
#include <thread>

#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "service/DayService.h"
#include "web/EventHub.h"
#include "web/Sessions.h"
#include "web/WebApi.h"
#include "web/WebServer.h"

// ServedDay is the day on a journal file with the web till serving it on
// loopback from a thread of its own, as `restaurant serve` runs them, for
// the benchmarks that measure it over HTTP: the built-in menu, no staff,
// past days read from a connection of their own.
class ServedDay {
public:
    // Tickets for the stations of `printers` go to the print queue.
    explicit ServedDay(const std::string& path, std::set<std::string> printers = {})
        : journal(path, SqliteJournal::Access::till),
          day(builtinMenu(), journal),
          history(startedThenOpened(day, path, std::move(printers)),
                  SqliteJournal::Access::reading),
          api(day, history, sessions, events),
          server(api, events, loopbackAnyPort()),
          serving([this] { server.run(); }) {}
    ServedDay(const ServedDay&) = delete;
    ServedDay& operator=(const ServedDay&) = delete;
    // Stops the server and leaves the day open.
    ~ServedDay() {
        server.stop();
        serving.join();
        day.leaveOpen();
    }

    DayService& service() { return day; }
    unsigned short port() const { return server.port(); }

private:
    static WebServer::Options loopbackAnyPort() {
        WebServer::Options options;
        options.port = 0;
        return options;
    }

    // The history is opened once the day started, on the journal as the
    // till brought it up to this version.
    static std::string startedThenOpened(DayService& day, const std::string& path,
                                         std::set<std::string> printers) {
        day.start(std::move(printers));
        return path;
    }

    SqliteJournal journal;
    DayService day;
    SqliteJournal history;
    Sessions sessions{DayService::systemClock};
    EventHub events;
    WebApi api;
    WebServer server;
    std::thread serving;
};
