#pragma once

// The terminal side of the core's window seams: messages and answers on standard error instead of message
// boxes, a progress line instead of a progress bar, Ctrl-C instead of the stop button.

#include <QElapsedTimer>
#include <QSet>
#include <QString>

#include "common/dialogs.h"
#include "common/run_control.h"
#include "store/current_database.h"

namespace lexivo::cli {

// Standard error: whole lines of messages and, on a terminal, one progress line that the next message
// replaces.
class Terminal {
public:
    Terminal();

    bool interactive() const { return interactive_; }
    // One message line (line breaks inside text are joined into one line).
    void message(const QString& text);
    // Replaces the progress line; only on a terminal.
    void progress(const QString& line);
    void clearProgress();

    // A text with its paragraphs joined into one line.
    static QString oneLine(const QString& text);

private:
    void write(const QByteArray& bytes);
    int width() const;

    bool interactive_;
    bool progressShown_ = false;
};

// Ctrl-C during a long run asks it to stop after the current word; a second Ctrl-C ends the program at once.
void InstallInterruptHandler();
bool Interrupted();

// The core's questions are answered Yes: the user asked for the action by giving the command. Notices go out
// as they are, failures with the program's name.
class TerminalDialogs : public Dialogs {
public:
    explicit TerminalDialogs(Terminal& terminal) : terminal_(terminal) {}

    // Whether a failure has been reported: the command then ends with status 1.
    bool failed() const { return failed_; }
    // A notice that the command has no use for (the empty-database hint when importing, say).
    void silence(const QString& text) { silenced_.insert(text); }
    // Reports a failure of the command line itself.
    void fail(const QString& reason) { failure(reason); }
    // Shows the questions with their answer, where the question itself tells the outcome (the check's).
    void echoQuestions() { echo_ = true; }

    void notice(const QString& text, const QString& title = kProgramTitle) override;
    void failure(const QString& text, const QString& title = kProgramTitle) override;
    bool question(const QString& text, const QString& title = kProgramTitle,
                  DefaultButton defaultButton = DefaultButton::Yes) override;
    // Another program holds the database: waiting is of no use to a script, so the answer is Cancel.
    bool retryCancel(const QString& text, const QString& title = kProgramTitle) override;
    // A failed compaction step is given up (Abort), so the database that is in place is loaded again.
    ErrorChoice abortRetryIgnore(const QString& text, const QString& title) override;
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }

private:
    Terminal& terminal_;
    QSet<QString> silenced_;
    bool failed_ = false;
    bool echo_ = false;
};

// A long run's progress as one line on a terminal (nothing otherwise), shown only once the run has taken a
// moment, so that a quick search does not flicker. The stop flag is Ctrl-C.
class TerminalRun : public RunControl {
public:
    explicit TerminalRun(Terminal& terminal) : terminal_(terminal) {}

    void beginRun(const QString& status) override;
    void endRun() override;
    void setStatus(const QString& text) override;
    void setProgressMaximum(qint64 maximum) override;
    void setProgressValue(qint64 value) override;
    bool stopFlag() const override {
        if (active_ && Interrupted()) stoppedByInterrupt_ = true;
        return !active_ || stopRequested_ || Interrupted();
    }
    // Whether a run has ended early on Ctrl-C (an interrupt after the last word stops nothing).
    bool stoppedByInterrupt() const { return stoppedByInterrupt_; }

    // Ends the run after the current record (standard output has failed, say).
    void requestStop() { stopRequested_ = true; }

protected:
    void showProgress(qint64 progress, const QString& word) override;
    void processEvents() override {}

private:
    void draw();

    Terminal& terminal_;
    QElapsedTimer started_;
    QString status_;
    QString word_;
    qint64 maximum_ = 0;
    qint64 value_ = 0;
    bool active_ = false;
    bool stopRequested_ = false;
    mutable bool stoppedByInterrupt_ = false;
};

// No status line: loading need not count the words, except where a command reports the count it leaves
// (compaction, which loads the file again).
class TerminalView : public DatabaseView {
public:
    void showDatabaseLoaded(const QString&) override {}
    void showNoDatabase() override {}
    void setStatus(const QString& text) override { status = text; }
    void showWindow() override {}
    bool showsWordCount() const override { return countWords; }

    bool countWords = false;
    QString status;
};

}  // namespace lexivo::cli
