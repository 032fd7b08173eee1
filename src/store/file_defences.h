#pragma once

struct sqlite3;

namespace lexivo {

// A word database may come from anyone. Every connection is opened with the engine's defences for files of
// unknown origin: the file's schema cannot corrupt it on purpose, its triggers and views may call only the
// functions that have no side effects, damaged cells are found on reading, and no value or statement may be
// far longer than the program ever uses. A setting refused closes the connection and throws Error.
void ApplyFileDefences(sqlite3* db);

// The longest value and statement text a connection accepts (bytes). A stored word is at most 255
// characters, a statement a search of a few hundred; a value past this is refused instead of being read.
constexpr int kMaxValueBytes = 1'000'000;
constexpr int kMaxStatementBytes = 100'000;

}  // namespace lexivo
