// The program's own commands, run in a process of their own so that a fault trial can kill it, starve it of disk
// space or run it as a user who may not write the database. It answers every question with Yes (Abort in the
// "Error!" box) and prints one line per event to standard output, for the trial to read:
//
//   committed N             another connection sees N rows (only committed rows are visible to it)
//   dialog KIND TEXT        a message shown (notice, failure, question, error); new lines written as \n
//   state idle|running      the run state after a command
//   error TEXT              an engine failure that reached the command's caller (the search driver reports these)
//   done COMMAND            the command has returned
//
// Usage: reliability_child [--batch ROWS] [--report-commits] DATABASE COMMAND [ARG...] [\; COMMAND...]

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "search/search_query.h"
#include "search/search_run.h"
#include "store/compaction.h"
#include "store/current_database.h"
#include "store/dialogs.h"
#include "store/engine.h"
#include "store/maintenance.h"
#include "store/run_control.h"
#include "store/word_editing.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo {
namespace {

// The mode a command names: "Anagram", "Synogram", "Palindrome", "Mask", "Add", "Delete" or "Letters".
std::optional<SearchMode> SearchModeNamed(const QString& name) {
    static const char* const kNames[] = {"Anagram", "Synogram", "Palindrome", "Mask", "Add", "Delete", "Letters"};
    for (int i = 0; i < 7; ++i)
        if (name == QLatin1String(kNames[i])) return SearchModeOfButton(i);
    return std::nullopt;
}

void say(const char* kind, const QString& text = {}) {
    QString line = text;
    line.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    std::printf("%s%s%s\n", kind, line.isEmpty() ? "" : " ", line.toUtf8().constData());
    std::fflush(stdout);
}

class AnsweringDialogs : public Dialogs {
public:
    void notice(const QString& text, const QString&) override { say("dialog notice", text); }
    void failure(const QString& text, const QString&) override { say("dialog failure", text); }
    bool question(const QString& text, const QString&, DefaultButton) override {
        say("dialog question", text);
        return true;
    }
    bool retryCancel(const QString& text, const QString&) override {
        say("dialog retrycancel", text);
        return false;
    }
    ErrorChoice abortRetryIgnore(const QString& text, const QString&) override {
        say("dialog error", text);
        return ErrorChoice::Abort;
    }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
};

class PrintingView : public DatabaseView {
public:
    void showDatabaseLoaded(const QString& fileName) override { say("view loaded", fileName); }
    void showNoDatabase() override { say("view none"); }
    void setStatus(const QString& text) override { say("status", text); }
    void showWindow() override {}
};

// A run without a window. With a reporter it asks a second connection, at every time slice, how many rows it
// can see: rows another connection sees are committed, so the trial learns which batches were durable before
// it killed the process.
class ChildRun : public RunControl {
public:
    void beginRun(const QString&) override {
        running_ = true;
        stop_ = false;
    }
    void endRun() override {
        running_ = false;
        stop_ = true;
    }
    void setStatus(const QString&) override {}
    void setProgressMaximum(qint64) override {}
    void setProgressValue(qint64) override {}
    bool stopFlag() const override { return stop_; }
    bool running() const { return running_; }

    std::optional<Connection> reporter;
    qint64 reported = -1;

protected:
    void showProgress(qint64, const QString&) override {}
    void processEvents() override {
        if (!reporter) return;
        try {
            const qint64 seen = reporter->scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary]"));
            if (seen != reported) {
                reported = seen;
                say("committed", QString::number(seen));
            }
        } catch (const Error&) {
            // The writer holds the file for a moment (its commit): ask again at the next slice.
        }
    }

private:
    bool running_ = false;
    bool stop_ = true;
};

int run(QStringList args) {
    int batchRows = 0;
    bool reportCommits = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        reportCommits = reportCommits || option == QLatin1String("--report-commits");
        if (option == QLatin1String("--batch")) batchRows = args.takeFirst().toInt();
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: reliability_child [options] DATABASE COMMAND [ARG...] [; COMMAND...]\n");
        return 2;
    }
    if (batchRows > 0) BatchedTransaction::setDefaultLimits(batchRows, 1000000000);

    AnsweringDialogs dialogs;
    PrintingView view;
    ChildRun runControl;
    DatabaseState state;
    state.DatabasePath = args.takeFirst();
    const bool loaded = LoadDatabase(state, view, dialogs);
    say("done", QStringLiteral("load"));
    if (!loaded) return 0;
    if (reportCommits) {
        runControl.reporter.emplace(Connection::open(state.DatabasePath));
        runControl.reporter->setBusyTimeout(0);
    }
    Connection& db = state.CurrentDatabase;
    const auto noFilter = [] { return WordFilter(); };

    while (!args.isEmpty()) {
        QStringList command;
        while (!args.isEmpty()) {
            const QString word = args.takeFirst();
            if (word == QLatin1String(";")) break;
            command << word;
        }
        if (command.isEmpty()) continue;
        const QString name = command.takeFirst();
        auto arg = [&](int i) { return i < command.size() ? command.at(i) : QString(); };
        QElapsedTimer timer;
        timer.start();
        try {
            if (name == QLatin1String("import")) {
                ImportWords(db, arg(0), arg(1) == QLatin1String("1"), noFilter, runControl, dialogs);
            } else if (name == QLatin1String("export")) {
                ExportWords(db, arg(0), arg(1) == QLatin1String("1"), noFilter, runControl, dialogs);
            } else if (name == QLatin1String("rebuild")) {
                CompleteRebuild(db, runControl, dialogs);
            } else if (name == QLatin1String("quick")) {
                QuickRebuild(db, runControl, dialogs);
            } else if (name == QLatin1String("check")) {
                CheckDatabase(db, runControl, dialogs);
            } else if (name == QLatin1String("compact")) {
                CompactDatabase(state, view, dialogs, arg(0));
            } else if (name == QLatin1String("add")) {
                AddWord(db, arg(0), dialogs);
            } else if (name == QLatin1String("delete")) {
                DeleteWords(db, {arg(0)}, dialogs);
            } else if (name == QLatin1String("clear")) {
                ClearWords(db, dialogs);
            } else if (name == QLatin1String("count")) {
                say("count", QString::number(WordCount(db)));
            } else if (name == QLatin1String("search")) {
                // As the search driver runs a mode: one transaction, committed at the end.
                SearchRequest request;
                request.mode = SearchModeNamed(arg(0));
                request.input = arg(1);
                qint64 found = 0;
                CallbackSink sink([&](const QString&) { ++found; });
                runControl.beginRun(kStartingSearch);
                try {
                    RunSearchRequest(db, request, runControl, dialogs, sink);
                } catch (const Error&) {
                    runControl.endRun();
                    throw;
                }
                runControl.endRun();
                say("found", QString::number(found));
            } else {
                say("error", QStringLiteral("unknown command ") + name);
            }
        } catch (const Error& e) {
            say("error", e.message());
        }
        say("state", runControl.running() ? QStringLiteral("running") : QStringLiteral("idle"));
        say("done", name + QStringLiteral(" ") + QString::number(timer.elapsed()));
        if (!state.CurrentDatabase.isOpen()) break;  // a compaction that could not reload
    }
    return 0;
}

}  // namespace
}  // namespace lexivo

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return lexivo::run(args);
}
