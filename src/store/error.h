#pragma once

#include <QString>
#include <stdexcept>

namespace lexivo {

// The one exception type of the core. It carries the engine's own message (or the file system's reason) so
// that the windows can show it as it is, and SQLite's result code where the engine raised it.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString()), message_(message), code_(code) {}

    const QString& message() const { return message_; }
    // SQLite's primary result code, 0 when the failure did not come from the engine.
    int code() const { return code_; }
    bool isBusy() const { return code_ == 5 || code_ == 6; }            // SQLITE_BUSY, SQLITE_LOCKED
    bool isReadOnly() const { return code_ == 8; }                      // SQLITE_READONLY
    bool isNotADatabase() const { return code_ == 26 || code_ == 11; }  // SQLITE_NOTADB, SQLITE_CORRUPT

private:
    QString message_;
    int code_;
};

}  // namespace lexivo
