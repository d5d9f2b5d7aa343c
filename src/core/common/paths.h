#pragma once

#include <QString>

namespace zorvel {

// The folder separator of the platform, written "\" on Windows.
QChar folderSeparator();
bool endsWithSeparator(const QString &path);

// The main window's DoSlash: appends the separator to a path of more than one
// character that does not end in one; shorter paths come back unchanged.
QString DoSlash(const QString &iPa);

// The variant of the workbench and the help window: appends the separator
// whenever the path does not end in one.
QString DoSlashAlways(const QString &iPa);

// A drive letter and colon on Windows, a leading "/" elsewhere.
bool isAbsoluteFieldPath(const QString &path);

// The absolute-path rule: a relative field path is taken under the program folder.
QString absoluteFieldPath(const QString &path, const QString &programFolder);

// True when two absolute paths name the same file or folder: equal once
// cleaned (separators, "." and "..", a trailing separator), or leading to the
// same place on disk. Two empty paths are the same.
bool samePath(const QString &a, const QString &b);

// The text after the last "." of a name, or the whole name when it has none.
QString extensionOf(const QString &name);

// The part of a path after its last separator ("\" or "/").
QString fileNameOf(const QString &path);

// Joins two path pieces with exactly the separator between them.
QString joinPath(const QString &folder, const QString &name);

} // namespace zorvel
