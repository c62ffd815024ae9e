#pragma once

#include <CLI/CLI.hpp>
#include <string>

// HelpFormatter lays out --help as Unix programs do: the usage line first,
// then what the program or sub-command does, then its arguments and options.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
};
