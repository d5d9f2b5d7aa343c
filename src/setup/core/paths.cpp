#include "paths.h"

#include "files.h"
#include "text.h"

#include <algorithm>

namespace setup::core {

char nativeSeparator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

bool endsWithSeparator(const std::string &path, char sep)
{
    return !path.empty() && (path.back() == sep || path.back() == '/');
}

std::string joinPath(const std::string &folder, const std::string &name, char sep)
{
    if (endsWithSeparator(folder, sep))
        return folder + name;
    return folder + sep + name;
}

std::string withSeparators(const std::string &relative, char sep)
{
    std::string result = relative;
    for (char &c : result) {
        if (c == '\\' || c == '/')
            c = sep;
    }
    return result;
}

std::string installFolder(const std::string &defPath, const std::string &cdName, char sep)
{
    return joinPath(defPath, cdName, sep);
}

std::string infPathFor(const std::string &programFolder, char sep)
{
    return joinPath(programFolder, "cd.inf", sep);
}

// Lexically cleaned, "/" separated, no trailing separator, lower case on
// Windows: for comparing a folder with a volume root.
static std::string comparable(const std::string &path)
{
    std::string cleaned = withSeparators(path, '/');
    std::string out;
    for (const char c : cleaned) {
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out += c;
    }
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
#ifdef _WIN32
    out = toLowerAscii(out);
#endif
    return out;
}

std::string cdFolder(const std::string &programFolder, const std::string &volumeRoot, char sep)
{
    if (comparable(programFolder) == comparable(volumeRoot))
        return programFolder;
    std::string folder = programFolder;
    while (folder.size() > 1 && endsWithSeparator(folder, sep))
        folder.pop_back();
    std::size_t cut = folder.find_last_of(std::string(1, sep) + "/");
    if (cut == std::string::npos) // a bare drive such as "D:"
        return folder;
    return folder.substr(0, cut + 1);
}

std::string sourceFolder(const std::string &programFolder, const std::string &folderName,
    const std::string &volumeRoot, char sep)
{
    return joinPath(cdFolder(programFolder, volumeRoot, sep), withSeparators(folderName, sep), sep);
}

static bool onlyDotsAndSpaces(const std::string &part)
{
    return std::all_of(part.begin(), part.end(), [](char c) { return c == '.' || c == ' '; });
}

static bool hasForbiddenCharacter(const std::string &value)
{
    return std::any_of(value.begin(), value.end(),
        [](char c) { return (static_cast<unsigned char>(c) < 0x20) || c == ':'; });
}

bool isSingleFolderName(const std::string &name)
{
    return !name.empty() && name.find_first_of("/\\") == std::string::npos
        && !hasForbiddenCharacter(name) && !onlyDotsAndSpaces(name);
}

bool staysInside(const std::string &relative)
{
    if (relative.empty() || relative[0] == '/' || relative[0] == '\\'
        || hasForbiddenCharacter(relative))
        return false;
    bool namesSomething = false;
    std::string part;
    const std::string cleaned = withSeparators(relative, '/') + '/';
    for (const char c : cleaned) {
        if (c != '/') {
            part += c;
            continue;
        }
        if (!part.empty() && part != ".") {
            if (onlyDotsAndSpaces(part))
                return false;
            namesSomething = true;
        }
        part.clear();
    }
    return namesSomething;
}

bool isAbsolutePath(const std::string &path)
{
#ifdef _WIN32
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && letter(path[0]) && path[1] == ':'
        && (path[2] == '\\' || path[2] == '/'))
        return true;
    return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && path[1] == path[0];
#else
    return !path.empty() && path[0] == '/';
#endif
}

std::string destinationBase(const std::string &defPath, const std::string &home)
{
    if (isAbsolutePath(defPath))
        return defPath;
    return home;
}

std::string xdgMarkerFolder(const std::string &dataHome, const std::string &home)
{
    if (!dataHome.empty() && dataHome[0] == '/')
        return joinPath(dataHome, "zorvel-setup", '/');
    return joinPath(home, ".local/share/zorvel-setup", '/');
}

std::string windowsMarkerFolder(const std::string &localAppData)
{
    return joinPath(localAppData, "zorvel-setup", '\\');
}

std::string markerFilePath(const std::string &markerFolder, const std::string &cdName, char sep)
{
    return joinPath(markerFolder, cdName + ".txt", sep);
}

std::string markerText(const std::string &installFolder, const std::string &runFile, char sep)
{
    return installFolder + sep + withSeparators(runFile, sep) + "\r\n" + installFolder + "\r\n";
}

std::string stampPath(const std::string &installFolder, char sep)
{
    return joinPath(installFolder, stampFileName, sep);
}

} // namespace setup::core
