#include "shell/long_run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "common/dialogs.h"

namespace lexivo {

namespace {
const QString kCloseCaption = QStringLiteral("&Close");
const QString kStopCaption = QStringLiteral("&Stop");
}  // namespace

LongRun::LongRun(const Controls& controls, Dialogs& dialogs, QObject* parent)
    : QObject(parent), controls_(controls), dialogs_(dialogs) {
    QObject::connect(controls_.closeButton, &QAbstractButton::clicked, this, &LongRun::closeOrStop);
}

void LongRun::beginRun(const QString& status) {
    if (!active_) QApplication::setOverrideCursor(Qt::WaitCursor);
    active_ = true;
    StopFlag = false;
    controls_.closeButton->setText(kStopCaption);
    setStatus(status);
    if (onBegin_) onBegin_();
}

void LongRun::endRun() {
    if (active_) QApplication::restoreOverrideCursor();
    active_ = false;
    StopFlag = true;
    controls_.closeButton->setText(kCloseCaption);
    if (onEnd_) onEnd_();
    if (closePending_) {
        closePending_ = false;
        // Closed from the event loop, once the run's handler has returned and nothing uses the database.
        QTimer::singleShot(0, this, &LongRun::closeWindow);
    }
}

void LongRun::setStatus(const QString& text) {
    if (controls_.status->text() == text) return;
    controls_.status->setText(text);
    controls_.status->repaint();
}

void LongRun::setProgressMaximum(qint64 maximum) {
    constexpr qint64 kIntMax = std::numeric_limits<int>::max();
    progressScale_ = maximum > kIntMax ? maximum / kIntMax + 1 : 1;
    controls_.progress->setMaximum(static_cast<int>(qMax<qint64>(0, maximum) / progressScale_));
}

void LongRun::setProgressValue(qint64 value) {
    const auto shown = static_cast<int>(std::clamp<qint64>(value / progressScale_, 0, controls_.progress->maximum()));
    if (shown == controls_.progress->value()) return;
    controls_.progress->setValue(shown);
    controls_.progress->repaint();
}

void LongRun::showProgress(qint64 progress, const QString& word) {
    setProgressValue(progress);
    setStatus(word);
}

void LongRun::processEvents() {
    QCoreApplication::processEvents();
}

void LongRun::closeOrStop() {
    if (!active_) {
        emit closeWindow();
        return;
    }
    // A second click before the run has seen the first stop is the same request; it must not close the
    // window under the running loop.
    if (StopFlag) return;
    if (dialogs_.question(QStringLiteral("Abort?"))) StopFlag = true;
}

bool LongRun::windowMayClose() {
    if (!active_) return true;
    StopFlag = true;
    closePending_ = true;
    return false;
}

}  // namespace lexivo
