#include "support/run_search.h"

#include <gtest/gtest.h>

#include "search/search_query.h"
#include "search/search_run.h"
#include "store/engine.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"

namespace lexivo::test {

QStringList RunSearchForTest(Connection& db, TestMode mode, const QString& input, int minimum, int maximum,
                             bool sortByLength, Dialogs* dialogs, FakeRun* run) {
    static const QString kModes[] = {kModeAnagram,    kModeSynogram, kModeLetters, kModeMask,
                                     kModePalindrome, kModeAdd,      kModeDelete};
    SearchRequest request{
        kModes[static_cast<int>(mode)], input,
        minimum || maximum ? LengthClause(1, QString::number(minimum), QString::number(maximum)) : QString(),
        OrderClause(sortByLength)};
    ScriptedDialogs ownDialogs;
    FakeRun ownRun;
    FakeRun& r = run ? *run : ownRun;
    QStringList words;
    CallbackSink sink([&words](const QString& word) { words << word; });
    r.beginRun(kStartingSearch);
    try {
        Transaction transaction(db);
        const qint64 listed = RunSearchMode(db, request, r, dialogs ? *dialogs : ownDialogs, sink);
        EXPECT_EQ(listed, words.size());
        transaction.commit();
    } catch (...) {
        r.endRun();
        throw;
    }
    r.endRun();
    return words;
}

}  // namespace lexivo::test
