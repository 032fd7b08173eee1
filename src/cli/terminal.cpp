#include "cli/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <csignal>

namespace lexivo::cli {

namespace {

volatile std::sig_atomic_t interruptSeen = 0;

extern "C" void onInterrupt(int) {
    interruptSeen = 1;
}

// A quick command should not flash a progress line it clears a moment later.
constexpr qint64 kProgressDelayMilliseconds = 300;

const QString kProgramName = QStringLiteral("lexivo-cli");

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // The first Ctrl-C asks for a clean stop; the handler then goes back to the default, so a second one ends
    // the program at once when the stop is slow in coming. Calls under way go on as if nothing had happened.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() {
    return interruptSeen != 0;
}

// ---- Terminal ----

Terminal::Terminal() : interactive_(::isatty(STDERR_FILENO) == 1) {}

void Terminal::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        // Nowhere to report a failure of standard error itself.
        if (n <= 0) return;
        data += n;
        left -= n;
    }
}

int Terminal::width() const {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

QString Terminal::oneLine(const QString& text) {
    // Paragraphs of a message box become sentences of one line; a paragraph that goes on in small letters
    // (an engine's reason after what failed) follows a colon.
    QString line;
    for (const QString& part : text.split(QLatin1Char('\n'))) {
        const QString piece = part.trimmed();
        if (piece.isEmpty()) continue;
        if (!line.isEmpty()) {
            const QChar last = line.back();
            const bool ended = last == QLatin1Char('.') || last == QLatin1Char('!') || last == QLatin1Char('?') ||
                               last == QLatin1Char(':');
            if (ended)
                line += QLatin1Char(' ');
            else
                line += piece.front().isUpper() ? QStringLiteral(". ") : QStringLiteral(": ");
        }
        line += piece;
    }
    return line;
}

void Terminal::message(const QString& text) {
    clearProgress();
    write(oneLine(text).toUtf8() + '\n');
}

void Terminal::progress(const QString& line) {
    if (!interactive_) return;
    // One column short of the width, so that the terminal never wraps to a new line.
    const int room = std::max(10, width() - 1);
    QString shown = line;
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (shown.size() > room) shown.truncate(room);
    write("\r\033[K" + shown.toUtf8());
    progressShown_ = true;
}

void Terminal::clearProgress() {
    if (!progressShown_) return;
    write("\r\033[K");
    progressShown_ = false;
}

// ---- TerminalDialogs ----

void TerminalDialogs::notice(const QString& text, const QString&) {
    if (silenced_.contains(text)) return;
    terminal_.message(text);
}

void TerminalDialogs::failure(const QString& text, const QString&) {
    failed_ = true;
    terminal_.message(kProgramName + QStringLiteral(": ") + text);
}

bool TerminalDialogs::question(const QString& text, const QString&, DefaultButton) {
    if (echo_) terminal_.message(text + QStringLiteral(" [yes]"));
    return true;
}

bool TerminalDialogs::retryCancel(const QString& text, const QString& title) {
    failure(text, title);
    return false;
}

Dialogs::ErrorChoice TerminalDialogs::abortRetryIgnore(const QString& text, const QString& title) {
    failure(text, title);
    return ErrorChoice::Abort;
}

// ---- TerminalRun ----

void TerminalRun::beginRun(const QString& status) {
    active_ = true;
    stopRequested_ = false;
    status_ = status;
    word_.clear();
    maximum_ = 0;
    value_ = 0;
    started_.start();
}

void TerminalRun::endRun() {
    active_ = false;
    terminal_.clearProgress();
}

void TerminalRun::setStatus(const QString& text) {
    status_ = text;
    word_.clear();
    draw();
}

void TerminalRun::setProgressMaximum(qint64 maximum) {
    maximum_ = maximum;
}

void TerminalRun::setProgressValue(qint64 value) {
    value_ = value;
    draw();
}

void TerminalRun::showProgress(qint64 progress, const QString& word) {
    value_ = progress;
    word_ = word;
    draw();
}

void TerminalRun::draw() {
    if (!terminal_.interactive() || !active_ || !started_.isValid() || started_.elapsed() < kProgressDelayMilliseconds)
        return;
    QString line = status_;
    if (maximum_ > 0) {
        constexpr int kBarWidth = 30;
        const qint64 value = std::clamp<qint64>(value_, 0, maximum_);
        const int filled = static_cast<int>(value * kBarWidth / maximum_);
        const int percent = static_cast<int>(value * 100 / maximum_);
        if (!line.isEmpty()) line += QLatin1Char(' ');
        line += QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-')) +
                QStringLiteral("] ") + QString::number(percent).rightJustified(3) + QLatin1Char('%');
    }
    if (!word_.isEmpty() && word_ != status_) line += QStringLiteral("  ") + word_;
    terminal_.progress(line);
}

}  // namespace lexivo::cli
