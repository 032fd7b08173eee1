#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "common/run_control.h"

class QAbstractButton;
class QLabel;
class QProgressBar;

namespace lexivo {

class Dialogs;

// The stop convention of a window's long runs: one stop flag, the close button that reads "&Stop" while a
// run is active and asks "Abort?", the busy pointer, the status line and the progress bar. The window says
// through the two callbacks what else a run disables and enables again.
class LongRun : public QObject, public RunControl {
    Q_OBJECT
public:
    struct Controls {
        QAbstractButton* closeButton;
        QLabel* status;
        QProgressBar* progress;
    };

    LongRun(const Controls& controls, Dialogs& dialogs, QObject* parent = nullptr);

    // Called after the start steps and after the end steps.
    void onBegin(std::function<void()> callback) { onBegin_ = std::move(callback); }
    void onEnd(std::function<void()> callback) { onEnd_ = std::move(callback); }

    void beginRun(const QString& status) override;
    void endRun() override;
    void setStatus(const QString& text) override;
    void setProgressMaximum(qint64 maximum) override;
    void setProgressValue(qint64 value) override;
    bool stopFlag() const override { return StopFlag; }

    bool active() const { return active_; }

    // Whether a time slice is due, asked instead of the clock when set (a test makes every record a slice).
    std::function<bool()> sliceClock;

    // The close button: asks the window to close when no run is active, else asks "Abort?".
    void closeOrStop();
    // The window is about to close. True when it may close now; during a run the run is stopped without a
    // question and closeWindow() follows once it has ended.
    bool windowMayClose();

signals:
    void closeWindow();

protected:
    bool sliceDue() override { return sliceClock ? sliceClock() : RunControl::sliceDue(); }
    void showProgress(qint64 progress, const QString& word) override;
    void processEvents() override;

private:
    Controls controls_;
    Dialogs& dialogs_;
    std::function<void()> onBegin_;
    std::function<void()> onEnd_;
    bool StopFlag = true;
    bool active_ = false;
    bool closePending_ = false;
    qint64 progressScale_ = 1;  // a progress bar counts in int; longer runs are shown scaled down
};

}  // namespace lexivo
