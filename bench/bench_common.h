#pragma once

// Shared by the benchmark programs: a RunControl without a window, timing and memory figures, and a word
// database filled from a word list through the program's own import.

#include <sys/resource.h>
#include <time.h>

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/dialogs.h"
#include "common/run_control.h"
#include "store/current_database.h"
#include "wordlists/import.h"

namespace bench {

class QuietRun : public lexivo::RunControl {
public:
    void beginRun(const QString&) override { stop_ = false; }
    void endRun() override { stop_ = true; }
    void setStatus(const QString&) override {}
    void setProgressMaximum(qint64) override {}
    void setProgressValue(qint64) override {}
    bool stopFlag() const override { return stop_; }

protected:
    void showProgress(qint64, const QString&) override {}
    void processEvents() override {}

private:
    bool stop_ = true;
};

class QuietDialogs : public lexivo::Dialogs {
public:
    QString last;
    void notice(const QString& text, const QString& = lexivo::kProgramTitle) override { last = text; }
    void failure(const QString& text, const QString& = lexivo::kProgramTitle) override {
        last = text;
        std::fprintf(stderr, "failure: %s\n", qPrintable(text));
    }
    bool question(const QString&, const QString& = lexivo::kProgramTitle, DefaultButton = DefaultButton::Yes) override {
        return true;
    }
    bool retryCancel(const QString&, const QString& = lexivo::kProgramTitle) override { return false; }
    ErrorChoice abortRetryIgnore(const QString&, const QString&) override { return ErrorChoice::Abort; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
};

inline double millisecondsOf(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline long peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The processor time of this process: beside the wall time it shows what a run itself costs when other
// programs compete for the machine.
inline double cpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A DatabaseView without a window; it keeps the status text (the word count after loading).
struct NoView : lexivo::DatabaseView {
    QString status;
    void showDatabaseLoaded(const QString&) override {}
    void showNoDatabase() override {}
    void setStatus(const QString& text) override { status = text; }
    void showWindow() override {}
};

// Loads the word database at path into state, as the main window would have it.
inline bool OpenDatabase(lexivo::DatabaseState& state, const QString& path) {
    QuietDialogs dialogs;
    NoView view;
    state.DatabasePath = path;
    return lexivo::LoadDatabase(state, view, dialogs);
}

// A new, empty word database at path, made as File New makes one and loaded into state.
inline void CreateEmptyDatabase(lexivo::DatabaseState& state, const QString& path) {
    QFile::remove(path);
    QuietDialogs dialogs;
    lexivo::Connection created;
    lexivo::OpenOrCreateDatabase(created, path, dialogs);
    created.close();
    OpenDatabase(state, path);
    lexivo::CompleteNewDatabase(state.CurrentDatabase, dialogs);
}

// A new word database at path filled from list by the import. Returns the import's time in milliseconds, and
// its processor time in *cpu when given.
inline double CreateAndImport(const QString& path, const QString& list, double* cpu = nullptr) {
    lexivo::DatabaseState state;
    CreateEmptyDatabase(state, path);
    QuietDialogs dialogs;
    QuietRun run;
    QElapsedTimer timer;
    timer.start();
    const double cpu0 = cpuMilliseconds();
    lexivo::ImportWords(
        state.CurrentDatabase, list, false, [] { return lexivo::WordFilter{}; }, run, dialogs);
    const double ms = millisecondsOf(timer);
    if (cpu) *cpu = cpuMilliseconds() - cpu0;
    std::fprintf(stderr, "%s\n", qPrintable(dialogs.last));
    return ms;
}

}  // namespace bench
