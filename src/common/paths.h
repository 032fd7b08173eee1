#pragma once

// Questions about file paths held as text, on POSIX paths ("/" separates folders). None of them changes the
// file system or raises an error for a missing file, folder or volume.

#include <QString>

namespace lexivo {

// True when a file or folder matching path exists; the last component may hold the wildcards * and ?, and
// then any match counts. A path that ends with "/" (other than "/" itself) is false.
bool FileExists(const QString& path);
// The last component: "/lists/words.mdb" gives "words.mdb", "/lists/" gives "lists", "words" gives "words".
QString GetFileName(const QString& path);
// The folder part ("/lists/words.mdb" gives "/lists"), or the path itself when it names an existing folder;
// a path containing "*" is cut before it first; a path without "/" gives the empty text.
QString GetFolderPath(const QString& path);
// The file name without its last extension: "/lists/my.words.mdb" gives "my.words".
QString GetBaseName(const QString& path);

}  // namespace lexivo
