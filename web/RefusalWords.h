#pragma once

#include <string>

#include "service/Refusal.h"

// RefusalWords says why the web till refused a change: the HTTP status of
// the reason (400 for a bad request, 404 for what does not exist, 409 for
// what the day's state forbids, 503 when the journal failed) and one line
// for a person.
class RefusalWords {
public:
    static constexpr const char* voidReasonRule =
        "a void's reason is 1 to 120 characters, without control or invisible characters";

    static constexpr const char* noteRule =
        "a note is 1 to 60 characters, without control or invisible characters";

    static int status(Refusal::Reason reason);
    static std::string message(const Refusal& refusal);
};
