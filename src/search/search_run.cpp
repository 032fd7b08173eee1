#include "search/search_run.h"

#include "search/search_query.h"
#include "store/dialogs.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/run_control.h"
#include "store/word_order.h"

namespace lexivo {

qint64 ListQueryResults(Connection& db, const QString& query, RunControl& run, WordSink& sink, const RowTest& test) {
    auto cursor = std::make_unique<Cursor>(db, query);
    qint64 listed = 0;
    if (cursor->recordCount() > 0) {
        // Reading a huge result takes a while before the first row is shown; the user may stop it meanwhile.
        cursor->moveLast([&run] {
            run.step(0, kStartingSearch);
            return !run.stopFlag();
        });
        if (!run.stopFlag()) {
            run.setProgressMaximum(cursor->recordCount());
            qint64 counter = 0;
            QString word;
            for (cursor->moveFirst(); !cursor->eof();) {
                ++counter;
                const std::optional<QString>& value = cursor->value(0);
                word = value ? *value : QString();
                if (!test || test(word)) {
                    sink.add(word);
                    ++listed;
                }
                cursor->moveNext();
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

qint64 ListPalindromes(Connection& db, const QString& lengthClause, const QString& orderClause, RunControl& run,
                       WordSink& sink) {
    // One look-up on the Word index per scanned word; the length limit applies to the scan only.
    WordTable wordLookup(db);
    return ListQueryResults(db, PalindromeQuery(lengthClause, orderClause), run, sink,
                            [&wordLookup](const QString& word) { return wordLookup.seek(ReverseString(word)); });
}

QString WordTooLongMessage(int characters) {
    return QStringLiteral("Word too long! A word can have at most %1 characters; this one has %2.")
        .arg(kMaxFieldLength)
        .arg(characters);
}

void FindAndAdd(Connection& db, const QString& word, const QString& orderClause, Dialogs& dialogs) {
    {
        Cursor cursor(db, FindWordQuery(word, orderClause));
        if (cursor.recordCount() > 0) {
            cursor.close();
            dialogs.notice(QStringLiteral("Word already added!"));
            return;
        }
    }
    // The Word field holds 255 characters and the table does not refuse more: refuse before offering to add.
    if (const int length = CharacterCount(word); length > kMaxFieldLength) {
        dialogs.notice(WordTooLongMessage(length));
        return;
    }
    if (!dialogs.question(QStringLiteral("Add ") + word)) return;
    // The keys of the word as typed, as every writer stores them (the letter searches lower-case their input
    // instead).
    const WordKeys keys = KeysOf(word);
    WordTable(db).addNew(word, keys.sorted, keys.letters);
}

void FindAndDelete(Connection& db, const QString& word, const QString& orderClause, Dialogs& dialogs) {
    QString stored;
    {
        Cursor cursor(db, FindWordQuery(word, orderClause));
        if (cursor.recordCount() == 0) {
            cursor.close();
            dialogs.notice(QStringLiteral("Word not found!"));
            return;
        }
        cursor.moveFirst();
        stored = cursor.text(QStringLiteral("Word"));
    }
    if (!dialogs.question(QStringLiteral("Delete ") + stored)) return;
    // Every row the look-up matched goes after the one question: the same comparison, in one statement.
    WordTable(db).deleteWord(word);
}

qint64 RunSearchMode(Connection& db, const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink) {
    const QString& mode = request.mode;
    if (mode == kModeAdd || mode == kModeDelete) {
        if (mode == kModeAdd)
            FindAndAdd(db, request.input, request.orderClause, dialogs);
        else
            FindAndDelete(db, request.input, request.orderClause, dialogs);
        return 0;
    }
    if (mode == kModeLetters)
        return ListQueryResults(db, LettersQuery(request.input, request.lengthClause, request.orderClause), run, sink);
    if (mode == kModePalindrome) return ListPalindromes(db, request.lengthClause, request.orderClause, run, sink);
    if (mode == kModeSynogram)
        return ListQueryResults(db, SynogramQuery(request.input, request.lengthClause, request.orderClause), run, sink);
    if (mode == kModeMask) {
        const MaskTest maskTest(request.input);
        RowTest test;
        if (maskTest.hasPlaceholders()) test = [&maskTest](const QString& word) { return maskTest.accepts(word); };
        // The index range holds every match only where the Word field compares in the program's own order.
        const QString query = UsesOwnWordOrder(db)
                                  ? IndexedMaskQuery(request.input, request.lengthClause, request.orderClause)
                                  : MaskQuery(request.input, request.lengthClause, request.orderClause);
        return ListQueryResults(db, query, run, sink, test);
    }
    if (mode == kModeAnagram)
        return ListQueryResults(db, AnagramQuery(request.input, request.lengthClause, request.orderClause), run, sink);
    return 0;
}

}  // namespace lexivo
