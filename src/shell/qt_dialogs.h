#pragma once

#include <QPointer>
#include <QWidget>

#include "store/dialogs.h"

namespace lexivo {

// Message boxes and file dialogs of the windows, modal over the given window (or the active one).
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    void notice(const QString& text, const QString& title = kProgramTitle) override;
    void failure(const QString& text, const QString& title = kProgramTitle) override;
    bool question(const QString& text, const QString& title = kProgramTitle) override;
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
