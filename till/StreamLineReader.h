#pragma once

#include <istream>
#include <optional>
#include <string>

#include "till/LineReader.h"

// StreamLineReader reads lines from a stream as they come. When a person
// types them it writes the prompt "> " before each line.
class StreamLineReader final : public LineReader {
public:
    StreamLineReader(std::istream& in, bool prompt);

    std::optional<std::string> next() override;
    bool interactive() const override;

private:
    std::istream& in;
    bool prompt;
};
