#include "search/search_run.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "search/search_query.h"
#include "store/engine.h"
#include "store/word_editing.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::CreateWordDatabase;
using test::FakeRun;
using test::OpenWordDatabase;
using test::ScriptedDialogs;
using test::StoredKeys;
using test::StoredWords;

class SearchRunTest : public ::testing::Test {
protected:
    void load(const QStringList& words) {
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath("words.mdb");
        CreateWordDatabase(path, words);
        OpenWordDatabase(state, path);
    }
    // Runs one mode as the driver would: inside a run and a transaction, committed at the end.
    QStringList search(std::optional<SearchMode> mode, const QString& input, std::optional<int> length = {},
                       bool sortByLength = false) {
        QStringList words;
        CallbackSink sink([&words](const QString& word) { words << word; });
        run.beginRun(kStartingSearch);
        const qint64 listed = RunSearchRequest(db(), {mode, input, length, length, sortByLength}, run, dialogs, sink);
        run.endRun();
        EXPECT_EQ(listed, words.size());
        return words;
    }
    Connection& db() { return state.CurrentDatabase; }

    QTemporaryDir dir;
    DatabaseState state;
    FakeRun run;
    ScriptedDialogs dialogs;
};

// Ate's key teA has its capital where tea has a; Eta's key taE does not. Ball's key is llaB: its capital stands
// where the input ball's key has a small b (llba). A "*" is an ordinary character in an anagram but dropped
// from the Letters key.
TEST_F(SearchRunTest, LetterModes) {
    load({"tea", "eat", "Ate", "teas", "tee", "Ball", "Eta", "ab*", "a*b", "ab", "ba", "abba", "aab", "eel", "tan",
          "bee"});
    const struct {
        SearchMode mode;
        const char* input;
        QStringList words;
    } cases[] = {{SearchMode::Anagram, "tea", {"Ate", "eat", "tea"}},
                 {SearchMode::Anagram, "TEA", {"Ate", "eat", "tea"}},
                 {SearchMode::Anagram, "ball", {}},
                 {SearchMode::Anagram, "*ab", {"a*b", "ab*"}},
                 {SearchMode::Synogram, "aab", {"a*b", "aab", "ab", "ab*", "abba", "ba"}},
                 {SearchMode::Synogram, "AB", {"a*b", "aab", "ab", "ab*", "abba", "ba"}},
                 {SearchMode::Synogram, "a*b", {"a*b", "aab", "ab", "ab*", "abba", "ba"}},
                 {SearchMode::Letters, "ee", {"Ate", "bee", "eat", "eel", "Eta", "tea", "teas", "tee"}},
                 {SearchMode::Letters, "t*a", {"Ate", "eat", "Eta", "tan", "tea", "teas"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.mode)) + " " + c.input);
        EXPECT_EQ(search(c.mode, c.input), c.words);
    }
}

TEST_F(SearchRunTest, LengthLimitAndSortOrder) {
    load({"bead", "bad", "abed", "bade", "beady", "ab"});
    EXPECT_EQ(search(SearchMode::Letters, "ab", std::nullopt, true),
              (QStringList{"ab", "bad", "abed", "bade", "bead", "beady"}));
    EXPECT_EQ(search(SearchMode::Letters, "ab", 4), (QStringList{"abed", "bade", "bead"}));
    // The progress bar ends full: its maximum and value are the number of rows.
    EXPECT_EQ(run.maximum, 3);
    EXPECT_EQ(run.value, 3);
}

TEST_F(SearchRunTest, MasksMatchInTheDatabaseAndTestPlaceholdersPerRow) {
    load({"cake", "cone", "cask", "cork", "Cook", "make", "ease", "apple", "cafe", "cat", "ca", "cyst", "crypt"});
    const std::pair<const char*, QStringList> cases[] = {{"c??e", {"cafe", "cake", "cone"}},
                                                         {"C@@K", {"Cook"}},
                                                         {"#a#e", {"cafe", "cake", "make"}},
                                                         {"c*@", {"ca", "cafe", "cake", "cone"}},
                                                         {"c#*", {"crypt", "cyst"}}};
    for (const auto& [mask, words] : cases) EXPECT_EQ(search(SearchMode::Mask, mask), words) << mask;
}

TEST_F(SearchRunTest, TheIndexRangeOfAMaskKeepsEveryRowTheFullScanFinds) {
    const QString kelvin = QString::fromUtf8("\xE2\x84\xAA");  // folds to k
    const QString longS = QString::fromUtf8("\xC5\xBF");       // folds to s
    const QString eacute = QString::fromUtf8("\xC3\xA9");
    QStringList words{"cook", "Cake", "CAT", "cab", "c",     "d",  "b",  "kitten", "Sun", "[ab]",
                      "a[b",  "a_b",  "a`b", "aZb", "don't", "do", "~x", "}x",     "Ete"};
    words << kelvin + "itten" << longS + "un" << eacute + "t" + eacute;
    load(words);
    QStringList masks{"c*",  "C*",  "ca?", "c",     "k*", "KITTEN", "s?n", "[*", "a?b", "a`*",
                      "a_*", "az*", "do*", "don'*", "~*", "}*",     "*",   "?",  "ET?", "#*"};
    masks << eacute + "*";
    for (const QString& mask : masks) {
        QStringList scanned;
        CallbackSink sink([&scanned](const QString& word) { scanned << word; });
        run.beginRun(kStartingSearch);
        // The pattern match put to every word, without the index range.
        const QString scan = "SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE '" + EscapeQuotes(MaskPattern(mask)) +
                             "' ORDER BY [Word]";
        ListQueryResults(db(), scan, run, sink, [&mask](const QString& word) { return MaskTest(mask).accepts(word); });
        run.endRun();
        EXPECT_EQ(search(SearchMode::Mask, mask), scanned) << mask.toStdString();
    }
    EXPECT_EQ(MaskIndexRange("C@@k"), "[Word]>='c' AND [Word]<'d'");
    EXPECT_EQ(MaskIndexRange("don'*"), "[Word]>='don''' AND [Word]<'don('");
    EXPECT_EQ(MaskIndexRange("ks*"), "[Word]>='ks' AND [Word]<'kt'");
    EXPECT_EQ(MaskIndexRange("*a"), QString());
}

TEST_F(SearchRunTest, Palindromes) {
    load({"stop", "pots", "tops", "Level", "a", "I", "radar", "abc", "noon", "on", "no"});
    EXPECT_EQ(search(SearchMode::Palindrome, ""),
              (QStringList{"a", "I", "Level", "no", "noon", "on", "pots", "radar", "stop"}));
    // Only the scan has the length limit; the reversal is looked up in the whole table.
    EXPECT_EQ(search(SearchMode::Palindrome, "ignored", 4), (QStringList{"noon", "pots", "stop"}));
    EXPECT_EQ(search(SearchMode::Palindrome, "", std::nullopt, true),
              (QStringList{"a", "I", "no", "on", "noon", "pots", "stop", "Level", "radar"}));
}

TEST_F(SearchRunTest, FindAndAddStoresTheKeysOfTheWordAsTyped) {
    load({"dog"});
    dialogs.yes().no().yes().yes();
    EXPECT_EQ(search(SearchMode::Add, "cat"), QStringList());
    EXPECT_EQ(StoredKeys(db(), "cat"), "tca|tca");
    EXPECT_EQ(search(SearchMode::Add, "Cow"), QStringList());
    EXPECT_EQ(StoredKeys(db(), "Cow"), "<missing>");
    EXPECT_EQ(search(SearchMode::Add, "Emu"), QStringList());
    EXPECT_EQ(StoredKeys(db(), "Emu"), "umE|umE");
    // The look-up ignores case: Cat is the stored cat.
    EXPECT_EQ(search(SearchMode::Add, "Cat"), QStringList());
    // The longest word the field holds is added; a longer one is refused without a question.
    const QString longest(255, QLatin1Char('x'));
    search(SearchMode::Add, longest);
    search(SearchMode::Add, QString(256, QLatin1Char('y')));
    EXPECT_EQ(dialogs.texts(), (QStringList{"Add cat", "Add Cow", "Add Emu", "Word already added!", "Add " + longest,
                                            TooLongProblem(QString(256, QLatin1Char('y')))}));
    for (const auto& shown : dialogs.shown()) EXPECT_EQ(shown.title, "Lexivo");
    EXPECT_EQ(StoredWords(db()), (QStringList{"dog", "cat", "Emu", longest}));
}

TEST_F(SearchRunTest, FindAndDeleteRemovesEveryMatchAfterOneQuestion) {
    load({"cat", "dog", "Cat", "cow"});
    dialogs.no().yes();
    search(SearchMode::Delete, "CAT");
    EXPECT_EQ(StoredWords(db()).size(), 4);
    search(SearchMode::Delete, "CAT");
    search(SearchMode::Delete, "emu");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Delete cat", "Delete cat", "Word not found!"}));
    EXPECT_EQ(StoredWords(db()), (QStringList{"dog", "cow"}));
}

TEST_F(SearchRunTest, HostileInputGivesASoundQueryInEveryMode) {
    load({"don't", "100%", "a_b", "[ab]", "it's", "o'er", "axb", "a"});
    const QString longInput(300, QLatin1Char('q'));
    EXPECT_EQ(search(SearchMode::Anagram, "t'nod"), QStringList{"don't"});
    EXPECT_EQ(search(SearchMode::Synogram, "st'i"), QStringList{"it's"});
    EXPECT_EQ(search(SearchMode::Letters, "'"), (QStringList{"don't", "it's", "o'er"}));
    EXPECT_EQ(search(SearchMode::Mask, "@'@#"), QStringList{"o'er"});
    EXPECT_EQ(search(SearchMode::Mask, "100%"), QStringList{"100%"});
    EXPECT_EQ(search(SearchMode::Mask, "a_b"), QStringList{"a_b"});
    EXPECT_EQ(search(SearchMode::Mask, "[ab]"), QStringList{"[ab]"});
    EXPECT_EQ(search(SearchMode::Mask, "'; DROP TABLE Dictionary; --"), QStringList());
    for (std::optional<SearchMode> mode :
         {std::optional(SearchMode::Anagram), std::optional(SearchMode::Synogram), std::optional(SearchMode::Letters),
          std::optional(SearchMode::Mask), std::optional<SearchMode>()})
        EXPECT_EQ(search(mode, longInput), QStringList()) << static_cast<int>(mode.value_or(SearchMode::Add));
    dialogs.yes();
    search(SearchMode::Add, "rock'n'roll");
    search(SearchMode::Delete, "x' OR '1'='1");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Add rock'n'roll", "Word not found!"}));
    EXPECT_EQ(StoredWords(db()).size(), 9);
    EXPECT_EQ(StoredKeys(db(), "rock'n'roll"), "rroonllkc''|ronlkc'");
}

TEST_F(SearchRunTest, AStopEndsTheListingAfterTheCurrentRow) {
    load({"a", "b", "c", "d", "e"});
    run.stopAtRecord = 2;
    EXPECT_EQ(search(SearchMode::Mask, "*"), (QStringList{"a", "b"}));
    EXPECT_EQ(run.maximum, 5);
    EXPECT_EQ(run.value, 2);
    // The rows after the stop are not looked at, whether they would be accepted or not.
    run.records = 0;
    run.stopAtRecord = 3;
    EXPECT_EQ(search(SearchMode::Mask, "*@"), QStringList{"a"});
}

TEST_F(SearchRunTest, AWindowSinkReceivesEveryWordByTheEnd) {
    load({"a", "b", "c"});
    struct Batches : WordSink {
        QStringList pending;
        QList<QStringList> batches;
        void add(const QString& word) override { pending << word; }
        void flush() override {
            if (!pending.isEmpty()) batches << pending;
            pending.clear();
        }
    } sink;
    run.everyRecord = false;
    run.beginRun(kStartingSearch);
    EXPECT_EQ(ListQueryResults(db(), QueryText({SearchMode::Palindrome, {}, {}, {}, false}), run, sink), 3);
    run.endRun();
    QStringList all;
    for (const auto& batch : sink.batches) all += batch;
    EXPECT_EQ(all, (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(sink.pending.isEmpty());
}

}  // namespace
}  // namespace lexivo
