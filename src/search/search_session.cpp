#include "search/search_session.h"

#include <atomic>
#include <thread>

#include "common/run_control.h"
#include "search/index_search.h"
#include "search/scan_search.h"
#include "search/search_run.h"
#include "search/word_games.h"
#include "search/word_index.h"
#include "search/word_lookup.h"
#include "store/schema.h"
#include "store/transaction.h"
#include "store/word_order.h"

namespace lexivo {

// One reading of the index on a thread of its own, with the database's stamp when it began. The thread only
// writes words and failure, and the session reads them only after joining it.
struct SearchSession::Reading {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    Connection::ChangeStamp stamp;
    std::shared_ptr<const WordSnapshot> words;
    bool ownOrder = false;
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
            const auto keepGoing = [r] { return !r->cancelled; };
            auto words = std::make_shared<const WordSnapshot>(own, keepGoing);
            // The words compare and sort as the database compares them only where its Word field is in the
            // program's own order.
            r->ownOrder = UsesOwnWordOrder(own);
            // The look-up tables too, so that no search of the window waits for them. A reading cancelled at any
            // step leaves nothing: the session reads again when it next needs the words.
            if (words->complete() && words->makeLookup(keepGoing) && !r->cancelled) r->words = std::move(words);
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
        indexOwnOrder_ = reading_->ownOrder;
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
    // A database changed since the reading begins a new one here.
    if (std::shared_ptr<const WordSnapshot> index = readyIndex()) return index;
    if (reading_) {
        reading_->thread.join();
        reading_->done = true;
    }
    return readyIndex();
}

qint64 SearchSession::run(const SearchRequest& request, RunControl& run, Dialogs& dialogs, WordSink& sink) {
    const bool listing = request.mode && SearchModeRowOf(*request.mode).listsWords;
    if (listing && keepsIndex_) {
        if (const std::shared_ptr<const WordSnapshot> index = readyIndex()) {
            if (const std::optional<qint64> listed = runOnIndex(*index, request, run, sink)) return *listed;
        }
    }
    if (listing && !keepsIndex_) {
        if (const std::optional<qint64> listed = runOnWordsRead(request, run, sink)) return *listed;
    }
    return RunSearchRequest(state_.CurrentDatabase, request, run, dialogs, sink);
}

std::optional<qint64> SearchSession::runOnWordsRead(const SearchRequest& request, RunControl& run, WordSink& sink) {
    // The searches that put every word to a test of their own (letters in a word, a mask that starts with a
    // wildcard, the palindromes with a look-up per word) take longer through the database than reading every word
    // and testing them in memory; the others find their words on an index of the database at once.
    if (!state_.loaded() || request.ignoreAccents) return std::nullopt;
    const SearchMode mode = *request.mode;
    const bool scansAll = mode == SearchMode::Letters || mode == SearchMode::Palindrome ||
                          (mode == SearchMode::Mask && MaskIndexRange(request.input).isEmpty());
    Connection& db = state_.CurrentDatabase;
    if (!scansAll || !UsesOwnWordOrder(db)) return std::nullopt;
    // A search of the common words only reads just those words, in one pass over the table that holds their
    // levels; the palindromes look the reversals up among all words, and so read them all with their levels.
    SearchRequest asked = request;
    const bool onlyCommon = request.maxLevel && mode != SearchMode::Palindrome;
    if (onlyCommon && !FieldExists(db, QStringLiteral("Dictionary"), kLevelField)) return std::nullopt;
    if (onlyCommon) asked.maxLevel.reset();
    Transaction transaction(db);  // the words and their levels of one moment
    const WordSnapshot words(
        db,
        [&run] {
            run.step(0, kStartingSearch);
            return !run.stopFlag();
        },
        nullptr, onlyCommon ? request.maxLevel : std::nullopt, asked.maxLevel.has_value());
    if (!words.complete()) {  // stopped before a word was listed
        sink.flush();
        return 0;
    }
    const bool levels = !asked.maxLevel || (words.hasLevels() && words.levelsExact());
    if (!levels || !IndexListsRequest(words, asked)) return std::nullopt;
    const qint64 listed = ListFromIndex(words, asked, run, sink);
    transaction.commit();
    return listed;
}

std::optional<qint64> SearchSession::runOnIndex(const WordSnapshot& index, const SearchRequest& request,
                                                RunControl& run, WordSink& sink) const {
    // The index lists what the database lists where it holds every row as the database holds it, and every level
    // exactly for a search of the common words only.
    const bool levels = !request.maxLevel || (index.hasLevels() && index.levelsExact());
    if (!index.holdsEveryRow() || !levels) return std::nullopt;
    if (IsScanSearch(request)) return ScanWords(index, request, run, sink);
    if (indexOwnOrder_ && IndexListsRequest(index, request)) return ListFromIndex(index, request, run, sink);
    // The word games of the common words only read just those words; the index counts letters with their
    // accents, so a word game that ignores them reads the words it can use.
    if (request.maxLevel || request.ignoreAccents) return std::nullopt;
    if (*request.mode == SearchMode::Rack)
        return ListRackWords(index, request.input, request.minimumLength.value_or(0),
                             request.maximumLength.value_or(0), run, sink);
    if (*request.mode == SearchMode::Phrase)
        return ListPhrases(index, request.input, request.phraseWords, request.minimumLength.value_or(0),
                           request.maximumLength.value_or(0), run, sink);
    return std::nullopt;
}

}  // namespace lexivo
