#include "app/TillStart.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

#include "control/ControlRequests.h"
#include "kitchen/PrintRoom.h"

#include "app/DemoDay.h"
#include "app/LiveChanges.h"
#include "base/LocalTime.h"
#include "console/Console.h"
#include "console/EditLineReader.h"
#include "console/FdLineReader.h"
#include "console/StopSignals.h"
#include "console/Till.h"
#include "journal/JournalPath.h"
#include "journal/MemoryJournal.h"
#include "journal/SigningKey.h"
#include "journal/SqliteJournal.h"
#include "menu/MenuFile.h"

namespace {

// A menu file, or a setting, that cannot be used.
constexpr int badMenu = 2;

// Returns the file's menu; a file with problems has them reported on
// standard error and gives nothing.
std::optional<Menu> menuOfFile(const std::string& file) {
    MenuReading reading = readMenuFile(file);
    if (reading.problems.empty()) {
        return std::move(reading.menu);
    }
    for (const std::string& line : describeProblems(file, reading.problems)) {
        std::cerr << line << '\n';
    }
    std::cerr << std::flush;
    return std::nullopt;
}

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string contentsOf(const Menu& menu) {
    return counted(menu.of(ItemKind::dish).size(), "main dish", "main dishes") + ", " +
           counted(menu.of(ItemKind::snack).size(), "snack", "snacks") + ", " +
           counted(menu.of(ItemKind::drink).size(), "drink", "drinks");
}

// The menu the till sells and the words that say which.
struct Selling {
    Menu menu;
    std::string said;
};

Selling sellingFrom(Journal& journal) {
    std::optional<Journal::StoredMenu> stored = journal.storedMenu();
    if (!stored) {
        return {builtinMenu(),
                "the built-in sample menu; import your own with: restaurant menu import FILE"};
    }
    return {std::move(stored->menu), "the menu imported from " + stored->file + " on " +
                                         localTime(stored->importedAt, "%Y-%m-%d at %H:%M")};
}

std::string welcomeOf(const std::string& journal, const std::string& selling) {
    return "Welcome. Journal: " + journal + ". Selling " + selling +
           ".\nType help for the commands, quit to close the day.";
}

// A terminal edits its lines; a script's come as they are.
int runUntilStopped(Till& till, std::vector<std::vector<std::string>> names, StopSignals& signals) {
    if (isatty(STDIN_FILENO) != 0) {
        EditLineReader lines(std::move(names), signals);
        return till.run(lines);
    }
    FdLineReader lines(STDIN_FILENO, signals);
    return till.run(lines);
}

int runOn(Journal& journal, const std::string& journalName, std::optional<Menu> imported,
          const TillRequest& request) {
    if (imported) {
        journal.replaceMenu({std::move(*imported), request.menuFile, DayService::systemClock()});
    }
    Selling selling = sellingFrom(journal);
    std::vector<std::vector<std::string>> names(3);
    for (ItemKind kind : itemKinds) {
        for (const MenuItem& item : selling.menu.of(kind)) {
            names[static_cast<std::size_t>(kind)].push_back(item.name);
        }
    }
    // The stop signals are held before the first thread starts, so that
    // every thread inherits them held and only the reader's wait takes one.
    std::optional<StopSignals> signals;
    if (!request.demo) {
        signals.emplace();
    }
    // Once the service runs, its writer alone uses the journal.
    Settings settings = journal.settings();
    DayService service(std::move(selling.menu), journal, DayService::systemClock, request.vat);
    const PrintRoom printers(service, settings);
    const std::unique_ptr<ControlSocket> control =
        request.demo || request.noJournal ? nullptr : listenForChanges(service, journalName);
    Console console(service, std::move(settings));
    Till till(console, welcomeOf(journalName, selling.said));
    if (request.demo) {
        return till.replay(demoCommands());
    }
    return runUntilStopped(till, std::move(names), *signals);
}

}  // namespace

std::string journalPathOf(const std::string& given) {
    return given.empty() ? defaultJournalPath() : given;
}

void readyTillJournal(SqliteJournal& journal, const std::string& keyFile) {
    for (const std::string& note : journal.upgradeNotes()) {
        std::cerr << "restaurant: " << journal.description() << " brought up to date: " << note
                  << std::endl;
    }
    const std::string file = keyFile.empty() ? SigningKey::defaultFile() : keyFile;
    try {
        journal.signWith(std::make_shared<const SigningKey>(SigningKey::at(file)));
    } catch (const std::exception& error) {
        std::cerr << "restaurant: " << error.what()
                  << ": the days close unsigned; give a key's file with --signing-key FILE"
                  << std::endl;
    }
}

// A bad menu file starts nothing and touches no journal.
int startTill(const TillRequest& request) {
    std::optional<Menu> imported;
    if (!request.menuFile.empty()) {
        imported = menuOfFile(request.menuFile);
        if (!imported) {
            return badMenu;
        }
    }
    if (request.demo || request.noJournal) {
        MemoryJournal journal;
        return runOn(journal, "none, the day is kept in memory only", std::move(imported), request);
    }
    const std::string path = journalPathOf(request.journalFile);
    SqliteJournal journal(path, SqliteJournal::Access::till);
    readyTillJournal(journal, request.signingKey);
    return runOn(journal, path, std::move(imported), request);
}

int importMenu(const std::string& file, const std::string& journalFile) {
    std::optional<Menu> menu = menuOfFile(file);
    if (!menu) {
        return badMenu;
    }
    const std::string path = journalPathOf(journalFile);
    const std::string contents = contentsOf(*menu);
    if (const std::optional<int> status = changedByTheTill(
            journalFile,
            {{"command", "menu"}, {"file", file}, {"items", ControlRequests::rowsOf(*menu)}})) {
        return *status;
    }
    SqliteJournal journal(path, SqliteJournal::Access::till);
    journal.replaceMenu({std::move(*menu), file, DayService::systemClock()});
    std::cout << "Imported " << file << " into journal " << path << ": " << contents << std::endl;
    return 0;
}

int writeMenuInUse(const std::string& menuFile, const std::string& journalFile) {
    if (!menuFile.empty()) {
        std::optional<Menu> menu = menuOfFile(menuFile);
        if (!menu) {
            return badMenu;
        }
        writeMenu(*menu, std::cout);
        return 0;
    }
    const std::string path = journalPathOf(journalFile);
    std::optional<Journal::StoredMenu> stored;
    if (std::filesystem::exists(path)) {
        SqliteJournal journal(path, SqliteJournal::Access::reading);
        stored = journal.storedMenu();
    }
    writeMenu(stored ? stored->menu : builtinMenu(), std::cout);
    return 0;
}

int settingsCommand(const std::vector<std::string>& words, const std::string& journalFile) {
    if (!words.empty() && !Settings::known(words[0])) {
        std::cerr
            << "restaurant: there is no setting '" << words[0]
            << "': the settings are name, address, vat-number, currency, service-charge, site, "
               "and for a station's printer printer.STATION and printer.STATION.codepage"
            << std::endl;
        return badMenu;
    }
    const std::string path = journalPathOf(journalFile);
    if (words.size() < 2) {
        SqliteJournal journal(path, SqliteJournal::Access::reading);
        const Settings settings = journal.settings();
        for (const std::string& key : settings.listed()) {
            if (words.empty()) {
                std::cout << key << ": " << settings.get(key) << '\n';
            } else if (key == words[0]) {
                std::cout << settings.get(key) << '\n';
            }
        }
        std::cout << std::flush;
        return 0;
    }
    std::string value;
    for (std::size_t at = 1; at < words.size(); ++at) {
        value += (at == 1 ? "" : " ") + words[at];
    }
    if (const std::optional<std::string> problem = Settings::problemWith(words[0], value)) {
        std::cerr << "restaurant: " << *problem << std::endl;
        return badMenu;
    }
    if (const std::optional<int> status = changedByTheTill(
            journalFile, {{"command", "setting"}, {"key", words[0]}, {"value", value}})) {
        return *status;
    }
    SqliteJournal journal(path, SqliteJournal::Access::till);
    journal.putSetting(words[0], value);
    std::cout << "Set " << words[0] << " to '" << value << "' in journal " << path << std::endl;
    return 0;
}
