#pragma once

#include <QString>

namespace lexivo {

inline const QString kProgramTitle = QStringLiteral("Lexivo");

// Every message box, question and file dialog goes through this interface, so that the core never shows a
// window itself: the windows implement it with real dialogs, tests with a script that records the texts and
// gives queued answers, the command line with standard error and fixed answers.
class Dialogs {
public:
    enum class ErrorChoice { Abort, Retry, Ignore };
    // The button that Enter presses. Questions whose Yes destroys words have No as their default.
    enum class DefaultButton { Yes, No };

    virtual ~Dialogs() = default;

    // A notice with an OK button only and no icon.
    virtual void notice(const QString& text, const QString& title = kProgramTitle) = 0;
    // A failure reported with its reason (OK button, a warning icon).
    virtual void failure(const QString& text, const QString& title = kProgramTitle) = 0;
    // A question with Yes and No buttons and no icon; true on Yes.
    virtual bool question(const QString& text, const QString& title = kProgramTitle,
                          DefaultButton defaultButton = DefaultButton::Yes) = 0;
    // A question with Retry and Cancel buttons; true on Retry.
    virtual bool retryCancel(const QString& text, const QString& title = kProgramTitle) = 0;
    // An error box with the critical icon and Abort, Retry and Ignore buttons.
    virtual ErrorChoice abortRetryIgnore(const QString& text, const QString& title) = 0;
    // The save and open file dialogs; the chosen path, or the empty text when the user cancels.
    virtual QString saveFileName(const QString& preset, const QString& defaultSuffix) = 0;
    virtual QString openFileName(const QString& preset, const QString& defaultSuffix) = 0;
};

}  // namespace lexivo
