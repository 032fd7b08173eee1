#include "store/sql_functions.h"

#ifdef LEXIVO_SQLITE_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "store/collation.h"
#include "store/like_matcher.h"

namespace lexivo {

namespace {

std::string_view textOf(sqlite3_value* value) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return {p ? p : "", static_cast<size_t>(sqlite3_value_bytes(value))};
}

// Every function answers NULL for a NULL argument, as SQLite's own do.
bool answeredNull(sqlite3_context* ctx, sqlite3_value** argv, int count) {
    for (int i = 0; i < count; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return true;
        }
    return false;
}

// LEN(text): the number of characters (code points), not bytes.
void lenFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (answeredNull(ctx, argv, 1)) return;
    std::int64_t count = 0;
    for (unsigned char c : textOf(argv[0]))
        if ((c & 0xC0) != 0x80) ++count;
    sqlite3_result_int64(ctx, count);
}

// X LIKE Y calls like(Y, X): the dialect's wildcards "*" and "?", case ignored. The compiled pattern is kept
// with the statement so that a scan compiles it once.
void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (answeredNull(ctx, argv, 2)) return;
    if (auto* kept = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0))) {
        sqlite3_result_int(ctx, kept->matches(textOf(argv[1])));
        return;
    }
    auto* pattern = new LikePattern(textOf(argv[0]));
    const bool matches = pattern->matches(textOf(argv[1]));
    // SQLite may decline to keep the pattern, and then frees it at once.
    sqlite3_set_auxdata(ctx, 0, pattern, [](void* d) { delete static_cast<LikePattern*>(d); });
    sqlite3_result_int(ctx, matches);
}

// SortString(text): the characters of the case-folded text in descending order of code points; UniqueChars(text):
// each character once, in the order it first comes, "*" left out. These are the letter keys the program stores
// (Sorted, and Letters made from it), so that one statement can write them into every row, here and in the
// stock sqlite3 tool alike.
void sortStringFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (answeredNull(ctx, argv, 1)) return;
    const std::string_view text = textOf(argv[0]);
    std::u32string points;
    points.reserve(text.size());
    for (size_t i = 0; i < text.size();) points.push_back(FoldCase(DecodeUtf8(text, i)));
    std::sort(points.begin(), points.end(), std::greater<>());
    std::string key;
    key.reserve(text.size() + 4);
    for (const char32_t c : points) AppendUtf8(key, c);
    sqlite3_result_text(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

void uniqueCharsFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (answeredNull(ctx, argv, 1)) return;
    const std::string_view text = textOf(argv[0]);
    std::u32string seen;
    std::string key;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = DecodeUtf8(text, i);
        if (c == U'*' || seen.find(c) != std::u32string::npos) continue;
        seen.push_back(c);
        AppendUtf8(key, c);
    }
    sqlite3_result_text(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

int collate(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return CompareWords({static_cast<const char*>(a), static_cast<size_t>(lengthA)},
                        {static_cast<const char*>(b), static_cast<size_t>(lengthB)});
}

}  // namespace

int RegisterWordFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (int rc = sqlite3_create_collation_v2(db, kCollationName, SQLITE_UTF8, nullptr, collate, nullptr); rc) return rc;
    if (int rc = sqlite3_create_function(db, "LEN", 1, flags, nullptr, lenFunction, nullptr, nullptr); rc) return rc;
    if (int rc = sqlite3_create_function(db, "SortString", 1, flags, nullptr, sortStringFunction, nullptr, nullptr); rc)
        return rc;
    if (int rc = sqlite3_create_function(db, "UniqueChars", 1, flags, nullptr, uniqueCharsFunction, nullptr, nullptr);
        rc)
        return rc;
    return sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
}

}  // namespace lexivo
