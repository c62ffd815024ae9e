#pragma once

#include <cstdint>

// A moment as the program keeps it: whole seconds since the Unix epoch.
using Moment = std::int64_t;
