#include "app/WebStart.h"

#include <csignal>
#include <functional>
#include <iostream>
#include <optional>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "kitchen/PrintRoom.h"

#include "app/GroupCommands.h"
#include "app/LiveChanges.h"
#include "app/TillStart.h"
#include "base/Text.h"
#include "journal/SqliteJournal.h"
#include "menu/MenuFile.h"
#include "service/Commands.h"
#include "service/DayService.h"
#include "web/PinHash.h"
#include "web/WebApi.h"
#include "web/WebServer.h"

namespace {

constexpr int badUsage = 2;

std::optional<WebServer::Options> optionsOf(const ServeRequest& request) {
    WebServer::Options options;
    const std::size_t colon = request.listen.rfind(':');
    const std::string port = colon == std::string::npos ? "" : request.listen.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > 65535) {
        std::cerr << "restaurant: '" << request.listen
                  << "' is not an address and port: give one like 127.0.0.1:8080" << std::endl;
        return std::nullopt;
    }
    options.address = request.listen.substr(0, colon);
    if (options.address.size() > 2 && options.address.front() == '[') {
        options.address = options.address.substr(1, options.address.size() - 2);
    }
    options.port = static_cast<unsigned short>(std::stoi(port));
    options.certificate = request.certificate;
    options.key = request.key;
    options.hostnames = request.hostnames;
    return options;
}

bool isLoopback(const std::string& address) {
    return address.rfind("127.", 0) == 0 || address == "::1" || address == "localhost";
}

// A PIN typed at a terminal is not shown; from a script, one a line.
std::string askPin(const char* prompt) {
    const bool terminal = isatty(STDIN_FILENO) != 0;
    termios before{};
    if (terminal) {
        std::cerr << prompt << std::flush;
        tcgetattr(STDIN_FILENO, &before);
        termios hidden = before;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::string pin;
    std::getline(std::cin, pin);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        std::cerr << std::endl;
    }
    return pin;
}

// Makes the menu file, if one is given, the journal's; a file with problems
// has them said, and changes nothing.
bool importedMenu(const std::string& file, Journal& journal) {
    if (file.empty()) {
        return true;
    }
    MenuReading reading = readMenuFile(file);
    if (!reading.problems.empty()) {
        for (const std::string& line : describeProblems(file, reading.problems)) {
            std::cerr << line << '\n';
        }
        return false;
    }
    journal.replaceMenu({std::move(reading.menu), file, DayService::systemClock()});
    return true;
}

// Sessions are kept by the day's writer, which tells nobody.
std::function<void(KeepSession)> keptBy(DayService& service) {
    return [&service](KeepSession change) {
        Submission submission;
        submission.command = std::move(change);
        submission.tell = [](const Told&) {};
        service.submit(std::move(submission));
    };
}

// Past days are read beside the writer, from a connection of their own.
void serveUntilStopped(DayService& service, const std::vector<Journal::Session>& kept,
                       const std::string& path, const ServeRequest& request,
                       const WebServer::Options& options) {
    SqliteJournal history(path, SqliteJournal::Access::reading);
    Sessions sessions(DayService::systemClock, kept, keptBy(service));
    EventHub events;
    WebApi api(service, history, sessions, events);
    WebServer server(api, events, options);
    std::cout << "Serving the till at " << (server.secure() ? "https://" : "http://")
              << request.listen.substr(0, request.listen.rfind(':')) << ":" << server.port()
              << "/ ; SIGTERM or Ctrl-C stops it, the day left open" << std::endl;
    server.run({SIGTERM, SIGINT});
}

}  // namespace

int serveTill(const ServeRequest& request) {
    const std::optional<WebServer::Options> options = optionsOf(request);
    if (!options) {
        return badUsage;
    }
    SqliteJournal journal(journalPathOf(request.journalFile), SqliteJournal::Access::till);
    readyTillJournal(journal, request.signingKey);
    if (!importedMenu(request.menuFile, journal)) {
        return badUsage;
    }
    const bool loopback = isLoopback(options->address);
    if (!loopback && journal.staff().empty()) {
        std::cerr << "restaurant: add staff first: restaurant staff add NAME" << std::endl;
        return badUsage;
    }
    if (!loopback && request.certificate.empty()) {
        std::cerr << "restaurant: without --certificate and --key, PINs cross the network in clear"
                  << std::endl;
    }
    const std::optional<Journal::StoredMenu> stored = journal.storedMenu();
    DayService service(stored ? stored->menu : builtinMenu(), journal, DayService::systemClock,
                       request.vat);
    const Settings settings = journal.settings();
    const std::string path = journalPathOf(request.journalFile);
    const auto shipper = GroupCommands::shipWhileServing(service, path, request.shipTo, settings);
    if (!shipper) {
        return badUsage;
    }
    service.start(settings.printerStations(), settings.serviceCharge());
    const PrintRoom printers(service, settings);
    const std::unique_ptr<ControlSocket> control = listenForChanges(service, path);
    serveUntilStopped(service, journal.sessions(), path, request, *options);
    service.leaveOpen();
    return 0;
}

// A new member is a waiter unless the role says; one added again keeps
// their role. While a till serves the journal, it takes the change.
int addStaff(const std::string& name, const std::string& role, const std::string& journalFile) {
    if (name.empty() || name.size() > 64 || !isUtf8(name) || forbiddenInName(name)) {
        std::cerr << "restaurant: a name on the staff is 1 to 64 bytes of text, without controls"
                  << std::endl;
        return badUsage;
    }
    const std::string pin = askPin("PIN (4 to 12 digits): ");
    if (!PinHash::wellFormed(pin)) {
        std::cerr << "restaurant: a PIN is 4 to 12 digits" << std::endl;
        return badUsage;
    }
    if (askPin("The PIN again: ") != pin) {
        std::cerr << "restaurant: the two PINs differ; nothing changed" << std::endl;
        return badUsage;
    }
    const std::string hash = PinHash::of(pin);
    nlohmann::json request = {{"command", "staff-add"}, {"name", name}, {"pin_hash", hash}};
    if (!role.empty()) {
        request["role"] = role;
    }
    if (const std::optional<int> status = changedByTheTill(journalFile, request)) {
        return *status;
    }
    SqliteJournal journal(journalPathOf(journalFile), SqliteJournal::Access::till);
    std::string kept = role.empty() ? "waiter" : role;
    for (const Journal::StaffMember& member : journal.staff()) {
        kept = member.name == name && role.empty() ? member.role : kept;
    }
    journal.putStaff({name, hash, kept});
    std::cout << "Added " << name << " to the staff" << (role.empty() ? "" : " as " + role)
              << std::endl;
    return 0;
}

int listStaff(const std::string& journalFile) {
    SqliteJournal journal(journalPathOf(journalFile), SqliteJournal::Access::reading);
    for (const Journal::StaffMember& member : journal.staff()) {
        std::cout << member.name << '\n';
    }
    std::cout << std::flush;
    return 0;
}

int removeStaff(const std::string& name, const std::string& journalFile) {
    if (const std::optional<int> status =
            changedByTheTill(journalFile, {{"command", "staff-remove"}, {"name", name}})) {
        return *status;
    }
    SqliteJournal journal(journalPathOf(journalFile), SqliteJournal::Access::till);
    if (!journal.removeStaff(name)) {
        std::cerr << "restaurant: there is no " << name << " on the staff" << std::endl;
        return badUsage;
    }
    std::cout << "Removed " << name << " from the staff" << std::endl;
    return 0;
}
