#pragma once

// The commands that make, fill, export and look after a word database, and the look-ups that need none (keys,
// define).

#include "cli/arguments.h"

namespace lexivo::cli {

struct Session;

// The command of inv.command, any but Command::Search; returns the exit status (a usage error for none).
int RunMaintenanceCommand(Session& s, const Invocation& inv);

}  // namespace lexivo::cli
