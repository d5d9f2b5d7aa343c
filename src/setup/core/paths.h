#pragma once

// The installer's path rules, as text. The separator is an argument so both
// the Windows and the POSIX forms can be checked on any system.
#include <string>

namespace setup::core {

// "\" on Windows, "/" elsewhere.
char nativeSeparator();

// True when `path` ends in `sep` (or in "/", which every system accepts).
bool endsWithSeparator(const std::string &path, char sep = nativeSeparator());

// `folder` and `name` with one separator between them, none added when the
// folder already ends in one (a drive root such as "D:\" or "/").
std::string joinPath(
    const std::string &folder, const std::string &name, char sep = nativeSeparator());

// A relative path from cd.inf ("bin\start.exe") with this system's separators.
std::string withSeparators(const std::string &relative, char sep = nativeSeparator());

// The installation folder (`itit`): defPath and cdName joined.
std::string installFolder(
    const std::string &defPath, const std::string &cdName, char sep = nativeSeparator());

// Where cd.inf stands: beside setup.
std::string infPathFor(const std::string &programFolder, char sep = nativeSeparator());

// The folder of the CD that Folder Name is taken from: the parent of setup's
// folder, or setup's folder itself when that is the root of its volume
// (setup at the top of the CD).
std::string cdFolder(
    const std::string &programFolder, const std::string &volumeRoot, char sep = nativeSeparator());

// The folder whose content is installed: `folderName` in cdFolder().
std::string sourceFolder(const std::string &programFolder, const std::string &folderName,
    const std::string &volumeRoot, char sep = nativeSeparator());

// A value that names one folder and nothing more: not empty, no separator
// (either kind), no drive colon, no control character, and not made only of
// dots and spaces ("..", or "..." and " " which Windows trims to nothing).
bool isSingleFolderName(const std::string &name);

// A relative path that names something below the folder it is joined to:
// not empty, no leading separator (a root or a share), no drive colon, no
// control character (a NUL would cut the path short), and no part made only
// of dots and spaces other than "." (so no "..").
bool staysInside(const std::string &relative);

// An absolute path on this system: a drive letter, colon and separator, or a
// share, on Windows; a leading "/" elsewhere.
bool isAbsolutePath(const std::string &path);

// A destination base for this system: defPath itself when it is an absolute
// path here, otherwise (a drive path read on another system, a relative or
// empty value) `home`.
std::string destinationBase(const std::string &defPath, const std::string &home);

// setup's own per-user data folder, where the markers go, so that a marker
// never takes the place of a file of the user's: $XDG_DATA_HOME/zorvel-setup,
// by default ~/.local/share/zorvel-setup (a relative XDG_DATA_HOME is
// ignored); on Windows %LOCALAPPDATA%\zorvel-setup, since a standard user
// cannot write to C:\.
std::string xdgMarkerFolder(const std::string &dataHome, const std::string &home);
std::string windowsMarkerFolder(const std::string &localAppData);

// The marker file: cdName + ".txt" in `markerFolder`.
std::string markerFilePath(
    const std::string &markerFolder, const std::string &cdName, char sep = nativeSeparator());

// The marker file's whole text: the installed program's full path, then the
// installation folder, each line ended by CR LF.
std::string markerText(
    const std::string &installFolder, const std::string &runFile, char sep = nativeSeparator());

// The stamp file setup leaves in every installation folder; a marker is
// trusted only when its folder holds one that matches it.
inline const char *const stampFileName = "zorvel-setup.stamp";
std::string stampPath(const std::string &installFolder, char sep = nativeSeparator());

} // namespace setup::core
