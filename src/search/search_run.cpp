#include "search/search_run.h"

#include "common/dialogs.h"
#include "common/run_control.h"
#include "search/scan_search.h"
#include "search/search_query.h"
#include "search/word_games.h"
#include "search/word_index.h"
#include "store/collation.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/schema.h"
#include "store/word_editing.h"
#include "store/word_order.h"
#include "store/write_access.h"

namespace lexivo {

namespace {

bool isAscii(QStringView text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Whether two words are equal in the word order (equal but for letter case).
bool sameInWordOrder(const QString& a, const QString& b) {
    if (isAscii(a) && isAscii(b)) return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return CompareWords({x.constData(), static_cast<size_t>(x.size())},
                        {y.constData(), static_cast<size_t>(y.size())}) == 0;
}

// The rows of a cursor in its order, but each run of words equal in the word order in the order of their code
// points, as the words in memory are ordered: the engine leaves such ties in the order of its index, and a sort
// of the whole result by a second key costs more than the query.
class RowsInWordOrder {
public:
    explicit RowsInWordOrder(Cursor& cursor) : cursor_(cursor) {}
    // The next row's word (empty for null), or none after the last.
    std::optional<QString> next() {
        if (at_ == run_.size()) {
            run_.clear();
            at_ = 0;
            std::optional<QString> first = read();
            if (!first) return std::nullopt;
            run_.push_back(std::move(*first));
            while (std::optional<QString> word = read()) {
                if (!sameInWordOrder(run_.front(), *word)) {
                    ahead_ = std::move(word);
                    break;
                }
                run_.push_back(std::move(*word));
            }
            if (run_.size() > 1)
                std::sort(run_.begin(), run_.end(),
                          [](const QString& a, const QString& b) { return WordOrderLess(a, b); });
        }
        return std::move(run_[at_++]);
    }

private:
    std::optional<QString> read() {
        if (ahead_) return std::exchange(ahead_, std::nullopt);
        if (cursor_.eof()) return std::nullopt;
        QString word = cursor_.value(0).value_or(QString());
        cursor_.moveNext();
        return word;
    }
    Cursor& cursor_;
    std::vector<QString> run_;
    size_t at_ = 0;
    std::optional<QString> ahead_;
};

}  // namespace

qint64 ListQueryResults(Connection& db, const QString& query, RunControl& run, WordSink& sink, const RowTest& test) {
    auto cursor = std::make_unique<Cursor>(db, query);
    qint64 listed = 0;
    if (!cursor->eof()) {
        // The progress maximum is the count of the rows, which the engine finds without reading them out; a huge
        // result takes a while to count, and the user may stop it meanwhile.
        const std::optional<qint64> rows = db.count(query, [&run] {
            run.step(0, kStartingSearch);
            return !run.stopFlag();
        });
        if (rows && !run.stopFlag()) {
            run.setProgressMaximum(*rows);
            qint64 counter = 0;
            QString word;
            RowsInWordOrder rows(*cursor);
            while (std::optional<QString> row = rows.next()) {
                ++counter;
                word = std::move(*row);
                if (!test || test(word)) {
                    sink.add(word);
                    ++listed;
                }
                // Progress, the current word and pending input once per time slice; the stop flag every row.
                if (run.step(counter, word)) sink.flush();
                if (run.stopFlag()) break;
            }
            run.flush(counter, word);
        }
    }
    sink.flush();
    sink.release(std::move(cursor));
    return listed;
}

namespace {

qint64 ListPalindromes(Connection& db, const SearchRequest& request, RunControl& run, WordSink& sink) {
    // One look-up on the Word index per scanned word; the length limit applies to the scan only.
    WordTable wordLookup(db);
    return ListQueryResults(db, QueryText(request), run, sink,
                            [&wordLookup](const QString& word) { return wordLookup.seek(ReverseString(word)); });
}

qint64 ListMaskMatches(Connection& db, const SearchRequest& request, RunControl& run, WordSink& sink) {
    const MaskTest maskTest(request.input);
    RowTest test;
    if (maskTest.hasPlaceholders()) test = [&maskTest](const QString& word) { return maskTest.accepts(word); };
    // The index range holds every match only where the Word field compares in the program's own order.
    return ListQueryResults(db, QueryText(request, UsesOwnWordOrder(db)), run, sink, test);
}

}  // namespace

void FindAndAdd(Connection& db, const SearchRequest& request, Dialogs& dialogs) {
    const QString& word = request.input;
    {
        Cursor cursor(db, QueryText(request));
        if (!cursor.eof()) {
            cursor.close();
            dialogs.notice(QStringLiteral("Word already added!"));
            return;
        }
    }
    // The Word field holds 255 characters and the table does not refuse more: refuse before offering to add.
    if (const QString problem = TooLongProblem(word); !problem.isEmpty()) {
        dialogs.failure(problem);
        return;
    }
    if (const QString problem = ControlCharacterProblem(word); !problem.isEmpty()) {
        dialogs.notice(problem);
        return;
    }
    if (const QString problem = WriteProblem(db); !problem.isEmpty()) {
        dialogs.failure(QStringLiteral("The word could not be added: ") + problem);
        return;
    }
    if (!dialogs.question(QStringLiteral("Add ") + word)) return;
    // The keys of the word as typed (of its folded form, as every writer stores them).
    StoreWord(db, word);
}

void FindAndDelete(Connection& db, const SearchRequest& request, Dialogs& dialogs) {
    QString stored;
    {
        Cursor cursor(db, QueryText(request));
        if (cursor.eof()) {
            cursor.close();
            dialogs.notice(QStringLiteral("Word not found!"));
            return;
        }
        stored = cursor.text(QStringLiteral("Word"));
    }
    if (const QString problem = WriteProblem(db); !problem.isEmpty()) {
        dialogs.failure(QStringLiteral("Nothing was deleted: ") + problem);
        return;
    }
    if (!dialogs.question(QStringLiteral("Delete ") + stored, kProgramTitle, Dialogs::DefaultButton::No)) return;
    // Every row the look-up matched goes after the one question: the same comparison, in one statement.
    DeleteWord(db, request.input);
}

qint64 RunSearchMode(Connection& db, const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink) {
    if (!request.mode) return 0;
    const bool listing = *request.mode != SearchMode::Add && *request.mode != SearchMode::Delete;
    // A file that never had levels (one opened read-only) has no word of any level.
    if (listing && request.maxLevel && !FieldExists(db, QStringLiteral("Dictionary"), kLevelField)) return 0;
    if (IsScanSearch(request)) return RunScanSearch(db, request, run, sink);
    switch (*request.mode) {
        case SearchMode::Add:
            FindAndAdd(db, request, dialogs);
            return 0;
        case SearchMode::Delete:
            FindAndDelete(db, request, dialogs);
            return 0;
        case SearchMode::Palindrome:
            return ListPalindromes(db, request, run, sink);
        case SearchMode::Mask:
            return ListMaskMatches(db, request, run, sink);
        case SearchMode::Anagram:
        case SearchMode::Synogram:
        case SearchMode::Letters:
            // A read-only file of an older version holds keys of another kind: its words are searched on keys
            // made from each word instead.
            return ListQueryResults(db, QueryText(request, true, StoredKeysCurrent(db)), run, sink);
        case SearchMode::Rack:
            return SearchRack(db, request.input, request.minimumLength.value_or(0), request.maximumLength.value_or(0),
                              run, sink, request.maxLevel, request.ignoreAccents);
        case SearchMode::Phrase:
            return SearchPhrase(db, request.input, request.phraseWords, request.minimumLength.value_or(0),
                                request.maximumLength.value_or(0), run, sink, request.maxLevel, request.ignoreAccents);
        case SearchMode::Wordle:
        case SearchMode::Pattern:
            break;  // scans, above
    }
    return 0;
}

qint64 RunSearchRequest(Connection& db, const SearchRequest& request, RunControl& run, Dialogs& dialogs,
                        WordSink& sink) {
    Transaction transaction(db);
    const qint64 listed = RunSearchMode(db, request, run, dialogs, sink);
    transaction.commit();
    return listed;
}

}  // namespace lexivo
