#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "store/connection.h"

namespace lexivo {

// A function of text arguments that statements on the connection can call while the object lives, bound to a
// callable of this program: a statement that updates many rows at once calls back for each row it reaches
// (progress, the stop question, a test the SQL cannot express), without reading the rows out and writing
// them back one by one. The callable gets the arguments as text (nullopt for null) and answers true or false.
// It should not throw; if it does, the statement fails and rethrowPending() throws the exception again.
class RowCallback {
public:
    using Arguments = std::vector<std::optional<QString>>;
    using Body = std::function<bool(const Arguments&)>;

    RowCallback(Connection& connection, const QString& name, int argumentCount, Body body);
    ~RowCallback();
    RowCallback(const RowCallback&) = delete;
    RowCallback& operator=(const RowCallback&) = delete;

    // Runs a statement that calls the function; an exception the callable threw comes out as itself.
    void execute(const QString& statement);

private:
    static void call(sqlite3_context* context, int count, sqlite3_value** values);

    Connection& connection_;
    QByteArray name_;
    int argumentCount_;
    Body body_;
    Arguments arguments_;
    std::exception_ptr pending_;
};

// A function of one text argument that answers a whole number or null, bound like RowCallback but for a
// statement that computes a value per row: the callable reads the argument's UTF-8 bytes where the engine
// holds them (nullopt for null), with no string made per call, and its answer is the function's value.
class NumberCallback {
public:
    using Body = std::function<std::optional<qint64>(std::optional<QByteArrayView> utf8)>;

    NumberCallback(Connection& connection, const QString& name, Body body);
    ~NumberCallback();
    NumberCallback(const NumberCallback&) = delete;
    NumberCallback& operator=(const NumberCallback&) = delete;

    // Runs a statement that calls the function; an exception the callable threw comes out as itself.
    void execute(const QString& statement);

private:
    static void call(sqlite3_context* context, int count, sqlite3_value** values);

    Connection& connection_;
    QByteArray name_;
    Body body_;
    std::exception_ptr pending_;
};

}  // namespace lexivo
