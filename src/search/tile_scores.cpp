#include "search/tile_scores.h"

#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <map>

#include "search/letter_fold.h"
#include "search/word_games.h"
#include "store/collation.h"
#include "store/error.h"

namespace lexivo {

namespace {

// The letter a character is written with when its accents are taken away (é: e, Å: a); itself when it has none.
char32_t baseLetter(char32_t c) {
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    if (decomposed.isEmpty()) return c;
    const char32_t first = decomposed.toUcs4().front();
    return first == c ? c : FoldCase(first);
}

// The folded letters of word with how often each comes.
// The letters of a word, case folded, and how often each comes; with baseLetters each as its base letters (the
// tiles that lay it while accents are ignored: é from an e).
std::map<char32_t, int> letterCounts(const QString& word, bool baseLetters = false) {
    std::map<char32_t, int> counts;
    std::u32string forms;
    for (const char32_t c : word.toUcs4()) {
        forms.clear();
        AppendGameLetters(c, baseLetters, forms);
        for (const char32_t letter : forms) ++counts[letter];
    }
    return counts;
}

}  // namespace

QString ScoreText(std::optional<int> score) {
    return score ? QString::number(*score) : kUnknownScore;
}

TileValues::TileValues() {
    const std::pair<const char*, int> standard[] = {{"aeioulnstr", 1}, {"dg", 2}, {"bcmp", 3},
                                                    {"fhvwy", 4},      {"k", 5},  {"jx", 8}, {"qz", 10}};
    for (const auto& [letters, value] : standard)
        for (const char* p = letters; *p; ++p) values_[static_cast<char32_t>(*p)] = value;
}

TileValues TileValues::fromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The tile values %1 cannot be read: %2").arg(path, file.errorString()));
    return fromText(QString::fromUtf8(file.readAll()), path);
}

TileValues TileValues::fromText(const QString& text, const QString& source) {
    TileValues table;
    table.values_.clear();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        auto fail = [&](const QString& reason) {
            throw Error(QStringLiteral("%1, line %2: %3").arg(source).arg(n + 1).arg(reason));
        };
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() != 2) fail(QStringLiteral("expected a letter, a blank and its value"));
        const QList<uint> letter = parts[0].toUcs4();
        if (letter.size() != 1 || !IsGameLetter(letter[0])) fail(QStringLiteral("\"%1\" is not one letter").arg(parts[0]));
        bool ok = false;
        const int value = parts[1].toInt(&ok);
        if (!ok || value < 0 || value > 1000)
            fail(QStringLiteral("\"%1\" is not a whole number from 0 to 1000").arg(parts[1]));
        if (!table.values_.emplace(FoldCase(letter[0]), value).second)
            fail(QStringLiteral("the letter %1 has a value already").arg(parts[0]));
    }
    return table;
}

std::optional<int> TileValues::letterValue(char32_t c) const {
    const char32_t folded = FoldCase(c);
    if (const auto it = values_.find(folded); it != values_.end()) return it->second;
    if (const auto it = values_.find(baseLetter(folded)); it != values_.end()) return it->second;
    return std::nullopt;
}

std::optional<int> TileValues::wordScore(const QString& word) const {
    int score = 0;
    for (const auto& [letter, count] : letterCounts(word)) {
        const auto value = letterValue(letter);
        if (!value) return std::nullopt;
        score += *value * count;
    }
    return score;
}

std::optional<int> TileValues::rackScore(const QString& word, const LetterRack& rack) const {
    int score = 0;
    for (const auto& [letter, count] : letterCounts(word, rack.baseLetters)) {
        int tiles = 0;
        for (const auto& [rackLetter, rackCount] : rack.letters)
            if (rackLetter == letter) tiles = rackCount;
        // A tile of the letter scores its value and a blank nothing: the rack's own tiles go first.
        const int laid = std::min(count, tiles);
        if (laid == 0) continue;
        const auto value = letterValue(letter);
        if (!value) return std::nullopt;
        score += *value * laid;
    }
    return score;
}

QString UserTileValuesFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Lexivo/tile-values.txt");
}

TileValues LoadTileValues(const QString& path) {
    if (!path.isEmpty()) return TileValues::fromFile(path);
    const QString user = UserTileValuesFile();
    return QFile::exists(user) ? TileValues::fromFile(user) : TileValues();
}

ScoringSink::ScoringSink(WordSink& out, const TileValues& values, const ScoreOptions& options,
                         const LetterRack* rack)
    : out_(out), values_(values), options_(options), rack_(rack) {}

std::optional<int> ScoringSink::scoreOf(const QString& word) const {
    return rack_ ? values_.rackScore(word, *rack_) : values_.wordScore(word);
}

void ScoringSink::pass(const QString& word, std::optional<int> score) {
    ++passed_;
    out_.add(options_.show ? word + QLatin1Char('\t') + ScoreText(score) : word);
}

void ScoringSink::add(const QString& word) {
    const std::optional<int> score = scoreOf(word);
    if (options_.minimum && (!score || *score < *options_.minimum)) return;
    if (options_.sortByScore)
        held_.emplace_back(word, score);
    else
        pass(word, score);
}

void ScoringSink::flush() {
    if (!options_.sortByScore) out_.flush();
}

qint64 ScoringSink::finish() {
    std::stable_sort(held_.begin(), held_.end(), [](const auto& a, const auto& b) {
        // Known before unknown, higher before lower; the usual order otherwise.
        if (a.second.has_value() != b.second.has_value()) return a.second.has_value();
        return a.second && *a.second > *b.second;
    });
    for (const auto& [word, score] : held_) pass(word, score);
    held_.clear();
    out_.flush();
    return passed_;
}

}  // namespace lexivo
