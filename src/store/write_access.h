#pragma once

#include <QString>

namespace lexivo {

class Connection;
class Error;

// Why the commands that change the word database cannot do so, or the empty text when they can. Asked before a
// command writes anything, so that a database that cannot be written is reported with its reason instead of
// failing part-way.
QString WriteProblem(const Connection& db);

// The reason of an engine failure as the user should read it: the engine's own text, with what to do about it
// when another program holds the file.
QString FailureReason(const Error& error);

}  // namespace lexivo
