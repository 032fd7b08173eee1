#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "store/connection.h"

namespace lexivo {

class Statement;

// A forward cursor over the rows of a query text, on its current row from the start: only that row is held, so
// that a result of every word costs no more memory than one word. A count of the rows, where wanted, is the
// connection's count() of the same query text.
class Cursor {
public:
    Cursor(Connection& connection, const QString& queryText);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // Past the last row (at once when there is none).
    bool eof() const { return !statement_; }
    void moveNext();

    // Value of a field of the current row; nullopt for a null value. Field names compare without regard to case.
    const std::optional<QString>& value(const QString& field) const;
    const std::optional<QString>& value(int column) const;
    // Text of a field, empty for null.
    QString text(const QString& field) const;
    int column(const QString& field) const;
    int columnCount() const { return static_cast<int>(names_.size()); }
    void close();

private:
    void fetchRow();
    std::unique_ptr<Statement> statement_;
    std::vector<QString> names_;
    std::vector<std::optional<QString>> row_;
};

}  // namespace lexivo
