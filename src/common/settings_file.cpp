#include "common/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace lexivo {

namespace {

const QByteArray kIgnoreAccents = "IgnoreAccents=1";

// The path of the first line and whether a later line turns the accents option on.
std::pair<QString, bool> readLines(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    // The path is stored in the file system's own encoding of names.
    const QString path = QFile::decodeName(line);
    bool ignoreAccents = false;
    while (!file.atEnd()) ignoreAccents = ignoreAccents || file.readLine().trimmed() == kIgnoreAccents;
    return {path, ignoreAccents};
}

bool writeLine(const QString& folder, const QString& line, bool ignoreAccents) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
    QSaveFile file(QDir(folder).filePath(SettingsFile::kFileName));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QFile::encodeName(line) + "\r\n");
    if (ignoreAccents) file.write(kIgnoreAccents + "\r\n");
    return file.commit();
}

}  // namespace

// An installed program (its desktop entry beside it, under share/applications) keeps its settings in the user's
// configuration folder even where it could write its own folder (as root, say): a system folder is no place
// for one user's settings. A program run from its build folder keeps them beside itself.
bool IsInstalledProgramFolder(const QString& folder) {
    return !folder.isEmpty() &&
           QFileInfo::exists(QDir(folder).filePath(QStringLiteral("../share/applications/lexivo.desktop")));
}

SettingsFile::SettingsFile(const QString& programFolder, const QString& fallbackFolder)
    : programFolder_(IsInstalledProgramFolder(programFolder) ? QString() : programFolder),
      fallbackFolder_(fallbackFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                               : fallbackFolder) {}

QString SettingsFile::programFile() const {
    return QDir(programFolder_).filePath(kFileName);
}
QString SettingsFile::fallbackFile() const {
    return QDir(fallbackFolder_).filePath(kFileName);
}

QString SettingsFile::writableFolder() const {
    const QFileInfo folder(programFolder_);
    return folder.isDir() && folder.isWritable() ? programFolder_ : fallbackFolder_;
}

bool SettingsFile::programFolderWritable() const {
    const QFileInfo folder(programFolder_);
    const QFileInfo file(programFile());
    return folder.isDir() && folder.isWritable() && (!file.exists() || file.isWritable());
}

QString SettingsFile::read() const {
    return readAll().first;
}

bool SettingsFile::readIgnoreAccents() const {
    return readAll().second;
}

std::pair<QString, bool> SettingsFile::readAll() const {
    // Read from where the last shutdown will have written: beside the program when that folder can be
    // written, else the configuration folder; either way the other place when the first has no file.
    if (programFolder_.isEmpty())
        return QFileInfo::exists(fallbackFile()) ? readLines(fallbackFile()) : std::pair<QString, bool>();
    QString first = programFile();
    QString second = fallbackFile();
    if (!programFolderWritable()) std::swap(first, second);
    if (QFileInfo::exists(first)) return readLines(first);
    if (QFileInfo::exists(second)) return readLines(second);
    return {};
}

bool SettingsFile::write(const QString& databasePath, bool ignoreAccents) const {
    if (programFolderWritable() && writeLine(programFolder_, databasePath, ignoreAccents)) return true;
    return writeLine(fallbackFolder_, databasePath, ignoreAccents);
}

}  // namespace lexivo
