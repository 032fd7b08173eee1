#include "store/cursor.h"

#include "store/statement.h"

namespace lexivo {

// ---- Cursor ----

Cursor::Cursor(Connection& connection, const QString& queryText)
    : statement_(std::make_unique<Statement>(connection, Connection::adapt(queryText))) {
    const int n = statement_->columnCount();
    for (int i = 0; i < n; ++i) names_.push_back(statement_->columnName(i));
    if (names_.empty()) throw Error(QStringLiteral("The query returns no fields."));
    row_.resize(names_.size());
    fetchRow();
}

Cursor::~Cursor() = default;

void Cursor::fetchRow() {
    if (!statement_) return;
    if (!statement_->step()) {
        close();
        return;
    }
    for (int i = 0; i < columnCount(); ++i) {
        if (statement_->isNull(i))
            row_[static_cast<size_t>(i)].reset();
        else
            row_[static_cast<size_t>(i)] = statement_->text(i);
    }
}

void Cursor::moveNext() {
    fetchRow();
}

int Cursor::column(const QString& field) const {
    for (int i = 0; i < columnCount(); ++i)
        if (names_[i].compare(field, Qt::CaseInsensitive) == 0) return i;
    throw Error(QStringLiteral("Item not found in this collection: ") + field);
}

const std::optional<QString>& Cursor::value(int col) const {
    if (eof() || col < 0 || col >= columnCount()) throw Error(QStringLiteral("No current record."));
    return row_[static_cast<size_t>(col)];
}

const std::optional<QString>& Cursor::value(const QString& field) const {
    return value(column(field));
}

QString Cursor::text(const QString& field) const {
    return value(field).value_or(QString());
}

void Cursor::close() {
    statement_.reset();
    row_.clear();
}

}  // namespace lexivo
