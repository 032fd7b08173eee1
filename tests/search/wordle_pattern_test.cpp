// Wordle, patterns and accent-blind letter searches against references, from memory and from rows.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "search/wordle.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"
#include "store/engine.h"
#include "support/fake_run.h"
#include "support/reference.h"
#include "support/run_search.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

QStringList gameWords(std::mt19937& random, int count) {
    static const QStringList kLetters = {"a", "e", "r", "s", "t", "o", "E", "\u00E9", "\u00C9", "\u00F1", "n", "'"};
    QStringList words;
    while (words.size() < count) {
        QString word;
        for (int n = 3 + static_cast<int>(random() % 3); n > 0; --n) {
            const auto letters = random() % 6 ? 11u : 12u;  // drawn first: one order of the draws in every build
            word += kLetters[static_cast<qsizetype>(random() % letters)];
        }
        words << word;
    }
    return words;
}

QString form(const QString& word, bool accents) {
    return accents ? ReferenceBaseLetters(ReferenceFold(word)) : ReferenceFold(word);
}

bool onlyLetters(const QString& word) {
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); });
}

QString patternFrom(std::mt19937& random, const QString& word) {
    const QList<uint> chars = word.toUcs4();
    QString pattern;
    QMap<uint, QChar> digits;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const QString c = QString::fromUcs4(reinterpret_cast<const char32_t*>(&chars[i]), 1);
        const auto roll = random() % 12;
        if (roll == 0 && i + 2 <= chars.size()) {
            QString block = c + QString::fromUcs4(reinterpret_cast<const char32_t*>(&chars[i + 1]), 1);
            pattern += "<" + (random() % 2 ? block : block.back() + QString("?")) + ">";
            ++i;
        } else if (roll == 1 && QChar(chars[i]).isLetter()) {
            if (!digits.contains(chars[i])) digits[chars[i]] = QChar(static_cast<char16_t>(u'1' + digits.size()));
            pattern += digits[chars[i]];
        } else if (roll < 4) {
            pattern += QString("?@#*").at(static_cast<qsizetype>(random() % 4));
        } else if (roll < 6) {
            pattern += random() % 2 ? "[" + c + "st]" : "[^xy" + (random() % 4 ? "" : c) + "]";
        } else {
            pattern += c == "'" ? "\\'" : random() % 2 ? c.toUpper() : c;
        }
    }
    return pattern;
}

class WordleAndPatterns : public ::testing::Test {
protected:
    void load(const QStringList& words) {
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("w%1.mdb").arg(++databases));
        CreateWordDatabase(path, words);
        session = std::make_unique<SearchSession>();
        OpenWordDatabase(session->database(), path);
        session->startReading();
        ASSERT_NE(session->awaitIndex(), nullptr);
    }
    QStringList run(const SearchRequest& request) {
        FakeRun r;
        ScriptedDialogs dialogs;
        QStringList words;
        CallbackSink sink([&words](const QString& word) { words << word; });
        r.beginRun(kStartingSearch);
        session->run(request, r, dialogs, sink);
        r.endRun();
        QStringList fromRows = RunRequestForTest(session->connection(), request), fromIndex = words;
        if (!request.rankByInformation) {
            fromRows.sort();
            fromIndex.sort();
        }
        EXPECT_EQ(fromRows, fromIndex);
        return words;
    }
    QTemporaryDir dir;
    int databases = 0;
    std::unique_ptr<SearchSession> session;
};

TEST_F(WordleAndPatterns, ListWhatTheDefinitionsList) {
    const std::uint32_t seed = TrialSeed(21);
    std::mt19937 random(seed);
    int found = 0;
    for (int list = 0; list < 4; ++list) {
        const QStringList stored = gameWords(random, 150) + RandomWords(random, 30, 5);
        load(stored);
        for (int query = 0; query < 60; ++query) {
            SearchRequest request;
            request.ignoreAccents = random() % 2;
            const bool accents = request.ignoreAccents;
            const QString word = stored[static_cast<qsizetype>(random() % 150)];
            QStringList expected;
            if (query % 3 == 0) {
                request.mode = SearchMode::Wordle;
                request.rankByInformation = random() % 2;
                QStringList guesses;
                for (const QString& guess : gameWords(random, 1 + static_cast<int>(random() % 3))) {
                    if (!onlyLetters(guess) || guess.size() != word.size() || !onlyLetters(word)) continue;
                    guesses << guess + ":" + ReferenceFeedback(form(guess, accents), form(word, accents));
                }
                if (guesses.isEmpty()) continue;
                request.input = guesses.join(random() % 2 ? " " : ",\n");
                for (const QString& w : stored) {
                    const bool fits = onlyLetters(w) && form(w, accents).size() == form(word, accents).size() &&
                                      std::all_of(guesses.begin(), guesses.end(), [&](const QString& g) {
                                          return ReferenceFeedback(form(g.section(':', 0, 0), accents),
                                                                   form(w, accents)) == g.section(':', 1);
                                      });
                    if (fits) expected << w;
                }
                // The ranking scores each guess by the game's own feedback.
                const QString g = form(guesses.first().section(':', 0, 0), accents);
                for (const QString& w : stored) {
                    const QString a = form(w, accents);
                    if (!onlyLetters(w) || a.size() != g.size()) continue;
                    const QString marks = ReferenceFeedback(g, a);
                    quint64 code = 0;
                    for (qsizetype i = marks.size(); i-- > 0;) code = code * 3 + (marks[i] == 'g' ? 2 : marks[i] == 'y');
                    const QList<uint> gu = g.toUcs4(), au = a.toUcs4();
                    EXPECT_EQ(WordleFeedback(std::u32string(gu.begin(), gu.end()), std::u32string(au.begin(), au.end())),
                              code);
                }
            } else if (query % 3 == 1) {
                request.mode = SearchMode::Pattern;
                request.input = patternFrom(random, word);
                const QRegularExpression re = ReferencePattern(request.input, accents);
                for (const QString& w : stored)
                    if (re.match(form(w, accents)).hasMatch()) expected << w;
            } else {
                const TestMode mode = static_cast<TestMode>(random() % 4);
                request.ignoreAccents = true;
                request.mode = std::array{SearchMode::Anagram, SearchMode::Synogram, SearchMode::Letters,
                                          SearchMode::Mask}[static_cast<size_t>(mode)];
                request.input = mode == TestMode::Mask
                                    ? patternFrom(random, word).remove(QRegularExpression("[^?@#\\w]"))
                                    : Scramble(random, word.left(static_cast<int>(random() % 4) + 1));
                if (request.input.isEmpty()) continue;  // a mask of removed characters alone
                for (const QString& w : stored)
                    if (!ReferenceSearch({form(w, true)}, mode, form(request.input, true), 0, 0).isEmpty())
                        expected << w;
            }
            SCOPED_TRACE(Describe("seed", seed, "list", list, "query", query, request.input, accents));
            const QStringList actual = run(request);
            if (request.rankByInformation) {
                QStringList forms;
                for (const QString& w : expected) forms << form(w, accents);
                for (qsizetype i = 1; i < actual.size(); ++i) {
                    const auto [bits, worst] = ReferenceInformation(form(actual[i], accents), forms);
                    const auto [before, worstBefore] = ReferenceInformation(form(actual[i - 1], accents), forms);
                    EXPECT_TRUE(before > bits + 1e-9 || (before > bits - 1e-9 && worstBefore <= worst));
                }
                QStringList sorted = actual;
                std::sort(sorted.begin(), sorted.end(), ReferenceWordLess);
                ExpectSameResults(sorted, expected, false);
            } else {
                ExpectSameResults(actual, expected, false);
            }
            found += static_cast<int>(expected.size());
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(found, 500);
}

TEST_F(WordleAndPatterns, FixedCasesAndErrors) {
    load({"elder", "essay", "eerie", "Élan", "elan", "été", "tee", "career", "chilli", "grotto", "redder", "ice cream",
          "ice-cream", "crane", "sloth", "lampy", "hmmmmm", QString(40, u'a')});
    const struct {
        SearchMode mode;
        const char* input;
        bool accents;
        QStringList words;  // the words listed; with error, the message
        const char* error;
    } kCases[] = {
        {SearchMode::Pattern, "??1221", false, {"career", "chilli", "grotto"}, nullptr},
        {SearchMode::Wordle, "error:g...g", false, {"elder"}, nullptr},
        {SearchMode::Wordle, "sease:yyyy.", false, {"essay"}, nullptr},
        {SearchMode::Pattern, "/(.)(.)(.)\\3\\2\\1", false, {"redder"}, nullptr},
        {SearchMode::Pattern, "[l-p]?[m-r]?[w-z]", false, {"lampy"}, nullptr},
        {SearchMode::Pattern, "*(3,5)", false, {"ice cream"}, nullptr},
        {SearchMode::Pattern, "ice<?\?\?\?\?>(3-5)", false, {"ice-cream"}, nullptr},
        {SearchMode::Wordle, "geese:...gg eerie:yy...", false, {}, "e: exactly 1 in guess 1 but exactly 2 in guess 2"},
        {SearchMode::Wordle, "crane:..y.", false, {}, "Guess 1 (crane:..y.): 5 letters but 4 marks"},
        {SearchMode::Wordle, "crane:..q..", false, {}, "unknown mark \"q\" at position 3"},
        {SearchMode::Wordle, "crane:..... slot:....", false, {}, "Guess 2 (slot:....) has 4 letters but guess 1 has 5"},
        {SearchMode::Wordle, "cr?ne:.....", false, {}, "\"?\" at position 3"},
        {SearchMode::Wordle, "crane:g.... slate:g....", false, {}, "green \"c\" in guess 1 but green \"s\""},
        {SearchMode::Pattern, "c[ab", false, {}, "Unclosed \"[\" at column 2"},
        {SearchMode::Pattern, "c[]", false, {}, "Empty \"[]\" at column 2"},
        {SearchMode::Pattern, "c0", false, {}, "The digit 0 at column 2"},
        {SearchMode::Pattern, "<a*>", false, {}, "\"*\" at column 3: an anagram block"},
        {SearchMode::Pattern, "/a(b", false, {}, "Invalid regular expression at column 5"},
        {SearchMode::Pattern, "/(a+)+[bc]", false, {}, "too much work"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.input);
        SearchRequest request;
        request.mode = c.mode;
        request.input = c.input;
        request.ignoreAccents = c.accents;
        if (!c.error) {
            QStringList actual = run(request);
            std::sort(actual.begin(), actual.end());
            QStringList expected = c.words;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(actual, expected);
            continue;
        }
        try {
            RunRequestForTest(session->connection(), request);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.error))) << e.message().toStdString();
        }
    }
}

}  // namespace
}  // namespace lexivo::test
