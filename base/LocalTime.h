#pragma once

#include <string>

#include "base/Moment.h"

// Moments as the restaurant's clock on the wall shows them: in the local time
// zone, daylight saving included.

// Returns the moment in local time as `format` (strftime's) gives it.
std::string localTime(Moment moment, const char* format);

// Returns the moment as ISO 8601 local time with its offset from UTC:
// "2026-12-08T19:30:05+01:00".
std::string isoTime(Moment moment);

// Returns the moment the local hour that holds `moment` began.
Moment startOfLocalHour(Moment moment);

// Returns the moment the local hour after the one that began at `hour`
// begins: an hour later, or less where the clock jumps by half an hour.
Moment nextLocalHour(Moment hour);
