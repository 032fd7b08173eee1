#pragma once

#include <QString>
#include <utility>

namespace lexivo {

// The application name both programs run under.
inline const QString kApplicationName = QStringLiteral("Lexivo");

// The settings kept from one run to the next, the path of the current word database and the window's accents
// option: lines ended by CR LF in "lexivo.ini" beside the program. Where the program's folder cannot be written, the
// file lives in the user's configuration folder instead. The window writes it; the command line reads the same file, so
// both must run under the same application name (the configuration folder is named after it). An installed program
// (IsInstalledProgramFolder) always uses the configuration folder.
bool IsInstalledProgramFolder(const QString& folder);

class SettingsFile {
public:
    static inline const QString kFileName = QStringLiteral("lexivo.ini");

    // fallbackFolder empty: the user's configuration folder for this program.
    explicit SettingsFile(const QString& programFolder, const QString& fallbackFolder = QString());

    // The database path of the last run; empty when there is no settings file or it holds no line.
    QString read() const;
    // Whether the window's "Ignore accents" was on at the last shutdown: a second line "IgnoreAccents=1".
    bool readIgnoreAccents() const;
    // Writes the path as the file's first line, and the accents option after it when it is on. Never throws:
    // false when no place could be written.
    bool write(const QString& databasePath, bool ignoreAccents = false) const;

    QString programFile() const;
    QString fallbackFile() const;
    // The folder for the program's own scratch files (compaction's intermediate file): the program's folder
    // where it can be written, else the configuration folder.
    QString writableFolder() const;

private:
    bool programFolderWritable() const;
    std::pair<QString, bool> readAll() const;

    QString programFolder_;
    QString fallbackFolder_;
};

}  // namespace lexivo
