#include "support/run_search.h"

#include <gtest/gtest.h>

#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"
#include "store/engine.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"

namespace lexivo::test {

QStringList RunSearchForTest(Connection& db, TestMode mode, const QString& input, int minimum, int maximum,
                             bool sortByLength, Dialogs* dialogs, FakeRun* run) {
    static const SearchMode kModes[] = {SearchMode::Anagram, SearchMode::Synogram,   SearchMode::Letters,
                                        SearchMode::Mask,    SearchMode::Palindrome, SearchMode::Add,
                                        SearchMode::Delete};
    SearchRequest request;
    request.mode = kModes[static_cast<int>(mode)];
    request.input = input;
    if (minimum || maximum) {
        request.minimumLength = minimum;
        request.maximumLength = maximum;
    }
    request.sortByLength = sortByLength;
    return RunRequestForTest(db, request, dialogs, run);
}

namespace {

QStringList runRequest(const std::function<qint64(RunControl&, WordSink&)>& search, FakeRun* run) {
    FakeRun ownRun;
    FakeRun& r = run ? *run : ownRun;
    QStringList words;
    CallbackSink sink([&words](const QString& word) { words << word; });
    r.beginRun(kStartingSearch);
    try {
        const qint64 listed = search(r, sink);
        EXPECT_EQ(listed, words.size());
    } catch (...) {
        r.endRun();
        throw;
    }
    r.endRun();
    return words;
}

}  // namespace

QStringList RunRequestForTest(Connection& db, const SearchRequest& request, Dialogs* dialogs, FakeRun* run) {
    ScriptedDialogs ownDialogs;
    return runRequest([&](RunControl& r, WordSink& sink) {
        return RunSearchRequest(db, request, r, dialogs ? *dialogs : ownDialogs, sink);
    }, run);
}

QStringList RunRequestForTest(SearchSession& session, const SearchRequest& request, FakeRun* run) {
    ScriptedDialogs dialogs;
    return runRequest([&](RunControl& r, WordSink& sink) { return session.run(request, r, dialogs, sink); }, run);
}

}  // namespace lexivo::test
