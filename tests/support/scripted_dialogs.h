#pragma once

#include <QtCore>
#include <deque>
#include <functional>
#include <vector>

#include "common/dialogs.h"

namespace lexivo::test {

// A Dialogs that records every text shown and gives the answers queued for it, in order. A question without a
// queued answer fails the test (and answers No), so that an unexpected question never passes unnoticed.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Notice, Failure, Question, RetryCancel, AbortRetryIgnore, SaveFile, OpenFile };
    struct Shown {
        Kind kind;
        QString text;
        QString title;
        DefaultButton defaultButton = DefaultButton::Yes;  // of a question
    };

    // Answers, consumed in order by whatever asks next (Yes and No also answer Retry and Cancel).
    ScriptedDialogs& yes();
    ScriptedDialogs& no();
    ScriptedDialogs& choose(ErrorChoice choice);
    ScriptedDialogs& fileName(const QString& path);  // an empty path cancels the file dialog
    // Runs when the next dialog is shown (before it answers); lets a test act "while the box is open".
    ScriptedDialogs& onNextShown(std::function<void()> action);

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    // The questions shown with No as their default button.
    QStringList questionsDefaultingToNo() const;
    QString lastText() const { return shown_.empty() ? QString() : shown_.back().text; }
    void clear() { shown_.clear(); }

    void notice(const QString& text, const QString& title = kProgramTitle) override;
    void failure(const QString& text, const QString& title = kProgramTitle) override;
    bool question(const QString& text, const QString& title = kProgramTitle,
                  DefaultButton defaultButton = DefaultButton::Yes) override;
    bool retryCancel(const QString& text, const QString& title = kProgramTitle) override;
    ErrorChoice abortRetryIgnore(const QString& text, const QString& title) override;
    QString saveFileName(const QString& preset, const QString& defaultSuffix) override;
    QString openFileName(const QString& preset, const QString& defaultSuffix) override;

private:
    struct Answer {
        enum class Type { Yes, No, Choice, File };
        Answer(Type t, ErrorChoice c = ErrorChoice::Abort, QString p = {}) : type(t), choice(c), path(std::move(p)) {}
        Type type;
        ErrorChoice choice;
        QString path;
    };
    Answer take(Kind kind, const QString& text, const QString& title, DefaultButton defaultButton = DefaultButton::Yes);

    std::vector<Shown> shown_;
    std::deque<Answer> answers_;
    std::deque<std::function<void()>> actions_;
};

}  // namespace lexivo::test
