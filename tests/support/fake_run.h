#pragma once

#include <QtCore>
#include <functional>

#include "common/run_control.h"

namespace lexivo::test {

// A RunControl without a window: records what the run shows, and can confirm a stop once the run has handled
// a given number of records (as if the user had pressed "&Stop" and answered Yes).
class FakeRun : public RunControl {
public:
    // Confirm a stop during the event processing of this record (1-based); 0 never.
    qint64 stopAtRecord = 0;
    std::function<void()> onEvents;  // runs at each event processing

    qint64 records = 0;
    qint64 maximum = 0;
    qint64 value = 0;
    int begins = 0;
    int ends = 0;
    QStringList statuses;
    QStringList words;  // the word shown with each progress step, in order

    void beginRun(const QString& status) override {
        stop_ = false;
        ++begins;
        statuses << status;
    }
    void endRun() override {
        stop_ = true;
        ++ends;
    }
    void setStatus(const QString& text) override { statuses << text; }
    void setProgressMaximum(qint64 m) override { maximum = m; }
    void setProgressValue(qint64 v) override { value = v; }
    bool stopFlag() const override { return stop_; }
    void requestStop() { stop_ = true; }

protected:
    bool sliceDue() override {
        ++records;
        return true;  // input handled on every record, so that a stop lands exactly where the test asks
    }
    void showProgress(qint64 progress, const QString& word) override {
        value = progress;
        words << word;
    }
    void processEvents() override {
        if (onEvents) onEvents();
        if (stopAtRecord > 0 && records >= stopAtRecord) stop_ = true;
    }

private:
    bool stop_ = true;
};

}  // namespace lexivo::test
