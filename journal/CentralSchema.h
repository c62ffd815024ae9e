#pragma once

#include <cstdint>

namespace pqxx {
class transaction_base;
}

// CentralSchema is the head office's tables in PostgreSQL, and their
// version: every site's records keyed by (site, day, seq) with their
// hashes, each day's signed head and its figures rolled up as the day's own
// summary has them, so that the group's reports are sums in SQL.
class CentralSchema {
public:
    // The version this program makes and works with.
    static constexpr std::int32_t version = 1;

    // Makes the tables in a database without them; returns false when they
    // are there already. Throws HeadOfficeError when the database holds
    // another version's.
    static bool make(pqxx::transaction_base& work);
    // Throws HeadOfficeError unless the database holds this version's
    // tables.
    static void check(pqxx::transaction_base& work);

private:
    // Returns the version the database holds, 0 when it has no tables.
    static std::int32_t found(pqxx::transaction_base& work);
};
