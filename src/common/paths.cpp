#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringView>

namespace lexivo {

namespace {

const QChar kSeparator = u'/';

bool HasWildcard(QStringView text) {
    return text.contains(u'*') || text.contains(u'?');
}

// Only * and ? are wildcards here. QDir's name filters would also read [..] as a character class, and file names
// on this platform may well hold brackets, so the match is done by hand. Case counts, as it does for the files.
bool WildcardMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starPattern = -1;  // the pattern position after the last *, to retry from on a mismatch
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = ++p;
            starName = n;
        } else if (starPattern >= 0) {
            p = starPattern;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

bool AnyEntryMatches(const QString& path) {
    const qsizetype slash = path.lastIndexOf(kSeparator);
    const QString folder = slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : path.left(slash));
    const QStringView pattern = QStringView(path).mid(slash + 1);
    const QDir dir(folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& entry : entries) {
        if (WildcardMatch(pattern, entry)) return true;
    }
    return false;
}

// Drops every trailing "/" but keeps the root itself.
QString WithoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(kSeparator)) path.chop(1);
    return path;
}

}  // namespace

bool FileExists(const QString& path) {
    if (path.isEmpty()) return false;
    // "/" is the one path with a trailing separator that names something: the root always exists.
    if (path == QStringLiteral("/")) return true;
    if (path.endsWith(kSeparator)) return false;
    if (HasWildcard(QFileInfo(path).fileName())) return AnyEntryMatches(path);
    return QFileInfo::exists(path);
}

QString GetFileName(const QString& path) {
    QString name = path;
    if (name.endsWith(kSeparator)) name.chop(1);
    return QFileInfo(name).fileName();
}

QString GetFolderPath(const QString& path) {
    QString cut = path;
    const qsizetype star = cut.indexOf(u'*');
    if (star >= 0) cut.truncate(star);

    const qsizetype lastSeparator = cut.lastIndexOf(kSeparator);
    if (lastSeparator < 0) return QString();

    const QString candidate = WithoutTrailingSeparators(cut);
    if (QFileInfo(candidate).isDir()) return candidate;

    // The folder of "/words.mdb" is the root, not the empty text.
    if (lastSeparator == 0) return QStringLiteral("/");
    return WithoutTrailingSeparators(cut.left(lastSeparator));
}

QString GetBaseName(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

}  // namespace lexivo
