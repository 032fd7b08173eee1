#include "search/word_games.h"

#include <gtest/gtest.h>

#include <QtCore>
#include <algorithm>
#include <functional>

#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"
#include "store/engine.h"
#include "store/word_editing.h"
#include "support/fake_run.h"
#include "support/reference.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::FakeRun;

// With accents ignored, each letter counts as its base letters.
std::u32string lettersOf(const QString& text, bool accents = false) {
    std::u32string letters;
    for (const char32_t c : text.toUcs4())
        if (IsGameLetter(c))
            letters += accents ? test::ReferenceBaseLetters(QString::fromUcs4(&c, 1)).toStdU32String()
                               : std::u32string(1, QChar::toCaseFolded(c));
    std::sort(letters.begin(), letters.end());
    return letters;
}

bool inOrder(const QString& a, const QString& b) {
    const int order = test::ReferenceCompare(a, b);
    return order != 0 ? order < 0 : a.toUcs4() < b.toUcs4();
}

auto longerThenInOrder(bool accents) {
    return [accents](const QString& a, const QString& b) {
        const size_t x = lettersOf(a, accents).size();
        const size_t y = lettersOf(b, accents).size();
        return x != y ? x > y : inOrder(a, b);
    };
}

// The rack by its definition: the letters the tiles lack, one blank each.
QStringList referenceRack(const QStringList& words, const QString& tiles, int lowest, int highest, bool accents) {
    const std::u32string rack = lettersOf(tiles, accents);
    const auto blanks = static_cast<size_t>(tiles.count(u'?'));
    if (highest == 0) highest = static_cast<int>(rack.size() + blanks);
    QStringList found;
    for (const QString& word : words) {
        const std::u32string letters = lettersOf(word, accents);
        const auto n = static_cast<int>(letters.size());
        std::u32string lacking;
        std::set_difference(letters.begin(), letters.end(), rack.begin(), rack.end(), std::back_inserter(lacking));
        if (n >= std::max(lowest, 1) && n <= highest && lacking.size() <= blanks) found << word;
    }
    std::stable_sort(found.begin(), found.end(), longerThenInOrder(accents));
    return found;
}

// The phrases by their definition: every choice of up to maxWords words whose letters are the text's.
QStringList referencePhrases(const QStringList& words, const QString& text, int maxWords, int lowest, int highest,
                             bool accents) {
    QStringList usable;
    for (const QString& word : words) {
        const auto n = static_cast<int>(lettersOf(word, accents).size());
        if (n >= std::max(lowest, 1) && (highest == 0 || n <= highest)) usable << word;
    }
    std::stable_sort(usable.begin(), usable.end(), longerThenInOrder(accents));
    const std::u32string target = lettersOf(text, accents);
    std::vector<QStringList> entries;
    std::function<void(qsizetype, const QStringList&)> pick = [&](qsizetype from, const QStringList& chosen) {
        if (!chosen.isEmpty() && lettersOf(chosen.join(QString()), accents) == target) entries.push_back(chosen);
        if (chosen.size() == maxWords) return;
        for (qsizetype i = from; i < usable.size(); ++i) pick(i, chosen + QStringList{usable[i]});
    };
    pick(0, {});
    std::stable_sort(entries.begin(), entries.end(), [](const QStringList& a, const QStringList& b) {
        if (a.size() != b.size()) return a.size() < b.size();
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), inOrder);
    });
    QStringList texts;
    for (const QStringList& entry : entries) texts << entry.join(u' ');
    return texts;
}

QStringList collect(const std::function<qint64(RunControl&, WordSink&)>& search, FakeRun& run) {
    QStringList found;
    CallbackSink sink([&found](const QString& entry) { found << entry; });
    run.beginRun(kStartingSearch);
    const qint64 listed = search(run, sink);
    EXPECT_EQ(listed, found.size());
    run.endRun();
    return found;
}

QString randomText(QRandomGenerator& random, const QString& alphabet, int length) {
    const QList<uint> characters = alphabet.toUcs4();
    QString text;
    for (int i = 0; i < length; ++i)
        text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&characters[random.bounded(characters.size())]), 1);
    return text;
}

const QString kHostile = QStringLiteral("aaabcABeéÉsßẞñnæΣς'- 1") + QString::fromUcs4(U"\U00010400\U00010428");

TEST(WordGamesTest, BothSearchesAgreeWithTheirDefinitionsOnRandomLists) {
    QRandomGenerator random(15);
    for (int trial = 0; trial < 150; ++trial) {
        QStringList words;
        for (int i = random.bounded(14); i > 0; --i) words << randomText(random, kHostile, random.bounded(1, 6));
        const int lowest = random.bounded(3) == 0 ? random.bounded(1, 4) : 0;
        const int highest = lowest > 0 ? lowest + random.bounded(3) : 0;
        QString tiles = randomText(random, kHostile + QStringLiteral("??x"), random.bounded(9));
        QString phrase = words.isEmpty() ? QString() : words[random.bounded(static_cast<int>(words.size()))];
        for (int i = random.bounded(3); i > 0 && !words.isEmpty(); --i)
            phrase += QStringLiteral(" ") + words[random.bounded(static_cast<int>(words.size()))].toUpper();
        if (trial == 0) tiles = QString(), phrase = QStringLiteral("!? 12");
        if (trial == 1) tiles = QStringLiteral("???????"), phrase = QString(200, u'a');
        if (trial == 2) tiles = randomText(random, kHostile, 40), phrase = QString();
        const int maxWords = random.bounded(1, 4);
        const bool accents = trial % 3 == 2;  // letters compared by their base letters
        SCOPED_TRACE(test::Describe(words.join(u','), "rack", tiles, "phrase", phrase, lowest, highest, maxWords,
                                    "accents ignored", accents));
        const LetterRack rack(tiles, true, accents);
        const LetterRack letters(phrase, false, accents);
        const WordSnapshot all(words, nullptr, accents);
        const WordSnapshot fitting(words, &rack, accents);
        const WordSnapshot spelling(words, &letters, accents);
        FakeRun run;
        const QStringList racked = referenceRack(words, tiles, lowest, highest, accents);
        const QStringList phrases = referencePhrases(words, phrase, maxWords, lowest, highest, accents);
        for (const WordSnapshot* snapshot : {&all, &fitting})
            EXPECT_EQ(collect([&](RunControl& r,
                                  WordSink& s) { return ListRackWords(*snapshot, tiles, lowest, highest, r, s); },
                              run),
                      racked);
        for (const WordSnapshot* snapshot : {&all, &spelling})
            EXPECT_EQ(
                collect([&](RunControl& r,
                            WordSink& s) { return ListPhrases(*snapshot, phrase, maxWords, lowest, highest, r, s); },
                        run),
                phrases);
    }
}

TEST(WordGamesTest, AStopKeepsWhatWasListed) {
    const WordSnapshot words(QStringList{"a", "b", "ab", "ba", "aab", "abb", "Bab", "aa", "bb", "Ab", "bA"});
    const std::function<qint64(RunControl&, WordSink&)> searches[] = {
        [&words](RunControl& r, WordSink& s) { return ListPhrases(words, "aaaabbbb", 8, 0, 0, r, s); },
        [&words](RunControl& r, WordSink& s) { return ListRackWords(words, "??", 2, 2, r, s); }};
    for (const auto& search : searches) {
        FakeRun run;
        const QStringList whole = collect(search, run);
        run.stopAtRecord = run.records / 2;
        run.records = 0;
        const QStringList stopped = collect(search, run);
        EXPECT_GT(stopped.size(), 0);
        EXPECT_LT(stopped.size(), whole.size());
        EXPECT_EQ(stopped, whole.mid(0, stopped.size()));
    }
}

TEST(WordGamesTest, SearchesSeeEveryChangeOfTheDatabase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("words.mdb");
    test::CreateWordDatabase(path, {"tea", "eat", "tee", "rat", "Été"});
    SearchSession session;
    test::OpenWordDatabase(session.database(), path);
    Connection& db = session.connection();
    test::ScriptedDialogs dialogs;
    FakeRun run;
    const auto expectCurrent = [&](const char* after) {
        for (const char* route : {"the database", "the words in memory"}) {
            SCOPED_TRACE(std::string(after) + ", " + route);
            for (const auto& [mode, input] :
                 {std::pair{SearchMode::Rack, "aet?"}, std::pair{SearchMode::Phrase, "eat at"},
                  std::pair{SearchMode::Phrase, "Tee te"}}) {
                for (const bool accents : {false, true}) {
                    SearchRequest request;
                    request.mode = mode;
                    request.input = input;
                    request.ignoreAccents = accents;
                    const QStringList found =
                        collect([&](RunControl& r, WordSink& s) { return session.run(request, r, dialogs, s); }, run);
                    const QStringList stored = test::StoredWords(db);
                    EXPECT_EQ(found, mode == SearchMode::Rack ? referenceRack(stored, input, 0, 0, accents)
                                                              : referencePhrases(stored, input, 3, 0, 0, accents));
                }
            }
            ASSERT_NE(session.awaitIndex(), nullptr);
        }
    };
    session.startReading();  // as the window does after loading
    expectCurrent("loading");
    dialogs.yes();
    ASSERT_EQ(AddWord(db, "ate", dialogs), AddResult::Added);
    expectCurrent("an addition");
    session.startReading();
    ASSERT_NE(session.awaitIndex(), nullptr);  // the words in memory are then the ones before the deletion
    ASSERT_TRUE(DeleteWords(db, {"tea"}, dialogs).ok());
    expectCurrent("a deletion");

    {
        Connection other = Connection::open(path);
        other.execute("INSERT INTO [Dictionary] ([Word]) VALUES ('Beat')");
        other.execute("DELETE FROM [Dictionary] WHERE [Word]='eat'");
    }
    expectCurrent("another program's changes");
}

TEST(WordGamesTest, ASessionEndedWhileReadingLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath("words.mdb");
    QStringList words;
    for (int i = 0; i < 20000; ++i) words << QStringLiteral("w%1ord").arg(i);
    test::CreateWordDatabase(path, words);
    auto session = std::make_unique<SearchSession>();
    test::OpenWordDatabase(session->database(), path);
    session->startReading();
    session->close();
    EXPECT_FALSE(session->reading());
    EXPECT_EQ(session->readyIndex(), nullptr);
    test::OpenWordDatabase(session->database(), path);
    session->startReading();
    session->startReading();  // another open: the first reading goes
    EXPECT_TRUE(session->reading());
    session.reset();  // the end of the program while reading
}

}  // namespace
}  // namespace lexivo
