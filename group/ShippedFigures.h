#pragma once

#include <string>

#include "journal/CentralStore.h"
#include "journal/DayRecord.h"

// ShippedFigures are a day's figures as the head office keeps them: those
// of the day's own summary, so that the group's sums equal the sites'.
class ShippedFigures {
public:
    // Returns the figures of the site's day. Its date is the local date of
    // its first sale, or of its opening when none was made.
    static CentralStore::DayTotals of(const std::string& site, const DayRecord& record);
};
