// Levels from SCOWL's lists, tile scores and meanings from WordNet, on small files made here.

#include <gtest/gtest.h>

#include <QtCore>
#include <map>
#include <random>

#include "lexicon/word_levels.h"
#include "lexicon/wordnet.h"
#include "search/search_run.h"
#include "search/tile_scores.h"
#include "search/word_games.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "support/fake_run.h"
#include "support/reference.h"
#include "support/run_search.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::FakeRun;
const QString kScowl = QStringLiteral(LEXIVO_SOURCE_DIR "/tests/fixtures/scowl");
const QStringList kWords = {"attempt", "CAFÉ", "CHISEL", "brave", "honor", "colour", "ZÜRICH", "can't", "wirrah",
                            "honour",  "tea",  "eat",    "ate",   "tae"};

class Lexicon : public ::testing::Test {
protected:
    QTemporaryDir dir;
    DatabaseState state;
    void SetUp() override {
        test::CreateWordDatabase(dir.filePath("w.db"), kWords);
        test::OpenWordDatabase(state, dir.filePath("w.db"));
    }
    Connection& db() { return state.CurrentDatabase; }
    std::map<QString, int> levels() {
        std::map<QString, int> found;
        for (const QString& word : kWords)
            if (const auto level = WordLevel(db(), word)) found[word] = *level;
        return found;
    }
    QStringList search(SearchMode mode, const QString& input, std::optional<int> maxLevel) {
        SearchRequest request;
        request.mode = mode;
        request.input = input;
        request.maxLevel = maxLevel;
        return test::RunRequestForTest(db(), request);
    }
};

TEST_F(Lexicon, EachWordGetsTheLowestLevelOfTheSharedAndTheChosenSpellingsLists) {
    FakeRun run;
    run.beginRun({});
    for (const QString& spelling : {QStringLiteral("american"), QStringLiteral("british")}) {
        const auto read = ReadScowl(kScowl, spelling, run);
        ASSERT_TRUE(read);
        EXPECT_EQ(StoreWordLevels(db(), *read, run), 7);
        std::map<QString, int> expected = {{"attempt", 10}, {"CAFÉ", 10}, {"CHISEL", 35},
                                           {"ZÜRICH", 50},  {"can't", 70}, {"brave", spelling == "american" ? 20 : 95}};
        expected[spelling == "american" ? "honor" : "colour"] = spelling == "american" ? 20 : 10;
        EXPECT_EQ(levels(), expected) << spelling.toStdString();
    }
}

TEST_F(Lexicon, AFolderWithoutListsOrAStopLeavesTheDatabaseAsItWas) {
    FakeRun run;
    run.beginRun({});
    EXPECT_THROW(ReadScowl(dir.path(), "american", run), Error);
    const auto read = ReadScowl(kScowl, "american", run);
    run.stopAtRecord = 3;
    run.beginRun({});
    EXPECT_FALSE(StoreWordLevels(db(), *read, run));
    EXPECT_TRUE(levels().empty());
}

// With a level limit every mode lists what it lists on a database of only the words within the limit.
TEST_F(Lexicon, ALevelLimitListsWhatADatabaseOfTheCommonWordsLists) {
    std::mt19937 random(test::TrialSeed(22));
    const QStringList words = test::RandomWords(random, 300, 5);
    test::CreateWordDatabase(dir.filePath("all.db"), words);
    test::OpenWordDatabase(state, dir.filePath("all.db"));
    db().execute("UPDATE [Dictionary] SET [Level]=abs(random()) % 100 WHERE random() % 5 <> 0");
    QStringList common;
    db().forEachText("SELECT [Word] FROM [Dictionary] WHERE [Level]<=50", [&](QByteArrayView word) {
        common << QString::fromUtf8(word);
        return true;
    });
    DatabaseState commonState;
    test::CreateWordDatabase(dir.filePath("common.db"), common);
    test::OpenWordDatabase(commonState, dir.filePath("common.db"));
    for (int trial = 0; trial < 40; ++trial) {
        const auto mode = static_cast<SearchMode>(trial % 9);
        if (mode == SearchMode::Add || mode == SearchMode::Delete || mode == SearchMode::Palindrome) continue;
        const QString input = mode == SearchMode::Mask ? "*" + words[trial].left(1) + "*" : words[trial];
        const QStringList limited = search(mode, input, 50);
        std::swap(state.CurrentDatabase, commonState.CurrentDatabase);
        EXPECT_EQ(limited, search(mode, input, std::nullopt)) << test::Describe(trial, input);
        std::swap(state.CurrentDatabase, commonState.CurrentDatabase);
    }
}

TEST(TileScores, BuiltInValuesAndAUserFile) {
    const TileValues english;
    for (const auto& [word, score] : std::map<QString, int>{
             {"quiz", 22}, {"jazz", 29}, {"zyzzyva", 43}, {"café", 9}, {"o'clock", 14}, {"QUIZ", 22}})
        EXPECT_EQ(english.wordScore(word), score) << word.toStdString();
    EXPECT_EQ(english.wordScore("αβ"), std::nullopt);
    const TileValues greek = TileValues::fromText("# Greek\nΑ 1\nβ 8\n", "greek");
    EXPECT_EQ(greek.wordScore("άβ"), 9);
    EXPECT_EQ(greek.wordScore("ab"), std::nullopt);
}

int bruteForceLaying(const std::u32string& word, size_t at, std::map<char32_t, int>& tiles, int blanks,
                     const TileValues& values) {
    if (at == word.size()) return 0;
    int best = -1;
    if (tiles[word[at]] > 0) {
        --tiles[word[at]];
        const int rest = bruteForceLaying(word, at + 1, tiles, blanks, values);
        if (rest >= 0) best = rest + *values.letterValue(word[at]);
        ++tiles[word[at]];
    }
    if (blanks > 0) best = std::max(best, bruteForceLaying(word, at + 1, tiles, blanks - 1, values));
    return best;
}

TEST(TileScores, ARackWordScoresItsBestLaying) {
    std::mt19937 random(test::TrialSeed(7));
    const QString letters = "aabeéiknoqrstuz";
    QStringList words;
    for (int i = 0; i < 400; ++i) {
        QString word;
        for (int n = 2 + static_cast<int>(random() % 5); n > 0; --n) word += letters[random() % letters.size()];
        words << word;
    }
    const WordSnapshot snapshot(words), accentBlind(words, nullptr, true);
    const TileValues english;
    for (int trial = 0; trial < 30; ++trial) {
        // The second half ignores accents: an é is laid from an e tile and scores as one.
        const bool blind = trial >= 15;
        const auto asLaid = [blind](QString text) { return blind ? text.replace("é", "e") : text; };
        QString rack;
        for (int n = 0; n < 7; ++n) rack += random() % 4 == 0 ? QChar('?') : letters[random() % letters.size()];
        QStringList lines;
        CallbackSink out([&](const QString& line) { lines << line; });
        const LetterRack tiles(rack, true, blind);
        ScoringSink scored(out, english, {true, trial % 2 == 1, std::nullopt}, &tiles);
        FakeRun run;
        run.beginRun({});
        ListRackWords(blind ? accentBlind : snapshot, rack, 0, 0, run, scored);
        scored.finish();
        EXPECT_FALSE(lines.isEmpty()) << test::Describe(rack);
        for (const QString& line : lines) {
            const QStringList parts = line.split('\t');
            std::map<char32_t, int> counts;
            for (const char32_t c : asLaid(rack).toUcs4()) ++counts[c];
            const auto word = asLaid(parts[0]).toStdU32String();
            EXPECT_EQ(parts[1].toInt(), bruteForceLaying(word, 0, counts, counts[U'?'], english))
                << test::Describe(rack, line);
        }
    }
}

class SmallWordNet : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override { test::WriteSmallWordNet(dir.path()); }
};

TEST_F(SmallWordNet, BaseFormsFollowTheMorphologyTable) {
    const WordNet wordnet(dir.path());
    // Each "word>base" of the part of speech ("word>": none).
    const std::pair<PartOfSpeech, const char*> cases[] = {
        {PartOfSpeech::Noun,
         "cats>cat boxes>box classes>class churches>church women>woman ladies>lady geese>goose buses>buse Cat>cat "
         "runs>run classs>"},
        {PartOfSpeech::Verb, "ran>run runs>run tries>try makes>make hoped>hope walked>walk making>make walking>walk"},
        {PartOfSpeech::Adjective, "larger>large fastest>fast nicest>nice"},
        {PartOfSpeech::Adverb, "fastest>"}};
    for (const auto& [pos, list] : cases)
        for (const QString& item : QString(list).split(' ')) {
            const QString base = item.section('>', 1);
            EXPECT_EQ(wordnet.baseForms(item.section('>', 0, 0), pos),
                      base.isEmpty() ? QStringList() : QStringList{base})
                << item.toStdString();
        }
}

TEST_F(SmallWordNet, MeaningsBySenseAndDamagedFilesSayWhatIsWrong) {
    const WordNet wordnet(dir.path());
    const auto meanings = wordnet.define("cats");
    ASSERT_EQ(meanings.size(), 1U);
    EXPECT_EQ(MeaningHeading("cats", meanings[0]), "cats \u2192 cat, noun");
    ASSERT_EQ(meanings[0].senses.size(), 2U);
    EXPECT_EQ(meanings[0].senses[1].gloss, "a whip");
    EXPECT_EQ(wordnet.define("galore").at(0).senses[0].synonyms, QStringList{"galore"});
    EXPECT_EQ(wordnet.define("fast", PartOfSpeech::Adverb).size(), 1U);
    QList<QByteArray> lines = test::ReadFile(dir.filePath("index.verb")).split('\n');
    for (QByteArray& line : lines) {
        if (line.startsWith("walk ")) line = "walk v 2 1 @ 2 0 99999999 1";
        if (line.startsWith("try ")) line.replace(" 0000", " 1000");
    }
    test::WriteFile(dir.filePath("index.verb"), lines.join('\n'));
    const QByteArray data = test::ReadFile(dir.filePath("data.verb"));
    test::WriteFile(dir.filePath("data.verb"), data.left(data.size() - 3));
    const WordNet damaged(dir.path());
    EXPECT_EQ(damaged.define("run", PartOfSpeech::Verb).at(0).senses.at(0).gloss, "move fast");
    for (const char* word : {"go", "walk", "try"}) {
        const auto damagedMeanings = damaged.define(word, PartOfSpeech::Verb);  // kept: the loop reads into it
        for (const Sense& s : damagedMeanings.at(0).senses)
            EXPECT_TRUE(s.gloss.contains("is damaged")) << s.gloss.toStdString();
    }
    EXPECT_THROW(WordNet(dir.filePath("none")), Error);
}

}  // namespace
}  // namespace lexivo
