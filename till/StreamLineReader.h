#pragma once

#include <istream>
#include <optional>
#include <string>

#include "till/LineReader.h"

// StreamLineReader reads lines from a stream as they come, as a script pipes
// them: no prompt, no editing.
class StreamLineReader final : public LineReader {
public:
    explicit StreamLineReader(std::istream& in);

    std::optional<std::string> next() override;
    bool interactive() const override;

private:
    std::istream& in;
};
