#include "app/GroupCommands.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <unistd.h>
#include <utility>

#include "group/Shipper.h"

#include "app/ArgumentRules.h"
#include "console/ProgressLine.h"
#include "journal/CentralSchema.h"
#include "journal/CentralStore.h"
#include "reports/GroupReport.h"

namespace {

constexpr int failed = 1;

// A head office that does not answer holds a command for this long at
// most, unless the connection string says otherwise.
void boundConnecting() { setenv("PGCONNECT_TIMEOUT", "10", 0); }

std::string tally(const Shipper::Tally& tally) {
    return std::to_string(tally.days) + (tally.days == 1 ? " day, " : " days, ") +
           std::to_string(tally.records) + (tally.records == 1 ? " record" : " records");
}

}  // namespace

GroupCommands::GroupCommands(CLI::App& app) {
    CLI::App* group = app.add_subcommand(
        "group", "The restaurant group's head office: its PostgreSQL database and reports");
    group->require_subcommand(1);
    initCommand = group->add_subcommand(
        "init", "Make the group's tables in the head office's PostgreSQL database");
    initCommand->add_option("--to", url, "The database, as a libpq connection string")
        ->required()
        ->type_name("URL");
    reportCommand = group->add_subcommand(
        "report", "Revenue, customers, VAT and payments per site and day, and the best sellers");
    reportCommand->add_option("--from", url, "The database, as a libpq connection string")
        ->required()
        ->type_name("URL");
    reportCommand->add_option("--since", since, "The first date (default: the first held)")
        ->check(ArgumentRules::date())
        ->type_name("DATE");
    reportCommand->add_option("--until", until, "The last date (default: the last held)")
        ->check(ArgumentRules::date())
        ->type_name("DATE");
    reportCommand->add_option("--site", site, "One site alone")->type_name("NAME");
    reportCommand->add_option("--format", format, "text, csv or json (default: text)")
        ->check(CLI::IsMember({"text", "csv", "json"}))
        ->type_name("FORMAT");
    shipCommand = app.add_subcommand(
        "ship",
        "Ship every record of the journal the head office lacks, with its hash, and "
        "each closed day's signed head");
    shipCommand->add_option("--to", url, "The database, as a libpq connection string")
        ->required()
        ->type_name("URL");
}

CLI::App* GroupCommands::ship() const { return shipCommand; }

std::optional<int> GroupCommands::carryOut(const std::string& journal) const {
    if (!initCommand->parsed() && !reportCommand->parsed() && !shipCommand->parsed()) {
        return std::nullopt;
    }
    boundConnecting();
    try {
        return initCommand->parsed()     ? init()
               : reportCommand->parsed() ? report()
                                         : shipJournal(journal);
    } catch (const std::runtime_error& error) {
        // The head office's failures and refusals, and the journal's.
        std::cerr << "restaurant: " << error.what() << std::endl;
    }
    return failed;
}

int GroupCommands::init() const {
    CentralStore store(url);
    const bool made = store.init();
    std::cout << (made ? "Made the group's tables, version "
                       : "The head office's database holds the group's tables, version ")
              << CentralSchema::version << (made ? "" : ", already") << std::endl;
    return 0;
}

int GroupCommands::report() const {
    CentralStore store(url);
    const GroupFigures figures = store.report({since, until, site});
    const GroupReport shown(figures);
    if (format == "csv") {
        shown.csv(std::cout);
    } else if (format == "json") {
        shown.json(std::cout);
    } else {
        shown.text(std::cout);
    }
    return 0;
}

// On a terminal the ship shows how far it has come; piped, it says what it
// did in one line at the end.
int GroupCommands::shipJournal(const std::string& journal) const {
    CentralStore store(url);
    ProgressLine line(std::cout, isatty(STDOUT_FILENO) != 0);
    const Shipper::Outcome outcome =
        Shipper(journal, store).ship([&line](const Shipper::Progress& progress) {
            line.show("Shipping: " + std::to_string(progress.shipped.days) + " of " +
                      std::to_string(progress.toShip.days) + " days, " +
                      std::to_string(progress.shipped.records) + " of " +
                      std::to_string(progress.toShip.records) + " records, " +
                      std::to_string(line.perSecond(progress.shipped.records)) + " records/s");
        });
    line.wipe();
    std::cout << "Shipped " << tally(outcome.shipped) << " of site " << outcome.site
              << " to the head office; it held " << tally(outcome.held) << " already" << std::endl;
    return 0;
}

std::optional<std::unique_ptr<BackgroundShipper>> GroupCommands::shipWhileServing(
    DayService& service, const std::string& journal, const std::string& url,
    const Settings& settings) {
    if (url.empty()) {
        return std::unique_ptr<BackgroundShipper>();
    }
    if (settings.get("site").empty()) {
        std::cerr << "restaurant: this site has no name for the head office yet: give it one with "
                     "restaurant settings site NAME"
                  << std::endl;
        return std::nullopt;
    }
    boundConnecting();
    return std::make_unique<BackgroundShipper>(service, journal, url);
}
