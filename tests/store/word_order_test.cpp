// The word order against the reference; files in another order converted at load.

#include "store/word_order.h"

#include <gtest/gtest.h>

#include <QtCore>
#include <algorithm>
#include <random>
#include <vector>

#include "search/search_run.h"
#include "store/collation.h"
#include "store/current_database.h"
#include "store/like_matcher.h"
#include "store/word_editing.h"
#include "support/reference.h"
#include "support/run_search.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

int sign(int x) {
    return (x > 0) - (x < 0);
}

const QStringList kAlphabet = [] {
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c) letters << QString(QChar(c)) << QString(QChar(c + 32));
    for (const char* s : {"É", "é", "Ä", "ä", "ß", "ẞ", "\u212A", "ſ",      "æ", "Æ", "œ", "Œ", "ﬁ",
                          "Σ", "σ", "ς", "ά", "Ά", "Ω", "\u2126", "\u0301", "0", "7", "'", "*"})
        letters << QString::fromUtf8(s);
    return letters;
}();

std::string randomWord(std::mt19937& random, int maxLength = 6) {
    QString word;
    for (int n = std::uniform_int_distribution<int>(0, maxLength)(random); n > 0; --n)
        word += kAlphabet[std::uniform_int_distribution<qsizetype>(0, kAlphabet.size() - 1)(random)];
    return word.toStdString();
}

TEST(Collation, AgreesWithTheReferenceAndThePatternMatch) {
    std::mt19937 random(12);
    for (int i = 0; i < 20000; ++i) {
        std::string a = randomWord(random);
        std::string b = i % 3 ? randomWord(random) : QString::fromStdString(a).toUpper().toStdString();
        const int order = CompareWords(a, b);
        ASSERT_EQ(sign(order), ReferenceCompare(QString::fromStdString(a), QString::fromStdString(b)))
            << a << " / " << b;
        ASSERT_EQ(sign(CompareWords(b, a)), -sign(order)) << a << " / " << b;
        if (a.find('*') == std::string::npos) {
            ASSERT_EQ(LikeMatch(a, b), order == 0) << a << " / " << b;
        }
    }
}

TEST(Collation, DamagedTextHasAPlaceInOneConsistentOrder) {
    std::mt19937 random(5);
    const char bytes[] = {'\0',   'a',    'A',    'z',    '\x7f', '\x80', '\xbf',
                          '\xc3', '\xa9', '\xe2', '\x84', '\xaa', '\xf0', '\xff'};
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string text(random() % 7, '\0');
        for (char& c : text) c = bytes[random() % std::size(bytes)];
        texts.push_back(text);
    }
    texts.push_back(std::string(255, '\xc3'));
    std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return CompareWords(a, b) < 0; });
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(CompareWords(texts[i], texts[i]), 0);
        for (size_t j = i + 1; j < texts.size(); ++j) {
            ASSERT_LE(CompareWords(texts[i], texts[j]), 0) << i << ' ' << j;
            ASSERT_EQ(sign(CompareWords(texts[j], texts[i])), -sign(CompareWords(texts[i], texts[j])));
        }
    }
}

QStringList Rows(Connection& db) {
    QStringList rows;
    Cursor c(db, "SELECT rowid, ID, Letters, Sorted, Word FROM Dictionary ORDER BY rowid");
    for (; !c.eof(); c.moveNext()) {
        QStringList fields;
        for (int i = 0; i < 5; ++i) fields << c.value(i).value_or("<null>");
        rows << fields.join('|');
    }
    return rows;
}

class WordOrder : public ::testing::Test {
protected:
    QString writeOldFile(const QString& name, const QString& collation, const QString& constraint = {}) {
        const QString path = dir.filePath(name);
        Connection db = Connection::create(path);
        const QString text = "TEXT(255)" + collation;  // names in any case
        db.execute(
            QString("CREATE TABLE dictionary (ID INTEGER, Letters %1, Sorted %1, word %1%2)").arg(text, constraint));
        db.execute("CREATE INDEX Word ON Dictionary (Word)");
        const char* words[] = {"ÉCOLE", "école", "Ärger", "Ball", "zèbre", "été", "cafe"};
        qint64 rowId = 1;  // from the first row on, at gaps
        expected.clear();
        for (const char* word : words) {
            const QString w = QString::fromUtf8(word);
            QList<uint> sorted = w.toUcs4();
            std::sort(sorted.rbegin(), sorted.rend());
            const QString old = QString::fromUcs4(reinterpret_cast<const char32_t*>(sorted.data()), sorted.size());
            QString oldLetters;
            for (const QChar c : old)
                if (!oldLetters.contains(c)) oldLetters += c;
            db.execute(QString("INSERT INTO Dictionary (rowid, ID, Letters, Sorted, Word) VALUES (%1, %2, '%3', "
                               "'%4', '%5')")
                           .arg(rowId)
                           .arg(rowId * 10)
                           .arg(oldLetters, old, w));
            expected
                << QString("%1|%2|%3|%4|%5").arg(rowId).arg(rowId * 10).arg(ReferenceLetters(w), ReferenceSorted(w), w);
            rowId += 4;
        }
        return path;
    }
    bool load(const QString& path) {
        state.DatabasePath = path;
        return LoadDatabase(state, view, dialogs);
    }

    QTemporaryDir dir;
    QStringList expected;  // the rows of the last file written, with the keys of the folded words
    DatabaseState state;
    test::RecordingView view;
    ScriptedDialogs dialogs;
};

TEST_F(WordOrder, OlderFilesAreConvertedOnceKeepingEveryRow) {
    for (const QString collation : {" COLLATE NOCASE", "", " COLLATE RTRIM"}) {
        const QString path = writeOldFile("old" + QString::number(collation.size()) + ".mdb", collation);
        {
            Connection old = Connection::open(path);
            // As it is, the file is searched exactly: no index range in another order, no stale keys.
            EXPECT_FALSE(UsesOwnWordOrder(old));
            EXPECT_EQ(RunSearchForTest(old, TestMode::Mask, "b*"), QStringList{"Ball"}) << collation.toStdString();
            EXPECT_FALSE(StoredKeysCurrent(old));
            EXPECT_EQ(RunSearchForTest(old, TestMode::Anagram, "BALL"), QStringList{"Ball"});
            EXPECT_EQ(RunSearchForTest(old, TestMode::Synogram, "rÄge"), QStringList{"Ärger"});
            EXPECT_EQ(RunSearchForTest(old, TestMode::Letters, "LB"), QStringList{"Ball"});
        }
        ASSERT_TRUE(load(path)) << dialogs.texts().join('\n').toStdString();
        Connection& db = state.CurrentDatabase;
        EXPECT_EQ(Rows(db), expected) << collation.toStdString();

        EXPECT_EQ(view.status, "7 words.");
        EXPECT_TRUE(UsesOwnWordOrder(db) && StoredKeysCurrent(db));
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM sqlite_master WHERE type='index'"), 3);
        EXPECT_EQ(RunSearchForTest(db, TestMode::Mask, "É*"), QStringList({"ÉCOLE", "école", "été"}));
        EXPECT_EQ(RunSearchForTest(db, TestMode::Anagram, "regär"), QStringList{"Ärger"});
        EXPECT_EQ(RunSearchForTest(db, TestMode::Palindrome, ""), QStringList{"été"});
        EXPECT_EQ(WordTable(db).deleteWord("ÉCOLE"), 2);
        state.CurrentDatabase.close();
        ASSERT_TRUE(load(path));
        EXPECT_FALSE(NeedsWordOrderConversion(state.CurrentDatabase));
        EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join('\n').toStdString();
    }
}

TEST_F(WordOrder, IndexesOfAnotherOrderVersionAndOlderKeysAreRebuilt) {
    for (const int version : {kFileVersion + 5, 1}) {
        const QString path = dir.filePath(QString("words%1.mdb").arg(version));
        test::CreateWordDatabase(path, {"b", "a", "c", "Ball", "Σοφία"});
        {
            Connection db = Connection::open(path);
            db.execute("UPDATE Dictionary SET Sorted='llaB', Letters='laB' WHERE Word='Ball'");
            db.setOrderVersion(version);
        }
        ASSERT_TRUE(load(path));
        Connection& db = state.CurrentDatabase;
        EXPECT_EQ(db.orderVersion(), kFileVersion);
        EXPECT_EQ(RunSearchForTest(db, TestMode::Mask, "?"), QStringList({"a", "b", "c"}));
        EXPECT_EQ(RunSearchForTest(db, TestMode::Anagram, "ball"), QStringList{"Ball"});
        EXPECT_EQ(RunSearchForTest(db, TestMode::Anagram, "ΣΟΦΊΑ"), QStringList{"Σοφία"});
        EXPECT_TRUE(view.progress.contains("Writing the letter keys of the words... 100%"));
        state.CurrentDatabase.close();
    }
}

TEST_F(WordOrder, AConversionThatFailsLeavesTheFileAsItWas) {
    const QString path = writeOldFile("unique.mdb", " COLLATE NOCASE", " PRIMARY KEY");
    const QByteArray before = test::ReadFile(path);
    EXPECT_FALSE(load(path));
    EXPECT_TRUE(dialogs.lastText().contains("could not be converted")) << dialogs.lastText().toStdString();
    EXPECT_TRUE(dialogs.lastText().contains("UNIQUE")) << dialogs.lastText().toStdString();
    EXPECT_EQ(test::ReadFile(path), before);
}

}  // namespace
}  // namespace lexivo::test
