#pragma once

// The engine layer: the word database's file engine (SQLite) behind a connection, query cursors, a table
// cursor with exact look-ups on the Word index, and transactions. Nothing outside this layer sees SQLite.
//
// Query texts are written in the word database's dialect and pass through a thin adapter: [Name] identifiers
// are native, LEN() counts characters, LIKE uses "*" and "?" as wildcards and ignores case, and
// "DELETE * FROM" means "DELETE FROM".

#include "store/connection.h"
#include "store/cursor.h"
#include "store/row_callback.h"
#include "store/transaction.h"
#include "store/word_table.h"
