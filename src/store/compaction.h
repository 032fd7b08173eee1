#pragma once

// Compact Database: the engine writes a compacted copy of the loaded word database into an intermediate file,
// the copy replaces the database by one atomic rename, and the database is loaded again. Whatever fails, the
// file under DatabasePath is a whole database, the original or the compacted one.

#include <QString>
#include <functional>

namespace lexivo {

struct DatabaseState;
class DatabaseView;
class Dialogs;

// The intermediate file, in the folder the caller names: the program's folder, or the folder of the settings
// file where the program's folder cannot be written.
inline const QString kCompactionFileName = QStringLiteral("backup.bak");

enum class CompactionStep {
    Compact,     // the engine writes the compacted copy
    CopyAcross,  // the copy is brought into the database's folder (only when the folders are on two devices)
    Replace,     // the copy is renamed over the database
    Reload,      // the database is loaded again
};

// Seams for tests: failures at each step and a rename that acts as if the folders were on two devices.
struct CompactionHooks {
    // Called before every attempt of a step; an Error thrown here is that attempt's failure.
    std::function<void(CompactionStep)> beforeStep;
    // rename(2): returns 0, or -1 with errno set.
    std::function<int(const char* from, const char* to)> rename;
    // Called now and then while the compacted copy is written, so that the window keeps repainting.
    std::function<void()> whileWorking;
};

struct CompactionResult {
    bool compacted = false;  // the compacted copy is in place under DatabasePath
    bool loaded = false;     // a database is loaded afterwards
};

// A failure of a step shows its description in the "Error!" box with Abort, Retry and Ignore: Retry repeats the
// step; Abort and Ignore give the compaction up and load what is under DatabasePath (Ignore included, so that
// the window never stays on a closed connection). The status line shows "Compacting database..." until the
// reload shows the word count again.
CompactionResult CompactDatabase(DatabaseState& state, DatabaseView& view, Dialogs& dialogs, const QString& workFolder,
                                 const CompactionHooks& hooks = {});

}  // namespace lexivo
