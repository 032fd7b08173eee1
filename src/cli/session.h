#pragma once

// What every command of lexivo-cli works with: standard output for its results, the terminal's dialogs, run
// control and view, and the word database it names.

#include <QByteArray>
#include <QString>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/terminal.h"
#include "search/search_run.h"
#include "search/search_session.h"

namespace lexivo::cli {

// Standard output, for results only: UTF-8 lines ended by "\n", written in blocks, and once per time slice of
// a search, so that a pipeline sees the words as they are found. A failed write stops the run it belongs to.
class Output : public WordSink {
public:
    explicit Output(TerminalRun* run = nullptr) : run_(run) {}

    void line(const QString& text);
    void add(const QString& word) override { line(word); }
    void flush() override { writeOut(); }

    // Writes the rest; false when anything could not be written (the reason in error()).
    bool finish() {
        writeOut();
        return error_ == 0;
    }
    QString error() const;

private:
    static constexpr qsizetype kBlockBytes = 64 * 1024;

    void writeOut();

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

// Loads the database named by --db or, without it, the one the window last had open; false when there is none
// to load, which has been reported.
bool OpenDatabase(Session& s, const Invocation& inv);

// Commands that change words say why they cannot before they start.
bool Writable(Session& s);

}  // namespace lexivo::cli
