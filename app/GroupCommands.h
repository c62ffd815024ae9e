#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "group/BackgroundShipper.h"

#include "journal/Settings.h"
#include "service/DayService.h"

// GroupCommands wires the restaurant group's commands: `group init`,
// `group report` and `ship`, which reach the head office's PostgreSQL.
class GroupCommands {
public:
    // Defines the commands on the program's command line.
    explicit GroupCommands(CLI::App& app);

    // The commands that read or ship a journal, for its --journal option.
    CLI::App* ship() const;

    // Carries out the command parsed, if one of these was, on the journal
    // at `journal`; returns the program's exit status.
    std::optional<int> carryOut(const std::string& journal) const;

    // Starts shipping the served journal to `url` in the background, or
    // nothing when `url` is empty. Returns nothing and says why when the
    // site has no name yet.
    static std::optional<std::unique_ptr<BackgroundShipper>> shipWhileServing(
        DayService& service, const std::string& journal, const std::string& url,
        const Settings& settings);

private:
    int init() const;
    int report() const;
    int shipJournal(const std::string& journal) const;

    CLI::App* initCommand = nullptr;
    CLI::App* reportCommand = nullptr;
    CLI::App* shipCommand = nullptr;
    std::string url;
    std::string since;
    std::string until;
    std::string site;
    std::string format = "text";
};
