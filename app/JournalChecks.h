#pragma once

#include <string>

class SqliteJournal;

// `restaurant verify` and `restaurant key`: the journal's check, with the
// key an accountant trusts and a new anchor after it when asked, and the
// public key its chain names. Each returns the program's exit status.
int verifyJournal(const std::string& path, bool newAnchor, const std::string& publicKey);
int printKey(SqliteJournal& reader);
