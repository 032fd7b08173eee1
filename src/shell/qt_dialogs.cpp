#include "shell/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>

namespace lexivo {

namespace {

// A box shown during a long run must not show the busy pointer, or the user cannot tell that it waits.
class NormalPointer {
public:
    NormalPointer() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalPointer() { QApplication::restoreOverrideCursor(); }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;
};

QMessageBox::StandardButton showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    NormalPointer pointer;
    QMessageBox box(icon, title.isEmpty() ? kProgramTitle : title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtDialogs::keepToolkitSettingsTemporary() {
    static QTemporaryDir scratch;
    if (scratch.isValid()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path());
    }
}

QWidget* QtDialogs::parentWindow() const {
    return parent_ ? parent_.data() : QApplication::activeWindow();
}

void QtDialogs::notice(const QString& text, const QString& title) {
    showBox(parentWindow(), QMessageBox::NoIcon, title, text, QMessageBox::Ok);
}

void QtDialogs::failure(const QString& text, const QString& title) {
    showBox(parentWindow(), QMessageBox::Warning, title, text, QMessageBox::Ok);
}

bool QtDialogs::question(const QString& text, const QString& title, DefaultButton defaultButton) {
    return showBox(parentWindow(), QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                   defaultButton == DefaultButton::No ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtDialogs::retryCancel(const QString& text, const QString& title) {
    return showBox(parentWindow(), QMessageBox::NoIcon, title, text, QMessageBox::Retry | QMessageBox::Cancel) ==
           QMessageBox::Retry;
}

Dialogs::ErrorChoice QtDialogs::abortRetryIgnore(const QString& text, const QString& title) {
    switch (showBox(parentWindow(), QMessageBox::Critical, title, text,
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore)) {
        case QMessageBox::Retry:
            return ErrorChoice::Retry;
        case QMessageBox::Ignore:
            return ErrorChoice::Ignore;
        default:
            return ErrorChoice::Abort;
    }
}

QString QtDialogs::saveFileName(const QString& preset, const QString& defaultSuffix) {
    return fileName(true, preset, defaultSuffix);
}

QString QtDialogs::openFileName(const QString& preset, const QString& defaultSuffix) {
    return fileName(false, preset, defaultSuffix);
}

QString QtDialogs::fileName(bool save, const QString& preset, const QString& defaultSuffix) {
    NormalPointer pointer;
    QFileDialog dialog(parentWindow());
    dialog.setWindowTitle(kProgramTitle);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks its own "File exists, overwrite?" question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!defaultSuffix.isEmpty())
        dialog.setNameFilters(
            {QStringLiteral("Word databases (*.%1)").arg(defaultSuffix), QStringLiteral("All files (*)")});
    dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace lexivo
