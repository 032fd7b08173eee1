#pragma once

// The search modes and what sets each one apart, in one table: the window's mode buttons, the command line's
// search commands and every rule that differs by mode read their row. A new mode is a new row, and for the
// window a place for its button in the search panel.

#include <QString>
#include <optional>

namespace lexivo {

// The search modes. Rack and Phrase are the word games (word_games.h): the words a rack of tiles can lay, and
// phrases of several words. Wordle and Pattern (wordle.h, pattern.h) filter the words by a game's feedback and
// by the pattern language. Add and Delete look one word up to change the database.
enum class SearchMode { Anagram, Synogram, Palindrome, Mask, Add, Delete, Letters, Rack, Phrase, Wordle, Pattern };

// What a search's two length limits bound.
enum class LengthLimits {
    // The words have the input's length where the input fixes one (wordLength): the window sets both lists to
    // it and locks them. Where the input leaves it open, the limits bound each word listed.
    Input,
    Words,    // the characters of each word listed
    Letters,  // the letters of each word a rack lays or a phrase holds (other characters do not count)
    None,     // the input gives the length: Wordle's words are as long as the guesses
};

// The length of every word an input can match; none where the input leaves it open.
std::optional<int> InputCharacters(const QString& input);
std::optional<int> MaskWordLength(const QString& mask);  // open after a "*"
std::optional<int> PatternWordLength(const QString& pattern);

struct SearchModeRow {
    SearchMode mode;
    int button;           // the index of its button Opt_Search in the window; kNoButton for a mode without one
    const char* command;  // the lexivo-cli command
    const char* operand;  // the command line's name of the input; nullptr: the mode takes no input
    LengthLimits lengths;
    std::optional<int> (*wordLength)(const QString& input) = nullptr;  // LengthLimits::Input only
    // False for Add and Delete: the word looked up is added or deleted.
    bool listsWords = true;
    bool lengthOrder = true;       // the order by length can differ from the mode's own (one length: it cannot)
    bool comparesLetters = false;  // letters can be compared by their base letters (ignore accents)
    bool ranks = false;            // the best next guess first (Wordle's ranking by information)
    bool phraseWords = false;      // takes the most words of a phrase
    bool inputIsRack = false;      // the input is tiles: a word scores its best laying from them
    bool inputRunsOn = false;      // every further argument of the command line is more input (the guesses)
    const char* summary = "";      // the command's line in the command line's usage
    const char* description = "";  // the command's own help

    constexpr bool takesInput() const { return operand != nullptr; }
};

inline constexpr int kNoButton = -1;

// In the order the command line's usage lists them.
inline constexpr SearchModeRow kSearchModes[] = {
    {.mode = SearchMode::Anagram,
     .button = 0,
     .command = "anagram",
     .operand = "TEXT",
     .lengths = LengthLimits::Input,
     .wordLength = InputCharacters,
     .lengthOrder = false,
     .comparesLetters = true,
     .summary = "words made of exactly the letters of TEXT",
     .description = "Lists the words made of exactly the characters of TEXT, each as often as in TEXT."},
    {.mode = SearchMode::Synogram,
     .button = 1,
     .command = "synogram",
     .operand = "TEXT",
     .lengths = LengthLimits::Words,
     .comparesLetters = true,
     .summary = "words made of the distinct letters of TEXT, each any number of times",
     .description = "Lists the words made of exactly the distinct characters of TEXT, each used any number of times."},
    {.mode = SearchMode::Letters,
     .button = 6,
     .command = "letters",
     .operand = "TEXT",
     .lengths = LengthLimits::Words,
     .comparesLetters = true,
     .summary = "words that contain every letter of TEXT",
     .description = "Lists the words that contain every character of TEXT at least once, and possibly others."},
    {.mode = SearchMode::Mask,
     .button = 3,
     .command = "mask",
     .operand = "TEXT",
     .lengths = LengthLimits::Input,
     .wordLength = MaskWordLength,
     .comparesLetters = true,
     .summary = "words that fit a mask such as c??e, c@@k, c##k, c*",
     .description =
         "Lists the words that fit the mask TEXT: \"?\" stands for any one character, \"@\" for a vowel (aeiou),\n"
         "\"#\" for a consonant (the other letters a to z), \"*\" for any run of characters; every other\n"
         "character stands for itself, letter case ignored. Quote the mask, so that the shell leaves it alone."},
    {.mode = SearchMode::Wordle,
     .button = 9,
     .command = "wordle",
     .operand = "GUESS:MARKS...",
     .lengths = LengthLimits::None,
     .lengthOrder = false,
     .comparesLetters = true,
     .ranks = true,
     .inputRunsOn = true,
     .summary = "words that fit Wordle feedback, such as crane:..y.g sloth:..y..",
     .description =
         "Lists the words that fit every guess: each GUESS:MARKS has one mark per letter, \"g\" or \"2\" green,\n"
         "\"y\" or \"1\" yellow, and \".\", \"-\", \"x\" or \"0\" grey; letters and marks in any case. Guesses are\n"
         "separated by blanks, commas or line breaks. A letter's green and yellow marks say how often the answer\n"
         "holds it at least, and exactly that often when the guess also has a grey mark on it. Only words of letters\n"
         "alone, as long as the guesses, are listed; with --rank info the best next guess comes first.\n"
         "Example: lexivo-cli wordle crane:..y.g sloth:..y.."},
    {.mode = SearchMode::Pattern,
     .button = 10,
     .command = "pattern",
     .operand = "PATTERN",
     .lengths = LengthLimits::Input,
     .wordLength = PatternWordLength,
     .comparesLetters = true,
     .summary = "words that fit a pattern: c??e, [sz], ??1221, c<ra?e>, (3,5), /regex",
     .description =
         "Lists the words that fit PATTERN: \"?\", \"@\", \"#\" and \"*\" as in the mask (\"*\" as often as wanted);\n"
         "[abc], [a-f], [^abc] or [!abc] one character of a set or not of it; the digits 1 to 9 letter variables\n"
         "(one digit is one letter, two digits two different letters: ??1221 finds career and grotto); <ra?e> the\n"
         "letters r, a, e and one more in any order; \\ takes the next character as itself; a trailing (3,5) or\n"
         "(5-4) only entries whose parts, split at blanks or underscores (\",\") or hyphens (\"-\"), have those\n"
         "letter counts. A PATTERN that begins with \"/\" is a Perl-style regular expression over the whole word,\n"
         "letter case ignored: '/(.)(.)(.)\\3\\2\\1' finds redder. Quote PATTERN for the shell."},
    {.mode = SearchMode::Palindrome,
     .button = 2,
     .command = "palindromes",
     .operand = nullptr,
     .lengths = LengthLimits::Words,
     .summary = "words whose reversal is also a word",
     .description = "Lists the words whose reversal is also a word of the database (level; stop and pots)."},
    {.mode = SearchMode::Rack,
     .button = 7,
     .command = "rack",
     .operand = "TILES",
     .lengths = LengthLimits::Letters,
     .lengthOrder = false,
     .comparesLetters = true,
     .inputIsRack = true,
     .summary = "words that can be laid from TILES; a ? is a blank tile",
     .description =
         "Lists the words that can be laid from the tiles TILES: each letter of TILES is a tile of that letter, and\n"
         "each \"?\" a blank tile that stands for any one letter; other characters are passed over. A word can be\n"
         "laid when each of its letters gets a tile of its own; its other characters (apostrophes, hyphens, blanks,\n"
         "digits) need none, and letter case never matters. Longest first, then in word order. Quote TILES when it\n"
         "holds a \"?\", so that the shell leaves it alone. Example: lexivo-cli rack 'retains?"
         "?'"},
    {.mode = SearchMode::Phrase,
     .button = 8,
     .command = "phrase",
     .operand = "TEXT",
     .lengths = LengthLimits::Letters,
     .lengthOrder = false,
     .comparesLetters = true,
     .phraseWords = true,
     .summary = "phrases of up to 3 words that use exactly the letters of TEXT",
     .description =
         "Lists every way to spell exactly the letters of TEXT with one to N words of the database (--words, 3 by\n"
         "default); other characters of TEXT and of the words are passed over, letter case never matters, and a\n"
         "word may come twice. Each set of words is listed once: its words longest first, then in word order.\n"
         "Phrases of fewer words come first. A long phrase can have millions of results: they are printed as they\n"
         "are found, and Ctrl-C stops the run, keeping what was printed. Example: lexivo-cli phrase dormitory --min 3"},
    {.mode = SearchMode::Add,
     .button = 4,
     .command = "add",
     .operand = "WORD",
     .lengths = LengthLimits::Input,
     .wordLength = InputCharacters,
     .listsWords = false,
     .summary = "add a word that is not in the database yet, with its keys",
     .description =
         "Adds WORD, exactly as given, with its letter keys, unless the database holds it already (letter case\n"
         "ignored)."},
    {.mode = SearchMode::Delete,
     .button = 5,
     .command = "delete",
     .operand = "WORD",
     .lengths = LengthLimits::Input,
     .wordLength = InputCharacters,
     .listsWords = false,
     .summary = "delete every row equal to WORD (letter case ignored)",
     .description = "Deletes every row whose word equals WORD, letter case ignored."},
};

// The row of a mode; every mode has one.
constexpr const SearchModeRow& SearchModeRowOf(SearchMode mode) {
    for (const SearchModeRow& row : kSearchModes)
        if (row.mode == mode) return row;
    return kSearchModes[0];  // not reached: search_modes.cpp checks that every mode has its row
}

// The button index of a mode (kNoButton for none), and the number of mode buttons the window has.
constexpr int ButtonOf(SearchMode mode) {
    return SearchModeRowOf(mode).button;
}
constexpr int ModeButtonCount() {
    int count = 0;
    for (const SearchModeRow& row : kSearchModes) count += row.button != kNoButton;
    return count;
}

// The row of a button index; nullptr for one that names no mode (no button selected).
const SearchModeRow* SearchModeRowOfButton(int buttonIndex);

// The mode of an Opt_Search index; none for an index that names no mode (no button selected).
std::optional<SearchMode> SearchModeOfButton(int buttonIndex);

}  // namespace lexivo
