#include "cli/commands.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/lexicon_commands.h"
#include "cli/terminal.h"
#include "common/settings_file.h"
#include "search/scan_search.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"
#include "search/word_games.h"
#include "store/compaction.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/maintenance.h"
#include "store/schema.h"
#include "store/statistics.h"
#include "store/word_editing.h"
#include "store/write_access.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo::cli {

namespace {

// Standard output, for results only: UTF-8 lines ended by "\n", written in blocks, and once per time slice of
// a search, so that a pipeline sees the words as they are found. A failed write stops the run it belongs to.
class Output : public WordSink {
public:
    explicit Output(TerminalRun* run = nullptr) : run_(run) {}

    void line(const QString& text) {
        buffer_ += text.toUtf8();
        buffer_ += '\n';
        if (buffer_.size() >= kBlockBytes) writeOut();
    }
    void add(const QString& word) override { line(word); }
    void flush() override { writeOut(); }

    // Writes the rest; false when anything could not be written (the reason in error()).
    bool finish() {
        writeOut();
        return error_ == 0;
    }
    QString error() const { return QString::fromLocal8Bit(std::strerror(error_)); }

private:
    static constexpr qsizetype kBlockBytes = 64 * 1024;

    void writeOut() {
        const char* data = buffer_.constData();
        qsizetype left = error_ == 0 ? buffer_.size() : 0;
        while (left > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : ENOSPC;
                if (run_) run_->requestStop();
                break;
            }
            data += n;
            left -= n;
        }
        buffer_.truncate(0);
    }

    TerminalRun* run_;
    QByteArray buffer_;
    int error_ = 0;
};

// What one command works with: the terminal's dialogs, run control and view, and the loaded database.
struct Session {
    Terminal terminal;
    TerminalDialogs dialogs{terminal};
    TerminalRun run{terminal};
    TerminalView view;
    // The command line runs one command per process: its session never reads the words into memory, since for
    // one search the database's own path is the quicker.
    SearchSession search;
    DatabaseState& state = search.database();

    Connection& db() { return state.CurrentDatabase; }
    void fail(const QString& reason) { dialogs.fail(reason); }

    // A reported failure decides the status, then a stop by Ctrl-C.
    int status(int outcome) const {
        if (dialogs.failed() || outcome == kFailure) return kFailure;
        if (run.stoppedByInterrupt()) return kInterrupted;
        return outcome;
    }
};

// The database named by --db or, without it, the one the window last had open: its settings file is beside
// the program (both programs are built into one folder) or in the configuration folder.
bool openDatabase(Session& s, const Invocation& inv) {
    QString path = inv.database;
    if (path.isEmpty()) {
        path = SettingsFile(QCoreApplication::applicationDirPath()).read();
        if (path.isEmpty()) {
            s.fail(
                QStringLiteral("no word database: the Lexivo window has none on record, so name one with --db FILE"));
            return false;
        }
        if (!QFileInfo::exists(path)) {
            s.fail(QStringLiteral("the word database %1, the one the Lexivo window last had open, does not exist")
                       .arg(path));
            return false;
        }
    } else if (!QFileInfo::exists(path)) {
        s.fail(QStringLiteral("the word database %1 does not exist").arg(path));
        return false;
    }
    if (QFileInfo(path).isDir()) {
        s.fail(QStringLiteral("Unable to open the word database %1. It is a folder.").arg(path));
        return false;
    }
    s.state.DatabasePath = path;
    try {
        LoadDatabase(s.state, s.view, s.dialogs);
    } catch (const DesignAccessCancelled&) {
        // The reason has been reported with the question.
        s.state.CurrentDatabase.close();
        return false;
    } catch (const Error& e) {
        s.fail(FailureReason(e));
        return false;
    }
    return s.state.loaded() && !s.dialogs.failed();
}

// Commands that change words say why they cannot before they start.
bool writable(Session& s) {
    const QString problem = WriteProblem(s.db());
    if (problem.isEmpty()) return true;
    s.fail(problem);
    return false;
}

std::optional<SearchMode> searchMode(Command command) {
    switch (command) {
        case Command::Anagram:
            return SearchMode::Anagram;
        case Command::Synogram:
            return SearchMode::Synogram;
        case Command::Letters:
            return SearchMode::Letters;
        case Command::Mask:
            return SearchMode::Mask;
        case Command::Palindromes:
            return SearchMode::Palindrome;
        case Command::Wordle:
            return SearchMode::Wordle;
        case Command::Pattern:
            return SearchMode::Pattern;
        case Command::Rack:
            return SearchMode::Rack;
        case Command::Phrase:
            return SearchMode::Phrase;
        default:
            return std::nullopt;
    }
}

int search(Session& s, const Invocation& inv) {
    SearchRequest request;
    request.mode = searchMode(inv.command);
    if (inv.command != Command::Palindromes) request.input = inv.operand;
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
    if (!openDatabase(s, inv)) return kFailure;
    Output out(&s.run);
    // In a rack search a word scores its best laying from the rack.
    const LetterRack rack(request.input, true);
    std::optional<ScoringSink> scored;
    if (scoring.active())
        scored.emplace(out, *values, scoring, inv.command == Command::Rack ? &rack : nullptr);
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

int newDatabase(Session& s, const Invocation& inv) {
    const QString& path = inv.operand;
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        if (!inv.force) {
            s.fail(
                QStringLiteral("%1 exists already; give --force to replace it with an empty word database").arg(path));
            return kFailure;
        }
        QFile old(path);
        if (!old.remove()) {
            s.fail(QStringLiteral("%1 could not be deleted: %2").arg(path, old.errorString()));
            return kFailure;
        }
    }
    s.dialogs.silence(kEmptyDatabaseMessage);
    s.state.DatabasePath = path;
    // As File New: a stale backup that cannot be removed has been reported, and the new database is loaded all
    // the same; one that could not be created does not load.
    OpenOrCreateDatabase(s.db(), path, s.dialogs);
    // A file that could not be created or opened has been reported; loading it would only say it again.
    if (s.dialogs.failed()) return kFailure;
    if (!LoadDatabase(s.state, s.view, s.dialogs) || s.dialogs.failed()) return kFailure;
    CompleteNewDatabase(s.db(), s.dialogs);
    s.terminal.message(QStringLiteral("Created the empty word database %1.").arg(path));
    return s.status(kSuccess);
}

int importList(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!openDatabase(s, inv) || !writable(s)) return kFailure;
    const WordFilter filter = inv.filter;
    const ImportResult result = ImportWords(
        s.db(), inv.operand, inv.append, [&filter] { return filter; }, s.run, s.dialogs);
    return s.status(result.ok() ? kSuccess : kFailure);
}

int exportList(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!openDatabase(s, inv)) return kFailure;
    const WordFilter filter = inv.filter;
    const ExportResult result = ExportWords(
        s.db(), inv.operand, inv.append, [&filter] { return filter; }, s.run, s.dialogs);
    return s.status(result.ok() ? kSuccess : kFailure);
}

int addWord(Session& s, const Invocation& inv) {
    if (!openDatabase(s, inv) || !writable(s)) return kFailure;
    return s.status(AddWord(s.db(), inv.operand, s.dialogs) == AddResult::Added ? kSuccess : kFailure);
}

int deleteWord(Session& s, const Invocation& inv) {
    if (!openDatabase(s, inv) || !writable(s)) return kFailure;
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

int check(Session& s, const Invocation& inv) {
    s.dialogs.echoQuestions();
    if (!openDatabase(s, inv)) return kFailure;
    const CheckResult result = CheckDatabase(s.db(), s.run, s.dialogs);
    return s.status(result == CheckResult::Sound || result == CheckResult::Rebuilt ? kSuccess : kFailure);
}

int rebuild(Session& s, const Invocation& inv) {
    s.dialogs.echoQuestions();
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!openDatabase(s, inv)) return kFailure;
    const RebuildResult result =
        inv.quick ? QuickRebuild(s.db(), s.run, s.dialogs) : CompleteRebuild(s.db(), s.run, s.dialogs);
    if (!result.ok()) return kFailure;
    s.terminal.message(QStringLiteral("Re-build %1: keys written for %2 word(s).")
                           .arg(result.aborted ? QStringLiteral("stopped") : QStringLiteral("complete"))
                           .arg(result.rowsWritten));
    return s.status(kSuccess);
}

int compact(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!openDatabase(s, inv)) return kFailure;
    s.view.countWords = true;
    const QString workFolder = SettingsFile(QCoreApplication::applicationDirPath()).writableFolder();
    const CompactionResult result = CompactDatabase(s.state, s.view, s.dialogs, workFolder);
    if (!result.compacted || !result.loaded) return kFailure;
    s.terminal.message(s.view.status);
    return s.status(kSuccess);
}

int stats(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!openDatabase(s, inv)) return kFailure;
    Output out;
    out.line(StatisticsText(s.state));
    if (!out.finish()) {
        s.fail(QStringLiteral("the statistics could not be written: %1").arg(out.error()));
        return kFailure;
    }
    return s.status(kSuccess);
}

int keys(Session& s, const Invocation& inv) {
    const WordKeys keys = KeysOf(inv.operand);
    Output out;
    out.line(keys.sorted + QLatin1Char('\t') + keys.letters);
    if (!out.finish()) {
        s.fail(QStringLiteral("the keys could not be written: %1").arg(out.error()));
        return kFailure;
    }
    return kSuccess;
}

int dispatch(Session& s, const Invocation& inv) {
    switch (inv.command) {
        case Command::New:
            return newDatabase(s, inv);
        case Command::Import:
            return importList(s, inv);
        case Command::Export:
            return exportList(s, inv);
        case Command::Anagram:
        case Command::Synogram:
        case Command::Letters:
        case Command::Mask:
        case Command::Palindromes:
        case Command::Wordle:
        case Command::Pattern:
        case Command::Rack:
        case Command::Phrase:
            return search(s, inv);
        case Command::Add:
            return addWord(s, inv);
        case Command::Delete:
            return deleteWord(s, inv);
        case Command::Check:
            return check(s, inv);
        case Command::Rebuild:
            return rebuild(s, inv);
        case Command::Compact:
            return compact(s, inv);
        case Command::Stats:
            return stats(s, inv);
        case Command::Keys:
            return keys(s, inv);
        case Command::Define:
            return DefineWord(inv, s.terminal, s.dialogs);
        case Command::Levels:
            s.dialogs.silence(kEmptyDatabaseMessage);
            if (!openDatabase(s, inv)) return kFailure;
            return s.status(StoreLevels(s.db(), inv, s.terminal, s.dialogs, s.run));
        case Command::None:
            break;
    }
    return kUsageError;
}

}  // namespace

int RunCommand(const Invocation& invocation) {
    Session session;
    try {
        return dispatch(session, invocation);
    } catch (const DesignAccessCancelled&) {
        // Reported with the question that was answered Cancel.
    } catch (const Error& e) {
        session.run.endRun();
        session.fail(FailureReason(e));
    }
    return kFailure;
}

}  // namespace lexivo::cli
