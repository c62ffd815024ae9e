#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/StaffRole.h"
#include "journal/DayReplay.h"
#include "service/Commands.h"
#include "service/Refusal.h"
#include "service/RequestKey.h"
#include "service/Results.h"

// Told is what the writer tells of a command: what it did, or why nothing
// changed; and the answer kept under the request's key, or the one kept
// before when the request came again.
struct Told {
    std::optional<Result> result;
    std::optional<Refusal> refusal;
    std::optional<std::string> answer;
    // Whether the request came again and changed nothing.
    bool repeated = false;
};

// Submission is a command handed to the writer: who asks, the request's
// key, how to answer it from the day the command made, and whom to tell.
struct Submission {
    // Makes the answer to keep under the key, from what the command did and
    // the day it left, within the command's own change.
    using Answer = std::function<std::string(const Result&, const DayReplay&)>;
    // Learns, on the writer's thread, what came of the command: once the
    // batch that holds it is on disk, or at once when it wrote nothing.
    using Tell = std::function<void(Told)>;

    DayCommand command;
    std::string staff;
    RequestKey key;
    Answer answer;
    Tell tell;
    // What the asker may do, and the manager who approved, if one did: the
    // console's owner is a manager.
    StaffRole role = StaffRole::manager;
    std::string approver;
};
