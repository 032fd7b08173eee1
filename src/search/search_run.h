#pragma once

// The work of a search once its pieces are built: the result loop shared by the listing modes, the palindrome
// scan, and find-and-add / find-and-delete. The same code serves the main window and the command line; they
// differ only in the RunControl, the Dialogs and the WordSink they pass.

#include <QString>
#include <functional>
#include <memory>

#include "search/search_query.h"
#include "store/cursor.h"

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

// Decides per row (given the row's Word) whether a listing mode keeps it; no test keeps every row.
using RowTest = std::function<bool(const QString& word)>;

// Lists the Word of every row of query that passes test into sink: progress and the current word through run,
// the stop flag tested after every row. Returns the number of words listed. Throws Error from the engine.
qint64 ListQueryResults(Connection& db, const QString& query, RunControl& run, WordSink& sink,
                        const RowTest& test = {});

// Runs the request's mode on db (the caller has begun the run and a transaction): the listing modes list into
// sink; Add and Delete ask and notify through dialogs. Returns the number of words listed. Throws Error.
qint64 RunSearchMode(Connection& db, const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink);

// A whole search as the window and the command line run it, inside the run the caller has begun: the mode in
// one transaction, committed at the end also after a stop (what was added or deleted before it stays), and
// rolled back when the engine fails, so that a failed run keeps no part of a change. Throws Error.
qint64 RunSearchRequest(Connection& db, const SearchRequest& request, RunControl& run, Dialogs& dialogs,
                        WordSink& sink);

// Find-and-add and find-and-delete of the request's input word, as RunSearchMode dispatches to them.
void FindAndAdd(Connection& db, const SearchRequest& request, Dialogs& dialogs);
void FindAndDelete(Connection& db, const SearchRequest& request, Dialogs& dialogs);

}  // namespace lexivo
