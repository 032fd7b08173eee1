#include "cli/search_commands.h"

#include <optional>

#include "cli/lexicon_commands.h"
#include "cli/session.h"
#include "search/scan_search.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/word_games.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "store/transaction.h"
#include "store/word_editing.h"
#include "store/write_access.h"

namespace lexivo::cli {

namespace {

int listWords(Session& s, const Invocation& inv, const SearchModeRow& row) {
    SearchRequest request;
    request.mode = row.mode;
    if (row.takesInput()) request.input = inv.operand;
    request.minimumLength = inv.minimumLength;
    request.maximumLength = inv.maximumLength;
    request.sortByLength = inv.sortByLength;
    request.phraseWords = inv.words;
    request.maxLevel = inv.maxLevel;
    const ScoreOptions scoring = ScoreOptionsOf(inv);
    std::optional<TileValues> values;
    if (scoring.active() && !(values = SearchTileValues(inv, s.dialogs))) return kFailure;
    request.ignoreAccents = inv.ignoreAccents;
    request.rankByInformation = inv.rankByInformation;
    // Malformed guesses or patterns are a usage error, told before any database is opened.
    if (const QString problem = InputProblem(request); !problem.isEmpty()) {
        s.fail(problem);
        return kUsageError;
    }
    if (!OpenDatabase(s, inv)) return kFailure;
    Output out(&s.run);
    // In a rack search a word scores its best laying from the rack.
    const LetterRack rack(request.input, true, request.ignoreAccents);
    std::optional<ScoringSink> scored;
    if (scoring.active()) scored.emplace(out, *values, scoring, row.inputIsRack ? &rack : nullptr);
    qint64 found = 0;
    s.run.beginRun(kStartingSearch);
    try {
        found = s.search.run(request, s.run, s.dialogs, scored ? static_cast<WordSink&>(*scored) : out);
        if (scored) found = scored->finish();
    } catch (const Error& e) {
        s.run.endRun();
        s.fail(FailureReason(e));
        return kFailure;
    }
    s.run.endRun();
    if (!out.finish()) {
        s.fail(QStringLiteral("the results could not be written: %1").arg(out.error()));
        return kFailure;
    }
    s.terminal.message(FoundMessage(found));
    return s.status(kSuccess);
}

int addWord(Session& s, const Invocation& inv) {
    if (!OpenDatabase(s, inv) || !Writable(s)) return kFailure;
    return s.status(AddWord(s.db(), inv.operand, s.dialogs) == AddResult::Added ? kSuccess : kFailure);
}

int deleteWord(Session& s, const Invocation& inv) {
    if (!OpenDatabase(s, inv) || !Writable(s)) return kFailure;
    const qint64 before = WordCount(s.db());
    {
        SearchRequest request;
        request.mode = SearchMode::Delete;
        request.input = inv.operand;
        Transaction transaction(s.db());
        FindAndDelete(s.db(), request, s.dialogs);
        transaction.commit();
    }
    // "Word not found!" has been said; the command did not do what it was asked.
    const qint64 deleted = before - WordCount(s.db());
    if (deleted <= 0) return s.status(kFailure);
    s.terminal.message(QStringLiteral("%1 word(s) deleted.").arg(deleted));
    return s.status(kSuccess);
}

}  // namespace

int RunSearchCommand(Session& s, const Invocation& inv) {
    if (!inv.mode) return kUsageError;
    const SearchModeRow& row = SearchModeRowOf(*inv.mode);
    if (row.listsWords) return listWords(s, inv, row);
    // Add and Delete look the word up to change the database.
    return *inv.mode == SearchMode::Add ? addWord(s, inv) : deleteWord(s, inv);
}

}  // namespace lexivo::cli
