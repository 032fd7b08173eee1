#pragma once

// What every connection to a word database needs, in plain C++ (no Qt), so that the program and the SQLite
// extension for the stock sqlite3 tool register the very same code: the LEXIVO collation of the text columns
// and their indexes, LEN() in characters, like() with the dialect's wildcards "*" and "?" that ignores case, and
// SortString() and UniqueChars(), the letter keys.

struct sqlite3;

namespace lexivo {

// Returns SQLITE_OK, or the code of the registration that failed.
int RegisterWordFunctions(sqlite3* db);

}  // namespace lexivo
