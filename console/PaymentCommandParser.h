#pragma once

#include <string>
#include <variant>
#include <vector>

#include "console/Command.h"

// PaymentCommandParser reads the till's lines that pay: pay and next, with
// how and the cash given, and split, with the items it pays for.
class PaymentCommandParser {
public:
    using Parsed = std::variant<Command, std::string>;

    static Parsed pay(const std::vector<std::string>& words);
    static Parsed split(const std::vector<std::string>& words);
};
