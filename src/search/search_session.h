#pragma once

// The searches on one loaded word database: its connection, the words held in memory for fast searches (the
// word index) and the reading of that index on a thread of its own. The main window owns one, and so does a run
// of the command line; nothing of it is shared beyond its owner.

#include <QString>
#include <memory>
#include <optional>

#include "search/search_query.h"
#include "store/current_database.h"

namespace lexivo {

class Dialogs;
class RunControl;
class WordSink;
class WordSnapshot;

class SearchSession {
public:
    SearchSession();
    ~SearchSession();  // cancels the reading and frees the index before the connection closes
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    // The loaded database: its path and its open connection.
    DatabaseState& database() { return state_; }
    Connection& connection() { return state_.CurrentDatabase; }

    // Starts reading the loaded database's words on a thread of its own, through a connection of its own, so that
    // the searches after it find them in memory. Nothing without a loaded database.
    void startReading();
    // Cancels the reading, frees the index, closes the connection (the path is kept) and reads no more until
    // startReading() is called again.
    void close();
    // Cancels the reading and frees the index; the connection stays as it is.
    void dropIndex();

    // The index of every word when it is read and the database has not changed since the reading began, by this
    // program or another; else null. A database changed since is read again in the background, so that a later
    // search finds it; a search never waits for the reading.
    std::shared_ptr<const WordSnapshot> readyIndex();
    // Waits for the reading under way, or for a new one where the database changed since, and answers as
    // readyIndex() (a benchmark, a test).
    std::shared_ptr<const WordSnapshot> awaitIndex();
    // Whether a reading is under way (for tests: a session replaced while reading leaves none behind).
    bool reading() const;
    // Why the last reading failed (a damaged file), empty when it did not.
    const QString& readingFailure() const { return readingFailure_; }

    // Runs a search as RunSearchRequest does: from the word index where it is ready and holds the mode, else
    // through the database. Throws Error.
    qint64 run(const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink);

private:
    struct Reading;
    void finishReading();
    // A search of a session that keeps no index, run on every word read for it alone; nothing where the
    // database's own path is the quicker or must run it.
    std::optional<qint64> runOnWordsRead(const SearchRequest& request, RunControl& run, WordSink& sink);
    // The search run on the index, or nothing where the database's own path must run it.
    std::optional<qint64> runOnIndex(const WordSnapshot& index, const SearchRequest& request, RunControl& run,
                                     WordSink& sink) const;

    DatabaseState state_;
    std::unique_ptr<Reading> reading_;
    std::shared_ptr<const WordSnapshot> index_;
    Connection::ChangeStamp indexStamp_;
    bool indexOwnOrder_ = false;  // the file's Word field compares in the program's word order
    QString readingFailure_;
    Connection::ChangeStamp failedStamp_;
    bool keepsIndex_ = false;  // set by startReading(): a session that never reads keeps to the database's path
};

}  // namespace lexivo
