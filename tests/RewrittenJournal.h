#pragma once

#include <SQLiteCpp/Database.h>
#include <functional>
#include <string>
#include <vector>

#include "journal/EntryChain.h"
#include "journal/EntryTable.h"
#include "journal/HeadSignatures.h"
#include "journal/JournalAnchor.h"
#include "journal/SigningKey.h"

// Rewrites the journal as someone holding only its file would: changes its
// records, recomputes every hash and the anchor, and signs each closed day
// again when given a key. The journal then checks as sound by itself.
inline void rewriteJournal(const std::string& journal,
                           const std::function<void(JournalEntry&)>& change,
                           const SigningKey* signer = nullptr) {
    SQLite::Database database(journal, SQLite::OPEN_READWRITE);
    EntryTable table(database);
    EntryChain::Hash chained = EntryChain::genesis();
    std::vector<EntryTable::Day> rows = table.dayRows();
    for (EntryTable::Day& row : rows) {
        auto entries = table.entriesOf(row.number, row.entries);
        database.exec("DELETE FROM entry WHERE day = " + std::to_string(row.number));
        row.start = chained;
        for (auto& [entry, hash] : entries) {
            change(entry);
            chained = EntryChain::next(chained, entry);
            table.insert(entry, chained);
        }
        row.head = chained;
        table.putDay(row);
        if (signer != nullptr) {
            const SigningKey::Signature signature = signer->sign(HeadSignatures::message(row));
            table.putSignature(row.number, std::string(signature.begin(), signature.end()));
        }
    }
    JournalAnchor(journal).make({rows.back().number, rows.back().entries, rows.back().head});
}
