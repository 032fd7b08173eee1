// Every search mode against the reference model. LEXIVO_TRIAL_SEED=<seed> runs a failed trial again.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "search/index_search.h"
#include "search/search_query.h"
#include "search/search_session.h"
#include "search/word_index.h"
#include "store/current_database.h"
#include "store/cursor.h"
#include "store/word_editing.h"
#include "wordlists/import.h"
#include "support/fake_run.h"
#include "support/reference.h"
#include "support/run_search.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

QString charAt(const QList<uint>& chars, qsizetype i) {
    const auto c = static_cast<char32_t>(chars[i]);
    return QString::fromUcs4(&c, 1);
}

QString randomInput(std::mt19937& random, TestMode mode, const QStringList& stored) {
    if (random() % 8 == 0) return RandomWords(random, 1, 5).first();
    const QString word = stored[static_cast<qsizetype>(random() % stored.size())];
    const QList<uint> chars = word.toUcs4();
    switch (mode) {
        case TestMode::Synogram:
            return Scramble(random, word + charAt(chars, 0));
        case TestMode::Letters: {
            QString some;
            for (qsizetype i = 0; i < chars.size(); ++i)
                if (random() % 2) some += charAt(chars, i);
            return Scramble(random, some.isEmpty() ? word : some);
        }
        case TestMode::Mask: {
            static const char* const kMarks[] = {"?", "@", "#", "*"};
            QString mask;
            for (qsizetype i = 0; i < chars.size(); ++i) {
                const auto roll = random() % 10;
                mask += roll < 5 ? (random() % 2 ? charAt(chars, i).toUpper() : charAt(chars, i))
                                 : QString::fromLatin1(kMarks[roll % 4]);
            }
            return mask;
        }
        default:
            return Scramble(random, word);
    }
}

class SearchDifferential : public ::testing::Test {
protected:
    void load(const QStringList& words) {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("words%1.mdb").arg(++databases));
        CreateWordDatabase(path, words);
        state = std::make_unique<DatabaseState>();
        OpenWordDatabase(*state, path);
        session = std::make_unique<SearchSession>();
        OpenWordDatabase(session->database(), path);
        session->startReading();
    }
    Connection& db() { return state->CurrentDatabase; }

    // A change of the words: added, deleted or imported through the session's own connection, or written by
    // another one; the next search must see it on both paths.
    void change(std::mt19937& random, int kind) {
        const QStringList some = RandomWords(random, 3);
        Connection& own = session->connection();
        if (kind == 0) {
            StoreWord(own, some[0]);
        } else if (kind == 1) {
            const QStringList stored = StoredWords(own);
            DeleteWord(own, stored.value(static_cast<qsizetype>(random() % std::max<qsizetype>(stored.size(), 1))));
        } else if (kind == 2) {
            const QString list = dir.filePath(QStringLiteral("list.txt"));
            WriteFile(list, some.join(QLatin1Char('\n')).toUtf8());
            FakeRun run;
            ScriptedDialogs dialogs;
            ImportWords(own, list, true, [] { return WordFilter{}; }, run, dialogs);
        } else {
            StoreWord(db(), some[0]);
            db().execute(QStringLiteral("UPDATE [Dictionary] SET [Level]=20 WHERE rowid=(SELECT max(rowid) FROM "
                                        "[Dictionary])"));
        }
    }

    QTemporaryDir dir;
    QString path;
    int databases = 0;
    std::unique_ptr<DatabaseState> state;
    std::unique_ptr<SearchSession> session;
};

// Every row with its level (none for null).
std::vector<std::pair<QString, std::optional<double>>> storedRows(Connection& db) {
    std::vector<std::pair<QString, std::optional<double>>> rows;
    for (Cursor c(db, QStringLiteral("SELECT [Word],[Level] FROM [Dictionary]")); !c.eof(); c.moveNext())
        rows.emplace_back(c.value(0).value_or(QString()),
                          c.value(1) ? std::optional<double>(c.value(1)->toDouble()) : std::nullopt);
    return rows;
}

// Each listing mode through the database and through the window's search session with its words in memory: both
// list what the reference lists, in one and the same order, with the same progress, also when stopped; levels
// limit them, and changes of the words by either connection are seen by the next search.
TEST_F(SearchDifferential, EveryListingModeListsWhatTheReferenceLists) {
    const std::uint32_t seed = TrialSeed(2024);
    std::mt19937 random(seed);
    static const SearchMode kModes[] = {SearchMode::Anagram, SearchMode::Synogram, SearchMode::Letters,
                                        SearchMode::Mask, SearchMode::Palindrome};
    int found = 0;
    for (int list = 0; list < 6; ++list) {
        load(RandomWords(random, 160));
        const bool levels = list % 2 == 1;
        if (levels)
            db().execute(QStringLiteral("UPDATE [Dictionary] SET [Level]=CASE WHEN rowid%4=0 THEN NULL ELSE "
                                        "(rowid*7+%1)%5*10 END").arg(list));
        // Row ids far apart, as a table whose rows were written one by one may have them; levels with fractions,
        // which a whole limit compares as their next whole number.
        if (list == 3) db().execute(QStringLiteral("UPDATE [Dictionary] SET rowid=rowid*1000003"));
        if (list == 5) db().execute(QStringLiteral("UPDATE [Dictionary] SET [Level]=[Level]+0.5"));
        for (int query = 0; query < 70; ++query) {
            if (query % 10 == 9) change(random, (query / 10 + list) % 4);
            const auto rows = storedRows(db());
            QStringList stored;
            for (const auto& row : rows) stored << row.first;
            const auto mode = static_cast<TestMode>(random() % 5);
            SearchRequest request;
            request.mode = kModes[static_cast<int>(mode)];
            request.input = mode == TestMode::Palindrome ? QString() : randomInput(random, mode, stored);
            int minimum = 0, maximum = 0;
            if (random() % 3 == 0) {
                minimum = static_cast<int>(random() % 6);
                maximum = minimum + static_cast<int>(random() % 4);
            }
            if (minimum || maximum) {  // (0, 0): every length, as the reference takes it
                request.minimumLength = minimum;
                request.maximumLength = maximum;
            }
            request.sortByLength = random() % 2;
            if (levels && random() % 2) request.maxLevel = static_cast<int>(random() % 5) * 10;
            SCOPED_TRACE(Describe("seed", seed, "list", list, "query", query, ModeName(mode), request.input, minimum,
                                  maximum, request.sortByLength, request.maxLevel.value_or(-1)));
            const QStringList listed = ReferenceSearch(stored, mode, request.input, minimum, maximum);
            QStringList expected;
            for (const auto& [word, level] : rows)
                if ((!request.maxLevel || (level && *level <= *request.maxLevel)) && listed.contains(word))
                    expected << word;
            // A stop once a given row was listed (the database's count of the rows may show progress before).
            FakeRun viaDatabase, viaIndex;
            const qint64 stopAt = random() % 4 == 0 ? 1 + static_cast<qint64>(random() % 8) : 0;
            for (FakeRun* r : {&viaDatabase, &viaIndex})
                r->onEvents = [r, stopAt] {
                    if (stopAt && r->value >= stopAt) r->requestStop();
                };
            const QStringList fromDatabase = RunRequestForTest(db(), request, nullptr, &viaDatabase);
            const std::shared_ptr<const WordSnapshot> index = session->awaitIndex();
            ASSERT_TRUE(index && IndexListsRequest(*index, request));
            const QStringList fromIndex = RunRequestForTest(*session, request, &viaIndex);
            if (!stopAt) ExpectSameResults(fromDatabase, expected, request.sortByLength);
            EXPECT_EQ(fromIndex, fromDatabase);
            viaDatabase.words.removeAll(kStartingSearch);
            EXPECT_EQ(std::tie(viaIndex.maximum, viaIndex.value, viaIndex.words),
                      std::tie(viaDatabase.maximum, viaDatabase.value, viaDatabase.words));
            found += static_cast<int>(expected.size());
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(found, 2000);
}

// Add and Delete, answered at random, change the words as the reference says, with the texts they must show.
TEST_F(SearchDifferential, AddAndDeleteChangeWhatTheReferenceSays) {
    const std::uint32_t seed = TrialSeed(77);
    std::mt19937 random(seed);
    QStringList model = RandomWords(random, 60);
    load(model);
    for (int step = 0; step < 150; ++step) {
        const bool add = random() % 2;
        QString input = random() % 2 ? Scramble(random, model.value(static_cast<qsizetype>(random() % 60)))
                                     : RandomWords(random, 1, 4).first();
        if (random() % 10 == 0 && !model.isEmpty())
            input = model.value(static_cast<qsizetype>(random() % model.size())).toUpper();
        if (random() % 40 == 0) input = QString(255 + static_cast<int>(random() % 2), QLatin1Char('x'));
        const bool yes = random() % 3 != 0;
        SCOPED_TRACE(Describe("seed", seed, "step", step, add ? "add" : "delete", input, yes ? "yes" : "no"));
        ScriptedDialogs dialogs;
        const bool present =
            std::any_of(model.begin(), model.end(), [&](const QString& w) { return ReferenceEqual(w, input); });
        const bool asks = add ? !present && ReferenceLength(input) <= 255 : present;
        if (asks) yes ? dialogs.yes() : dialogs.no();
        EXPECT_TRUE(
            RunSearchForTest(db(), add ? TestMode::Add : TestMode::Delete, input, 0, 0, false, &dialogs).isEmpty());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        const QString shown = dialogs.lastText();
        if (add && present)
            EXPECT_EQ(shown, "Word already added!");
        else if (add && !asks)
            EXPECT_EQ(shown, QStringLiteral("Word too long! A word can have at most 255 characters; this one has %1.")
                                 .arg(ReferenceLength(input)));
        else if (add)
            EXPECT_EQ(shown, "Add " + input);
        else if (!asks)
            EXPECT_EQ(shown, "Word not found!");
        else
            EXPECT_TRUE(shown.startsWith("Delete ") && ReferenceEqual(shown.mid(7), input)) << shown.toStdString();
        if (asks && yes && add) {
            model << input;
            EXPECT_EQ(StoredKeys(db(), input), ReferenceSorted(input) + "|" + ReferenceLetters(input));
        }
        if (asks && yes && !add) model.removeIf([&](const QString& w) { return ReferenceEqual(w, input); });
        QStringList stored = StoredWords(db()), expected = model;
        stored.sort();
        expected.sort();
        ASSERT_EQ(stored, expected);
    }
}

// A stop ends the listing after the current row; the progress bar ends on the rows looked at.
// A mask of wildcards alone counts characters, not the bytes of UTF-8, on both paths.
TEST_F(SearchDifferential, AMaskOfWildcardsCountsCharacters) {
    load({"été", "ete", "Ötzi", "straße", "a"});
    for (const QString mask : {"???", "????", "*???", "??????"}) {
        SearchRequest request;
        request.mode = SearchMode::Mask;
        request.input = mask;
        ASSERT_TRUE(session->awaitIndex());
        const QStringList expected = ReferenceSearch(StoredWords(db()), TestMode::Mask, mask, 0, 0);
        ExpectSameResults(RunRequestForTest(db(), request), expected, false);
        ExpectSameResults(RunRequestForTest(*session, request), expected, false);
    }
}

TEST_F(SearchDifferential, AStopEndsTheListingAfterTheCurrentRow) {
    load({"a", "b", "c", "d", "e"});
    FakeRun run;
    run.stopAtRecord = 3;
    EXPECT_EQ(RunSearchForTest(db(), TestMode::Mask, "*@", 0, 0, false, nullptr, &run), QStringList{"a"});
    EXPECT_EQ(run.maximum, 5);
    EXPECT_EQ(run.value, 3);
    EXPECT_FALSE(db().inTransaction());
}

}  // namespace
}  // namespace lexivo::test
