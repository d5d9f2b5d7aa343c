#pragma once

#include <QString>
#include <QStringList>

// What the drive, folder and file lists of the pickers show, without any
// widget: paths in the platform's own spelling, volumes, folder chains and
// pattern matching.
namespace zorvel {

// A folder path as the pickers show and return it: absolute, cleaned, native
// separators, no trailing separator except on a drive root ("C:\" or "/").
QString nativeFolderPath(const QString &path);

// True for a drive or volume root ("C:\", "/", "\\server\share\").
bool isFolderRoot(const QString &path);

// The root of an absolute folder path, in the spelling of nativeFolderPath.
QString folderRootOf(const QString &path);

// The drives (Windows) or mounted volumes (elsewhere, "/" first) that hold
// folders, in the spelling of nativeFolderPath.
QStringList availableDrives();

// The drive or volume holding a path; for a path that does not exist yet,
// the one holding its nearest existing ancestor.
QString driveOf(const QString &path);

// The folder and its ancestors, root first.
QStringList folderChain(const QString &folder);

// The deepest folder on the way to a path that exists; the path's root when
// nothing on the way exists (a drive without medium).
QString openableFolder(const QString &path);

// The visible subfolders of a folder, sorted without regard to case; empty
// when the folder cannot be read.
QStringList subfolderNames(const QString &folder);

// ";"-separated wildcard patterns ("*.gif;*.jpg"), blanks trimmed. An empty
// text means every file, and so does "*.*" (a name needs no extension).
QStringList splitPatterns(const QString &pattern);
bool matchesPatterns(const QString &name, const QStringList &patterns);

// The visible files of a folder whose names match the patterns, compared
// without regard to case, sorted the same way; empty when unreadable.
QStringList matchingFiles(const QString &folder, const QString &pattern);

} // namespace zorvel
