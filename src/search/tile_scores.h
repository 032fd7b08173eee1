#pragma once

// What a word scores in a tile game: the sum of its letters' tile values. Standard English values are built in;
// a file of "letter value" lines replaces them for another language. Letters are case folded; a letter the
// table lacks counts as its base letter (é as e); a letter with no value at all makes the score unknown.

#include <QString>
#include <optional>
#include <unordered_map>
#include <vector>

#include "search/search_run.h"
#include "store/engine.h"

namespace lexivo {

struct LetterRack;

// How an unknown score is shown; it sorts after every known one.
inline const QString kUnknownScore = QStringLiteral("\u2013");
QString ScoreText(std::optional<int> score);

class TileValues {
public:
    // The standard English values.
    TileValues();
    // The values of a file of "letter value" lines (blank lines and lines starting with "#" are passed over).
    // Throws Error naming the line and the reason for a line that is not a letter and a whole number.
    static TileValues fromFile(const QString& path);
    static TileValues fromText(const QString& text, const QString& source);

    std::optional<int> letterValue(char32_t c) const;
    std::optional<int> wordScore(const QString& word) const;
    // The best laying of word from rack's tiles: each letter from a tile of its own where the rack has one, a
    // blank (worth nothing) only for the letters the rack lacks. Characters that are not letters need no tile. A
    // rack read as base letters lays each letter from tiles of its base letters (é from an e, worth an e).
    std::optional<int> rackScore(const QString& word, const LetterRack& rack) const;

private:
    std::unordered_map<char32_t, int> values_;
};

// The file of tile values a user keeps for the window and the command line ("tile-values.txt" in the
// program's configuration folder), and the values a search uses: those of path when given, else of the
// user's file where there is one, else the English values. Throws Error.
QString UserTileValuesFile();
TileValues LoadTileValues(const QString& path = QString());

// The score options of a search: shown beside each word, the words by score, or only those scoring enough.
struct ScoreOptions {
    bool show = false;
    bool sortByScore = false;
    std::optional<int> minimum;
    bool active() const { return show || sortByScore || minimum.has_value(); }
};

// A WordSink in front of another that scores each word (in a rack search, its best laying from the rack),
// passes over those below the minimum, and either passes the rest on at once or, for the score order, holds
// them until finish(): highest first, then in the order they came, unknown scores last.
class ScoringSink : public WordSink {
public:
    ScoringSink(WordSink& out, const TileValues& values, const ScoreOptions& options, const LetterRack* rack);
    void add(const QString& word) override;
    void flush() override;
    void release(std::unique_ptr<Cursor> cursor) override { out_.release(std::move(cursor)); }
    // Passes on the words held for the score order; returns the number of words passed on in all.
    qint64 finish();

private:
    std::optional<int> scoreOf(const QString& word) const;
    void pass(const QString& word, std::optional<int> score);

    WordSink& out_;
    const TileValues& values_;
    ScoreOptions options_;
    const LetterRack* rack_;
    std::vector<std::pair<QString, std::optional<int>>> held_;
    qint64 passed_ = 0;
};

}  // namespace lexivo
