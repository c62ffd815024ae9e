// restaurant: the program a restaurant runs all day at its till. This file
// only wires the command line to the till and to the commands that read the
// journal.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/ArgumentRules.h"
#include "app/GroupCommands.h"
#include "app/HelpFormatter.h"
#include "app/JournalChecks.h"
#include "app/LiveChanges.h"
#include "app/TillStart.h"
#include "app/WebStart.h"
#include "console/CheckedOutput.h"
#include "journal/SqliteJournal.h"
#include "reports/ReadCommands.h"

namespace {

constexpr int failed = 1;
constexpr int badUsage = 2;

// What the command line asks for.
struct Request {
    TillRequest till;
    std::string importFile;
    // Numbers as given, checked to be plain decimal digits.
    std::string day;
    std::string receiptDay;
    std::string customer;
    // A setting's key, then the words of its value.
    std::vector<std::string> setting;
    ServeRequest serve;
    std::string staffName;
    std::string staffRole;
    // sold-out's and available's: the kind, then the item's number or name.
    std::vector<std::string> item;
    // verify's: write a new anchor after the check; the key to trust.
    bool newAnchor = false;
    std::string publicKey;
    // export's: end a signed day with its signed head.
    bool signedHead = false;
};

// The sub-commands, once defined.
struct Commands {
    CLI::App* menu = nullptr;
    CLI::App* import = nullptr;
    CLI::App* days = nullptr;
    CLI::App* report = nullptr;
    CLI::App* summary = nullptr;
    CLI::App* receipt = nullptr;
    CLI::App* exporting = nullptr;
    CLI::App* verify = nullptr;
    CLI::App* key = nullptr;
    CLI::App* settings = nullptr;
    CLI::App* serve = nullptr;
    CLI::App* staffAdd = nullptr;
    CLI::App* staffList = nullptr;
    CLI::App* staffRemove = nullptr;
    CLI::App* soldOut = nullptr;
    CLI::App* available = nullptr;
    std::unique_ptr<GroupCommands> group;
};

void journalOption(CLI::App& command, Request& request) {
    command
        .add_option("--journal", request.till.journalFile,
                    "The journal's file (default: $RESTAURANT_JOURNAL, else "
                    "$XDG_DATA_HOME/restaurant/journal.db)")
        ->type_name("FILE");
}

void signingKeyOption(CLI::App& command, std::string& file) {
    command
        .add_option("--signing-key", file,
                    "The secret key that signs each day as it closes (default: "
                    "$XDG_CONFIG_HOME/restaurant/signing.key, made at the first start)")
        ->type_name("FILE");
}

void defineTill(CLI::App& app, Request& request) {
    CLI::Option* menu = app.add_option("--menu", request.till.menuFile,
                                       "Import the menu in this CSV file into the journal, "
                                       "then sell from it")
                            ->type_name("FILE");
    journalOption(app, request);
    CLI::Option* journal = app.get_option("--journal");
    ArgumentRules::vatOption(app, request.till.vat);
    CLI::Option* noJournal =
        app.add_flag("--no-journal", request.till.noJournal, "Keep the day in memory only")
            ->excludes(journal);
    signingKeyOption(app, request.till.signingKey);
    app.add_flag("--demo", request.till.demo,
                 "Replay a built-in day, showing each command before its output; keeps no journal")
        ->excludes(menu)
        ->excludes(journal)
        ->excludes(noJournal);
}

void defineMenuCommands(CLI::App& app, Request& request, Commands& commands) {
    commands.menu = app.add_subcommand(
        "menu", "The menu in use as CSV: the file's, else the journal's, else the built-in one");
    commands.menu->add_option("--menu", request.till.menuFile, "Read the menu from this CSV file")
        ->type_name("FILE");
    journalOption(*commands.menu, request);
    commands.import = commands.menu->add_subcommand(
        "import", "Check the menu file and make it the menu kept in the journal");
    commands.import->add_option("FILE", request.importFile, "The menu's CSV file")->required();
    journalOption(*commands.import, request);
}

void defineServeCommand(CLI::App& app, Request& request, Commands& commands) {
    commands.serve = app.add_subcommand(
        "serve", "Run the till as a web page for the restaurant's tablets and phones");
    commands.serve
        ->add_option("--listen", request.serve.listen,
                     "The address and port to listen on (default: 127.0.0.1:8080)")
        ->type_name("ADDRESS:PORT");
    commands.serve
        ->add_option("--certificate", request.serve.certificate, "A PEM certificate: serve HTTPS")
        ->type_name("FILE");
    commands.serve->add_option("--key", request.serve.key, "The certificate's PEM private key")
        ->type_name("FILE");
    commands.serve
        ->add_option("--menu", request.serve.menuFile,
                     "Import the menu in this CSV file into the journal, then sell from it")
        ->type_name("FILE");
    commands.serve->get_option("--certificate")->needs(commands.serve->get_option("--key"));
    commands.serve->get_option("--key")->needs(commands.serve->get_option("--certificate"));
    commands.serve
        ->add_option("--hostname", request.serve.hostnames,
                     "A name devices reach the till by, beside its addresses; may be given again")
        ->allow_extra_args(false)
        ->type_name("NAME");
    commands.serve
        ->add_option("--ship-to", request.serve.shipTo,
                     "Ship the journal to the head office's PostgreSQL database, a libpq "
                     "connection string, in the background")
        ->type_name("URL");
    ArgumentRules::vatOption(*commands.serve, request.serve.vat);
    signingKeyOption(*commands.serve, request.serve.signingKey);
}

void defineWebCommands(CLI::App& app, Request& request, Commands& commands) {
    defineServeCommand(app, request, commands);
    CLI::App* staff = app.add_subcommand("staff", "The staff who may sign in to the web till");
    staff->require_subcommand(1);
    commands.staffAdd =
        staff->add_subcommand("add", "Add a member of staff, or give one a new PIN");
    commands.staffList = staff->add_subcommand("list", "The staff, one name a line");
    commands.staffRemove = staff->add_subcommand("remove", "Remove a member of staff");
    for (CLI::App* command : {commands.staffAdd, commands.staffRemove}) {
        command->add_option("NAME", request.staffName, "The member of staff")->required();
    }
    commands.staffAdd
        ->add_option("--role", request.staffRole,
                     "waiter, manager or kitchen (default: waiter, or the member's own)")
        ->check(CLI::IsMember({"waiter", "manager", "kitchen"}));
    commands.soldOut = app.add_subcommand("sold-out", "Mark a dish sold out for the day served");
    commands.available = app.add_subcommand("available", "Sell a dish marked sold out again");
    for (CLI::App* command : {commands.soldOut, commands.available}) {
        command->add_option("KIND ITEM", request.item, "The item's kind and number or name")
            ->required()
            ->expected(2, 64);
    }
    for (CLI::App* command : {commands.serve, commands.staffAdd, commands.staffList,
                              commands.staffRemove, commands.soldOut, commands.available}) {
        journalOption(*command, request);
    }
}

// verify, key, and what the export carries of a signed day.
void defineChecks(CLI::App& app, Request& request, Commands& commands) {
    commands.exporting->add_flag("--signed-head", request.signedHead,
                                 "End a signed day with its signed head, in a line that begins "
                                 "with #, for a copy kept elsewhere");
    commands.verify = app.add_subcommand(
        "verify",
        "Check every day's records against the hashes they were written with, and the file "
        "itself: one line per sound day, or the first damage found");
    commands.verify->add_flag("--new-anchor", request.newAnchor,
                              "After the check, write a new anchor for a journal that lost its "
                              "own, and record that in the open day");
    commands.verify
        ->add_option("--public-key", request.publicKey,
                     "Fail any day not signed by the key of this fingerprint, as "
                     "'restaurant key' prints it")
        ->type_name("FINGERPRINT");
    commands.key = app.add_subcommand(
        "key", "The public key that signs the journal's days, and its fingerprint");
}

Commands defineCommands(CLI::App& app, Request& request) {
    Commands commands;
    defineMenuCommands(app, request, commands);
    defineWebCommands(app, request, commands);
    commands.days = app.add_subcommand(
        "days",
        "One line per day: its number, when it opened and closed (or open), customers, "
        "revenue");
    commands.report = app.add_subcommand(
        "report", "The day's three report lines, as the till printed them (default: the last day)");
    commands.summary = app.add_subcommand("summary", "The day's close-of-day summary");
    commands.receipt = app.add_subcommand("receipt", "That customer's receipt");
    commands.exporting = app.add_subcommand("export", "Every item sold that day as CSV");
    for (CLI::App* command : {commands.report, commands.summary, commands.exporting}) {
        command->add_option("DAY", request.day, "The day's number (default: the last day)")
            ->check(ArgumentRules::plainNumber());
    }
    commands.receipt->add_option("DAY", request.receiptDay, "The day's number")
        ->required()
        ->check(ArgumentRules::plainNumber());
    commands.receipt->add_option("CUSTOMER", request.customer, "The customer's number in that day")
        ->required()
        ->check(ArgumentRules::plainNumber());
    defineChecks(app, request, commands);
    commands.settings = app.add_subcommand(
        "settings",
        "The restaurant's name, address, vat-number and currency, which head its receipts: all of "
        "them, one, or one set to the words given");
    commands.settings->add_option("KEY VALUE", request.setting, "A setting, then its new value");
    commands.group = std::make_unique<GroupCommands>(app);
    for (CLI::App* command :
         {commands.days, commands.report, commands.summary, commands.receipt, commands.exporting,
          commands.verify, commands.key, commands.settings, commands.group->ship()}) {
        journalOption(*command, request);
    }
    return commands;
}

int readJournal(const Commands& commands, const Request& request) {
    if (commands.verify->parsed()) {
        return verifyJournal(journalPathOf(request.till.journalFile), request.newAnchor,
                             request.publicKey);
    }
    SqliteJournal reader(journalPathOf(request.till.journalFile), SqliteJournal::Access::reading);
    if (commands.key->parsed()) {
        return printKey(reader);
    }
    if (commands.days->parsed()) {
        return listDays(reader, std::cout);
    }
    if (commands.report->parsed()) {
        return reportDay(reader, ArgumentRules::numberOf(request.day));
    }
    if (commands.summary->parsed()) {
        return summarizeDay(reader, ArgumentRules::numberOf(request.day), std::cout);
    }
    if (commands.receipt->parsed()) {
        return printReceipt(reader, *ArgumentRules::numberOf(request.receiptDay),
                            *ArgumentRules::numberOf(request.customer), std::cout);
    }
    return exportDay(reader, ArgumentRules::numberOf(request.day), std::cout, request.signedHead);
}

std::optional<int> carryOutWeb(const Commands& commands, Request request) {
    request.serve.journalFile = request.till.journalFile;
    if (commands.serve->parsed()) {
        return serveTill(request.serve);
    }
    if (commands.staffAdd->parsed()) {
        return addStaff(request.staffName, request.staffRole, request.till.journalFile);
    }
    if (commands.soldOut->parsed() || commands.available->parsed()) {
        return markSoldOut(request.item, request.till.journalFile, commands.soldOut->parsed());
    }
    if (commands.staffList->parsed()) {
        return listStaff(request.till.journalFile);
    }
    if (commands.staffRemove->parsed()) {
        return removeStaff(request.staffName, request.till.journalFile);
    }
    return std::nullopt;
}

// Returns true when some --journal was given an empty path.
bool emptyJournalGiven(const CLI::App& app) {
    for (const CLI::App* command : app.get_subcommands({})) {
        if (emptyJournalGiven(*command)) {
            return true;
        }
    }
    const CLI::Option* journal = app.get_option_no_throw("--journal");
    return journal != nullptr && journal->count() > 0 && journal->as<std::string>().empty();
}

int carryOut(CLI::App& app, const Commands& commands, const Request& request) {
    if (emptyJournalGiven(app)) {
        throw JournalError(
            "'' is not a journal's path: give the path of a plain file, such as "
            "journal.db");
    }
    if (commands.import->parsed()) {
        return importMenu(request.importFile, request.till.journalFile);
    }
    if (commands.settings->parsed()) {
        return settingsCommand(request.setting, request.till.journalFile);
    }
    if (const std::optional<int> status = carryOutWeb(commands, request)) {
        return *status;
    }
    if (const std::optional<int> status =
            commands.group->carryOut(journalPathOf(request.till.journalFile))) {
        return *status;
    }
    if (commands.menu->parsed()) {
        return writeMenuInUse(request.till.menuFile, request.till.journalFile);
    }
    if (app.get_subcommands().empty()) {
        return startTill(request.till);
    }
    return readJournal(commands, request);
}

// Output that cannot be written, to a full disk or a closed pipe, is a
// failure the caller must hear of.
int checkedOutput(int status, const CheckedOutput& output) {
    std::cout.flush();
    if (output.failure() != 0) {
        std::cerr << "restaurant: cannot write the output: " << std::strerror(output.failure())
                  << std::endl;
        return failed;
    }
    return status;
}

int run(int argc, char** argv, const CheckedOutput& output) {
    CLI::App app(
        "The till of a restaurant: takes the day's orders from commands on standard input, one a\n"
        "line (type help for them), keeps every sale in the day's journal, and prints the day's\n"
        "accounts at the end. The sub-commands read the journal without starting the till.",
        "restaurant");
    app.formatter(std::make_shared<HelpFormatter>());
    app.failure_message([](const CLI::App* failing, const CLI::Error& error) {
        return "restaurant: " + CLI::FailureMessage::simple(failing, error);
    });
    app.set_version_flag("--version", "restaurant " RESTAURANT_VERSION);
    app.require_subcommand(0, 1);
    Request request;
    defineTill(app, request);
    const Commands commands = defineCommands(app, request);
    app.footer(
        "Run restaurant SUB-COMMAND --help for a sub-command's options; type help at the till "
        "for its commands.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? checkedOutput(0, output) : badUsage;
    }
    try {
        return checkedOutput(carryOut(app, commands, request), output);
    } catch (const JournalError& error) {
        std::cerr << "restaurant: " << error.what() << std::endl;
        return failed;
    }
}

}  // namespace

// A standard descriptor closed at the start would be taken by the next file
// opened, the journal's included, and output meant for the screen would go
// into it; each is opened on /dev/null first.
void keepStandardDescriptorsOpen() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1 && errno == EBADF &&
            open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY) != descriptor) {
            std::_Exit(failed);
        }
    }
}

int main(int argc, char** argv) {
    keepStandardDescriptorsOpen();
    CheckedOutput output(STDOUT_FILENO);
    std::streambuf* const standard = std::cout.rdbuf(&output);
    int status = failed;
    try {
        status = run(argc, argv, output);
    } catch (const std::exception& error) {
        std::cerr << "restaurant: " << error.what() << std::endl;
    }
    std::cout.rdbuf(standard);
    return status;
}
