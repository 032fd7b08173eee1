#pragma once

#include "cli/arguments.h"

namespace lexivo::cli {

// Exit statuses.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;
constexpr int kInterrupted = 130;  // what a shell reports for a program ended by Ctrl-C

// Runs the command; returns the exit status. Messages go to standard error, results to standard output.
int RunCommand(const Invocation& invocation);

}  // namespace lexivo::cli
