// Any input, put into the query text of every mode: the text always parses (no input ends a literal early or
// adds to the statement), and a word stored exactly as the input is found by the modes that must find it and
// deleted by the one deletion of a word.

#include <QString>

#include "search/search_query.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/word_editing.h"
#include "targets/fuzz_targets.h"

namespace lexivo::fuzz {

namespace {

Connection& database() {
    static Connection db = [] {
        Connection c = Connection::create(QStringLiteral(":memory:"));
        c.execute(
            QStringLiteral("CREATE TABLE [Dictionary] ([ID] INTEGER, [Letters] TEXT(255) COLLATE LEXIVO, "
                           "[Sorted] TEXT(255) COLLATE LEXIVO, [Word] TEXT(255) COLLATE LEXIVO)"));
        c.execute(QStringLiteral("CREATE INDEX [Word] ON [Dictionary] ([Word])"));
        return c;
    }();
    return db;
}

qint64 rows(Connection& db, const QString& query, const char* mode) {
    try {
        qint64 count = 0;
        for (Cursor cursor(db, query); !cursor.eof(); cursor.moveNext()) ++count;
        return count;
    } catch (const Error& e) {
        Fail(std::string(mode) + " query did not run: " + e.message().toStdString() + "\n" + query.toStdString());
        return -1;
    }
}

}  // namespace

int QueryTextTarget(const std::uint8_t* data, std::size_t size) {
    if (size > 1024) return 0;
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Connection& db = database();
    db.execute(QStringLiteral("DELETE FROM [Dictionary]"));
    const WordKeys keys = KeysOf(input);
    WordTable(db).addNew(input, keys.sorted, keys.letters);
    WordTable(db).addNew(QStringLiteral("other"), QStringLiteral("troeo"), QStringLiteral("treo"));

    // Every mode with a length limit that keeps every word, sorted by length.
    const auto request = [&input](SearchMode mode) {
        SearchRequest r;
        r.mode = mode;
        r.input = input;
        r.minimumLength = 0;
        r.maximumLength = 100000;
        r.sortByLength = true;
        return QueryText(r);
    };
    FUZZ_CHECK(rows(db, request(SearchMode::Add), "find-and-add") >= 1, "find-and-add missed the stored word");
    // The key modes lower-case their input: a word in lower case already is its own anagram and synogram.
    const bool lowerCase = input.toLower() == input;
    const qint64 anagrams = rows(db, request(SearchMode::Anagram), "anagram");
    const qint64 synograms = rows(db, request(SearchMode::Synogram), "synogram");
    const qint64 letters = rows(db, request(SearchMode::Letters), "letters");
    if (lowerCase) {
        FUZZ_CHECK(anagrams >= 1, "the anagram search missed the word itself");
        FUZZ_CHECK(synograms >= 1, "the synogram search missed the word itself");
        FUZZ_CHECK(letters >= 1, "the letters-in-a-word search missed the word itself");
    }
    const qint64 masks = rows(db, request(SearchMode::Mask), "mask");
    if (!input.contains(QLatin1Char('@')) && !input.contains(QLatin1Char('#')))
        FUZZ_CHECK(masks >= 1, "the mask search missed the word itself");
    rows(db, request(SearchMode::Palindrome), "palindrome");

    qint64 deleted = 0;
    try {
        deleted = DeleteWord(db, input);
    } catch (const Error& e) {
        Fail("the deletion did not run: " + e.message().toStdString());
    }
    FUZZ_CHECK(deleted >= 1, "the deletion missed the word");
    return 0;
}

}  // namespace lexivo::fuzz
