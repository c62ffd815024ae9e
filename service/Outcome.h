#pragma once

#include <utility>
#include <variant>

#include "service/Refusal.h"

// Outcome is what a command of the day's service gives: its result, or the
// refusal that says why nothing changed.
template <typename Result>
class Outcome {
public:
    Outcome(Result result) : value(std::move(result)) {}     // NOLINT: implicit by design
    Outcome(Refusal refusal) : value(std::move(refusal)) {}  // NOLINT: implicit by design

    bool done() const { return value.index() == 0; }
    const Result& result() const { return std::get<0>(value); }
    const Refusal& refusal() const { return std::get<1>(value); }

private:
    std::variant<Result, Refusal> value;
};
