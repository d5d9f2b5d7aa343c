#pragma once

#include "core/paths.h"

#include <QChar>
#include <QString>

namespace setup {

// The folder separator of this system: "\" on Windows, "/" elsewhere. The
// functions below take it as an argument so both forms can be checked on
// any system.
QChar nativeSeparator();

// True when `path` ends in `sep` (or in "/", which every system accepts).
bool endsWithSeparator(const QString &path, QChar sep = nativeSeparator());

// `folder` and `name` with one separator between them, none added when the
// folder already ends in one (a drive root such as "D:\" or "/").
QString joinPath(const QString &folder, const QString &name, QChar sep = nativeSeparator());

// A relative path from cd.inf ("bin\start.exe") with this system's separators.
QString withSeparators(const QString &relative, QChar sep = nativeSeparator());

// The installation folder (`itit`): defPath and cdName joined.
QString installFolder(const QString &defPath, const QString &cdName, QChar sep = nativeSeparator());

// Where cd.inf stands: beside setup.
QString infPathFor(const QString &programFolder, QChar sep = nativeSeparator());

// The folder of the CD that Folder Name is taken from: the parent of setup's
// folder, or setup's folder itself when that is the root of its volume (setup
// at the top of the CD). `volumeRoot` is the root of the volume that holds
// the program folder.
QString cdFolder(
    const QString &programFolder, const QString &volumeRoot, QChar sep = nativeSeparator());

// The folder whose content is installed: `folderName` in cdFolder().
QString sourceFolder(const QString &programFolder, const QString &folderName,
    const QString &volumeRoot, QChar sep = nativeSeparator());

// A value that names one folder and nothing more: not empty, no separator
// (either kind), no drive colon, no control character, and not made only of
// dots and spaces ("..", or "..." and " " which Windows trims to nothing).
bool isSingleFolderName(const QString &name);

// A relative path that names something below the folder it is joined to:
// not empty, no leading separator (a root or a share), no drive colon, no
// control character (a NUL would cut the path short), and no part made only
// of dots and spaces other than "." (so no "..").
bool staysInside(const QString &relative);

// The root of the volume (drive, mount point) that holds `path`.
QString volumeRootOf(const QString &path);

// A destination base for this system: defPath itself when it is an absolute
// path here, otherwise (a drive path read on another system, a relative or
// empty value) the user's home folder.
QString destinationBase(const QString &defPath);

// The folder of the marker files: setup's own per-user data folder, so that
// a marker never takes the place of a file of the user's. On Windows
// %LOCALAPPDATA%\zorvel-setup (a standard user cannot write to C:\),
// elsewhere $XDG_DATA_HOME/zorvel-setup, by default
// ~/.local/share/zorvel-setup.
QString defaultMarkerFolder();

// The name of the stamp file setup leaves in every installation folder; a
// marker is trusted only when its folder holds one that matches it.
inline const QString stampFileName = QString::fromLatin1(core::stampFileName);

// The marker file: cdName + ".txt" in `markerFolder`.
QString markerFilePath(
    const QString &markerFolder, const QString &cdName, QChar sep = nativeSeparator());

// The marker file's whole text: the installed program's full path, then the
// installation folder, each line ended by CR LF.
QString markerText(
    const QString &installFolder, const QString &runFile, QChar sep = nativeSeparator());

} // namespace setup
