#include "search/search_modes.h"

#include <iterator>
#include <string_view>

#include "search/pattern.h"
#include "store/keys.h"

namespace lexivo {

namespace {

constexpr int kModeCount = static_cast<int>(SearchMode::Pattern) + 1;

// Every mode has exactly one row; the look-ups by button and by command find at most one.
constexpr bool everyModeOnce() {
    for (int m = 0; m < kModeCount; ++m) {
        int rows = 0;
        for (const SearchModeRow& row : kSearchModes) rows += row.mode == static_cast<SearchMode>(m);
        if (rows != 1) return false;
    }
    return std::size(kSearchModes) == kModeCount;
}

constexpr bool buttonsAndCommandsDistinct() {
    for (const SearchModeRow& a : kSearchModes) {
        if (a.button != kNoButton && (a.button < 0 || a.button >= ModeButtonCount())) return false;
        for (const SearchModeRow& b : kSearchModes) {
            if (&a == &b) continue;
            if (a.button != kNoButton && a.button == b.button) return false;
            if (std::string_view(a.command) == std::string_view(b.command)) return false;
        }
    }
    return true;
}

static_assert(everyModeOnce());
static_assert(buttonsAndCommandsDistinct());

}  // namespace

std::optional<int> InputCharacters(const QString& input) {
    // Characters, not UTF-16 units: a word of 6 letters outside the basic plane is still 6 letters.
    return CharacterCount(input);
}

std::optional<int> MaskWordLength(const QString& mask) {
    if (mask.contains(u'*')) return std::nullopt;
    return CharacterCount(mask);
}

std::optional<int> PatternWordLength(const QString& pattern) {
    // A "*", an enumeration or an expression leaves the length open, as does a pattern that does not parse.
    const PatternParse parse = CompilePattern(pattern, false);
    return parse.pattern ? parse.pattern->fixedLength() : std::nullopt;
}

const SearchModeRow* SearchModeRowOfButton(int buttonIndex) {
    if (buttonIndex == kNoButton) return nullptr;
    for (const SearchModeRow& row : kSearchModes)
        if (row.button == buttonIndex) return &row;
    return nullptr;
}

std::optional<SearchMode> SearchModeOfButton(int buttonIndex) {
    const SearchModeRow* row = SearchModeRowOfButton(buttonIndex);
    return row ? std::optional<SearchMode>(row->mode) : std::nullopt;
}

}  // namespace lexivo
