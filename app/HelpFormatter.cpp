#include "app/HelpFormatter.h"

#include <utility>

std::string HelpFormatter::make_help(const CLI::App* app, std::string name,
                                     CLI::AppFormatMode mode) const {
    if (mode == CLI::AppFormatMode::Sub) {
        return make_expanded(app);
    }
    return make_usage(app, std::move(name)) + "\n" + make_description(app) + make_positionals(app) +
           make_groups(app, mode) + make_subcommands(app, mode) + "\n" + make_footer(app);
}
