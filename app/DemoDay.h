#pragma once

#include <string>
#include <vector>

// Returns the commands that `restaurant --demo` replays on the built-in
// menu: several customers, a few mistakes, and the day's report.
std::vector<std::string> demoCommands();
