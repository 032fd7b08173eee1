#pragma once

#include <QElapsedTimer>
#include <QString>

namespace lexivo {

// What a long run (search, rebuilds, import, export) reports to and asks of the window it runs in.
//
// The run tests the stop flag on every record, but shows progress and lets the window system handle pending
// input only when about 15 ms have passed since the last time (and once more at its end): the user sees the
// same thing, and a list of 600,000 words does not wait for 600,000 repaints.
class RunControl {
public:
    virtual ~RunControl() = default;

    // Start steps: stop flag cleared, the close button reads "&Stop", busy pointer, status text.
    virtual void beginRun(const QString& status) = 0;
    // End steps: normal pointer, "&Close", stop flag set.
    virtual void endRun() = 0;

    virtual void setStatus(const QString& text) = 0;  // shown at once
    virtual void setProgressMaximum(qint64 maximum) = 0;
    virtual void setProgressValue(qint64 value) = 0;  // shown at once

    // True while no run is active and once the user has confirmed a stop.
    virtual bool stopFlag() const = 0;

    // The per-record step. Returns true when it showed progress and handled pending input this time, which is
    // the only moment the user can have changed anything.
    bool step(qint64 progress, const QString& word) {
        if (!sliceDue()) return false;
        showProgress(progress, word);
        processEvents();
        return true;
    }
    // The same, with the word made by word() only when it is shown: a scan of words kept as bytes makes none
    // for most records.
    template <typename MakeWord>
    bool stepLazily(qint64 progress, MakeWord&& word) {
        if (!sliceDue()) return false;
        showProgress(progress, word());
        processEvents();
        return true;
    }
    // Shows the last progress and word whatever the time (the end of a run).
    void flush(qint64 progress, const QString& word) {
        slice_.invalidate();
        showProgress(progress, word);
    }

    static constexpr qint64 kSliceMilliseconds = 15;

protected:
    // Called once per record: whether a time slice has passed since the window last handled input.
    // The clock is read only every few records: reading it for each of 600,000 rows costs more than the rows.
    virtual bool sliceDue() {
        if (slice_.isValid() && (++recordsSinceClock_ & 31) != 0) return false;
        if (slice_.isValid() && slice_.elapsed() < kSliceMilliseconds) return false;
        slice_.start();
        return true;
    }
    // Progress bar value and the current word in the status line, repainted at once.
    virtual void showProgress(qint64 progress, const QString& word) = 0;
    // Lets the window system process pending input once (a click on "&Stop" is handled here).
    virtual void processEvents() = 0;

private:
    QElapsedTimer slice_;
    unsigned recordsSinceClock_ = 0;
};

}  // namespace lexivo
