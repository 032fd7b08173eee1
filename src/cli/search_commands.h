#pragma once

// The commands of the search modes: the searches that list words, and add and delete, which look a word up to
// change the database.

#include "cli/arguments.h"

namespace lexivo::cli {

struct Session;

// The command of inv.mode; returns the exit status.
int RunSearchCommand(Session& s, const Invocation& inv);

}  // namespace lexivo::cli
