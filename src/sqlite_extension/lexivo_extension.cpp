// The SQLite extension that gives the stock sqlite3 tool what the program registers on its own connections:
// the LEXIVO collation of the word database's text columns and indexes, LEN(), like() and the letter keys
// SortString() and UniqueChars(). With it the tool
// checks, queries and writes a word database as the program does:
//
//     sqlite3 words.mdb -cmd '.load /usr/lib/x86_64-linux-gnu/lexivo/lexivo'

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "store/sql_functions.h"

extern "C" __attribute__((visibility("default"))) int sqlite3_lexivo_init(sqlite3* db, char** errorMessage,
                                                                          const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    (void)errorMessage;
    return lexivo::RegisterWordFunctions(db);
}
