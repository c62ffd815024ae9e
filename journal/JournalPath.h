#pragma once

#include <string>

// Returns where the journal lives when no --journal is given: the
// environment variable RESTAURANT_JOURNAL, else
// $XDG_DATA_HOME/restaurant/journal.db, else
// ~/.local/share/restaurant/journal.db. Throws JournalError when the
// environment names none of these.
std::string defaultJournalPath();
