#pragma once

// The work of a search once its pieces are built: the result loop shared by the listing modes, the palindrome
// scan, and find-and-add / find-and-delete. The same code serves the main window and the command line; they
// differ only in the RunControl, the Dialogs and the WordSink they pass.

#include <QString>
#include <functional>
#include <memory>

namespace lexivo {

class Connection;
class Cursor;
class Dialogs;
class RunControl;

// Where a search puts the words it lists, in list order. add() is called once per accepted word; flush() after
// each time the run has shown progress and handled input, and once at the end, so that a window can append its
// buffered words in batches while a printer writes each word at once.
class WordSink {
public:
    virtual ~WordSink() = default;
    virtual void add(const QString& word) = 0;
    virtual void flush() {}
    // The result cursor once the run is done with it. Releasing the rows of a large result takes a while (after a
    // stop most of them were never listed), so a window may keep it until it is idle again; by default it goes
    // at once.
    virtual void release(std::unique_ptr<Cursor> cursor) { cursor.reset(); }
};

// A WordSink on a callback for each word (a printer, a collector in tests).
class CallbackSink : public WordSink {
public:
    explicit CallbackSink(std::function<void(const QString&)> onWord) : onWord_(std::move(onWord)) {}
    void add(const QString& word) override { onWord_(word); }

private:
    std::function<void(const QString&)> onWord_;
};

// What the search reads from the search panel, already turned into the mode name and the two clauses.
struct SearchRequest {
    QString mode;  // SearchMode; empty runs nothing
    QString input;
    QString lengthClause;
    QString orderClause;
    // The rack and the phrase bound the letters of each word by numbers (0: no limit), and a phrase's words.
    int minLetters = 0;
    int maxLetters = 0;
    int maxWords = 3;
};

// Decides per row (given the row's Word) whether a listing mode keeps it; no test keeps every row.
using RowTest = std::function<bool(const QString& word)>;

// Lists the Word of every row of query that passes test into sink: progress and the current word through run,
// the stop flag tested after every row. Returns the number of words listed. Throws Error from the engine.
qint64 ListQueryResults(Connection& db, const QString& query, RunControl& run, WordSink& sink,
                        const RowTest& test = {});

// Runs the request's mode on db (the driver has begun the run and the transaction): the listing modes list into
// sink; Add and Delete ask and notify through dialogs. Returns the number of words listed. Throws Error.
qint64 RunSearchMode(Connection& db, const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink);

// The single modes, as RunSearchMode dispatches to them.
qint64 ListPalindromes(Connection& db, const QString& lengthClause, const QString& orderClause, RunControl& run,
                       WordSink& sink);
void FindAndAdd(Connection& db, const QString& word, const QString& orderClause, Dialogs& dialogs);
void FindAndDelete(Connection& db, const QString& word, const QString& orderClause, Dialogs& dialogs);

// The notice for a word the Word field cannot hold.
QString WordTooLongMessage(int characters);

}  // namespace lexivo
