#include "store/row_callback.h"

#include "store/statement.h"

namespace lexivo {

namespace {

// Runs a statement that calls the program's function; an exception the function threw ends the statement and is
// thrown again here, in place of the engine's error that it caused.
void ExecuteCalling(Connection& connection, const QString& statement, std::exception_ptr& pending) {
    pending = nullptr;
    try {
        connection.execute(statement);
    } catch (const Error&) {
        if (pending) std::rethrow_exception(std::exchange(pending, nullptr));
        throw;
    }
}

}  // namespace

// ---- RowCallback ----

RowCallback::RowCallback(Connection& connection, const QString& name, int argumentCount, Body body)
    : connection_(connection), name_(name.toUtf8()), argumentCount_(argumentCount), body_(std::move(body)) {
    // Not deterministic: the answer may change from one call to the next (a stop, a counter).
    const int rc = sqlite3_create_function(connection_.handle(), name_.constData(), argumentCount_, SQLITE_UTF8, this,
                                           &RowCallback::call, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(connection_.handle(), rc);
}

RowCallback::~RowCallback() {
    if (connection_.isOpen())
        sqlite3_create_function(connection_.handle(), name_.constData(), argumentCount_, SQLITE_UTF8, nullptr, nullptr,
                                nullptr, nullptr);
}

void RowCallback::call(sqlite3_context* context, int count, sqlite3_value** values) {
    auto* self = static_cast<RowCallback*>(sqlite3_user_data(context));
    try {
        self->arguments_.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            if (sqlite3_value_type(values[i]) == SQLITE_NULL) {
                self->arguments_[i].reset();
            } else {
                const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(values[i]));
                self->arguments_[i] = QString::fromUtf8(p, sqlite3_value_bytes(values[i]));
            }
        }
        sqlite3_result_int(context, self->body_(self->arguments_) ? 1 : 0);
    } catch (...) {
        self->pending_ = std::current_exception();
        sqlite3_result_error(context, "interrupted by the program", -1);
    }
}

void RowCallback::execute(const QString& statement) {
    ExecuteCalling(connection_, statement, pending_);
}

// ---- NumberCallback ----

NumberCallback::NumberCallback(Connection& connection, const QString& name, Body body)
    : connection_(connection), name_(name.toUtf8()), body_(std::move(body)) {
    const int rc = sqlite3_create_function(connection_.handle(), name_.constData(), 1, SQLITE_UTF8, this,
                                           &NumberCallback::call, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(connection_.handle(), rc);
}

NumberCallback::~NumberCallback() {
    if (connection_.isOpen())
        sqlite3_create_function(connection_.handle(), name_.constData(), 1, SQLITE_UTF8, nullptr, nullptr, nullptr,
                                nullptr);
}

void NumberCallback::call(sqlite3_context* context, int, sqlite3_value** values) {
    auto* self = static_cast<NumberCallback*>(sqlite3_user_data(context));
    try {
        std::optional<QByteArrayView> text;
        if (sqlite3_value_type(values[0]) != SQLITE_NULL) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
            text = QByteArrayView(p, sqlite3_value_bytes(values[0]));
        }
        if (const std::optional<qint64> answer = self->body_(text))
            sqlite3_result_int64(context, *answer);
        else
            sqlite3_result_null(context);
    } catch (...) {
        self->pending_ = std::current_exception();
        sqlite3_result_error(context, "interrupted by the program", -1);
    }
}

void NumberCallback::execute(const QString& statement) {
    ExecuteCalling(connection_, statement, pending_);
}

}  // namespace lexivo
