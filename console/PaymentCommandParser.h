#pragma once

#include <string>
#include <variant>
#include <vector>

#include "console/Command.h"

// PaymentCommandParser reads the till's lines that pay: pay and next, with
// how, the cash given, the parts and the tip; and split, with the items it
// pays for, or evenly.
class PaymentCommandParser {
public:
    using Parsed = std::variant<Command, std::string>;

    static Parsed pay(const std::vector<std::string>& words);
    static Parsed split(const std::vector<std::string>& words);

private:
    static Parsed evenly(const std::vector<std::string>& words);
};
