#pragma once

#include <QString>

namespace lexivo {

struct DatabaseState;

// The one-line summary of the loaded word database that the About window shows: "No database loaded.", the
// empty-database hint, or "Database contains N words." (no singular form). Counted afresh on every call.
// Throws Error from the engine.
QString StatisticsText(DatabaseState& state);

}  // namespace lexivo
