#pragma once

#include <string>

// ControlPath says where a till's control socket is: beside its journal,
// or, when that path is too long for a socket's address, under
// $XDG_RUNTIME_DIR, named after the journal's path.
class ControlPath {
public:
    [[nodiscard]] static std::string of(const std::string& journalPath);
};
