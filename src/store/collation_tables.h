#pragma once

// The tables of the word order, made from the Unicode Character Database by scripts/make_collation_tables.py.

#include <cstddef>
#include <cstdint>

namespace lexivo::collation {

// Simple case folding: from folds to to; sorted by from.
struct FoldEntry {
    char32_t from;
    char32_t to;
};

// The base letters of a folded character: length code points of kBasePool from offset (none for a combining
// mark); sorted by code. A character without an entry is its own base letter.
struct BaseEntry {
    char32_t code;
    std::uint16_t offset;
    std::uint8_t length;
};

extern const char kUnicodeVersion[];
extern const FoldEntry kFold[];
extern const size_t kFoldSize;
extern const BaseEntry kBase[];
extern const size_t kBaseSize;
extern const char32_t kBasePool[];

}  // namespace lexivo::collation
