#pragma once

#include "service/Commands.h"
#include "service/RuleContext.h"

// DayRules are the rules of the day as pure functions: the day as it
// stands and a command give the journal entries that carry the command
// out, or the refusal that says why nothing may change. They read no
// journal and no clock but the context's, so that they are proved without
// either. Starting the day and leaving it open are the writer's, not rules.
class DayRules {
public:
    static Ruled rule(const RuleContext& context, const DayCommand& command);

    static Ruled select(const RuleContext& context, const SelectOrder& command);
    // Closes the day once no order is open: the close carries the day's
    // line in the list of days, and the result the report's figures.
    static Ruled close(const RuleContext& context, const CloseDay& command);
};
