#include "search/search_session.h"

#include <atomic>
#include <thread>

#include "search/scan_search.h"
#include "search/search_run.h"
#include "search/word_games.h"

namespace lexivo {

// One reading of the index on a thread of its own, with the database's stamp when it began. The thread only
// writes words and failure, and the session reads them only after joining it.
struct SearchSession::Reading {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    Connection::ChangeStamp stamp;
    std::shared_ptr<const WordSnapshot> words;
    QString failure;
    std::thread thread;

    ~Reading() {
        cancelled = true;
        if (thread.joinable()) thread.join();
    }
};

SearchSession::SearchSession() = default;

SearchSession::~SearchSession() {
    dropIndex();
}

bool SearchSession::reading() const {
    return reading_ != nullptr;
}

void SearchSession::dropIndex() {
    reading_.reset();  // cancels and joins the thread
    index_.reset();
}

void SearchSession::close() {
    dropIndex();
    keepsIndex_ = false;
    readingFailure_.clear();
    state_.CurrentDatabase.close();
}

void SearchSession::startReading() {
    dropIndex();  // one list of words in memory at a time
    keepsIndex_ = true;
    if (!state_.loaded()) return;
    Connection& db = state_.CurrentDatabase;
    auto reading = std::make_unique<Reading>();
    reading->stamp = db.changeStamp();
    // A command of the program that waits for a lock may be waiting for this reading: it stops at once, and the
    // change the command makes has the next search read the words again.
    db.setLockWaitHandler([this] {
        if (reading_) reading_->cancelled = true;
    });
    Reading* r = reading.get();
    r->thread = std::thread([r, path = state_.DatabasePath] {
        try {
            // A connection of this thread's own: the program's connection stays free for the user's commands.
            Connection own = Connection::open(path);
            auto words = std::make_shared<const WordSnapshot>(own, [r] { return !r->cancelled; });
            if (words->complete()) r->words = std::move(words);
        } catch (const Error& e) {
            r->failure = e.message();
        }
        r->done = true;
    });
    reading_ = std::move(reading);
}

void SearchSession::finishReading() {
    if (reading_->thread.joinable()) reading_->thread.join();
    if (reading_->words) {
        index_ = std::move(reading_->words);
        indexStamp_ = reading_->stamp;
    }
    readingFailure_ = reading_->failure;
    failedStamp_ = reading_->stamp;
    reading_.reset();
}

std::shared_ptr<const WordSnapshot> SearchSession::readyIndex() {
    if (!keepsIndex_ || !state_.loaded()) return nullptr;
    const Connection::ChangeStamp stamp = state_.CurrentDatabase.changeStamp();
    if (reading_ && reading_->done) finishReading();
    if (index_ && indexStamp_ == stamp) return index_;
    // A reading begun before a change would only give words that are out of date.
    if (reading_ && reading_->stamp != stamp) startReading();
    // A database the reading found damaged is not read again until it changes: the searches take the database's
    // own path meanwhile, which reports the reason where the user asked.
    if (!reading_ && (readingFailure_.isEmpty() || failedStamp_ != stamp)) startReading();
    return nullptr;
}

std::shared_ptr<const WordSnapshot> SearchSession::awaitIndex() {
    if (reading_) {
        reading_->thread.join();
        reading_->done = true;
    }
    return readyIndex();
}

qint64 SearchSession::run(const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink) {
    // The index holds every word without its level: a search of the common words only reads just those.
    if (IsScanSearch(request) && !request.maxLevel) {
        if (const std::shared_ptr<const WordSnapshot> index = readyIndex())
            return ScanWords(*index, request, run, sink);
    }
    // The index counts letters with their accents: a search that ignores them reads the words it can use.
    if (request.mode && !request.maxLevel && !request.ignoreAccents &&
        (*request.mode == SearchMode::Rack || *request.mode == SearchMode::Phrase)) {
        if (const std::shared_ptr<const WordSnapshot> index = readyIndex()) {
            if (*request.mode == SearchMode::Rack)
                return ListRackWords(*index, request.input, request.minimumLength.value_or(0),
                                     request.maximumLength.value_or(0), run, sink);
            return ListPhrases(*index, request.input, request.phraseWords, request.minimumLength.value_or(0),
                               request.maximumLength.value_or(0), run, sink);
        }
    }
    return RunSearchRequest(state_.CurrentDatabase, request, run, dialogs, sink);
}

}  // namespace lexivo
