#pragma once

#include <QPointer>
#include <QWidget>

#include "common/dialogs.h"

namespace lexivo {

// Message boxes and file dialogs of the windows, modal over the given window (or the active one).
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    // Qt's file dialog keeps its history and last folder in the user's QtProject.conf, whatever it is asked.
    // Nothing but the program's own settings file is to persist: call once, before any file dialog, and the
    // toolkit's settings go to a scratch folder that is removed when the program ends.
    static void keepToolkitSettingsTemporary();

    void notice(const QString& text, const QString& title = kProgramTitle) override;
    void failure(const QString& text, const QString& title = kProgramTitle) override;
    bool question(const QString& text, const QString& title = kProgramTitle,
                  DefaultButton defaultButton = DefaultButton::Yes) override;
    bool retryCancel(const QString& text, const QString& title = kProgramTitle) override;
    ErrorChoice abortRetryIgnore(const QString& text, const QString& title) override;
    QString saveFileName(const QString& preset, const QString& defaultSuffix) override;
    QString openFileName(const QString& preset, const QString& defaultSuffix) override;

private:
    QWidget* parentWindow() const;
    QString fileName(bool save, const QString& preset, const QString& defaultSuffix);

    QPointer<QWidget> parent_;
};

}  // namespace lexivo
