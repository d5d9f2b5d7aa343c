#include "install_paths.h"

#include <QDir>
#include <QStorageInfo>

namespace setup {

QChar nativeSeparator()
{
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

bool endsWithSeparator(const QString &path, QChar sep)
{
    return path.endsWith(sep) || path.endsWith(u'/');
}

QString joinPath(const QString &folder, const QString &name, QChar sep)
{
    if (endsWithSeparator(folder, sep))
        return folder + name;
    return folder + sep + name;
}

QString withSeparators(const QString &relative, QChar sep)
{
    QString result = relative;
    result.replace(u'\\', sep);
    result.replace(u'/', sep);
    return result;
}

QString installFolder(const QString &defPath, const QString &cdName, QChar sep)
{
    return joinPath(defPath, cdName, sep);
}

QString infPathFor(const QString &programFolder, QChar sep)
{
    return joinPath(programFolder, QStringLiteral("cd.inf"), sep);
}

static QString comparable(const QString &path)
{
    QString cleaned = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (cleaned.size() > 1 && cleaned.endsWith(u'/'))
        cleaned.chop(1);
#ifdef Q_OS_WIN
    cleaned = cleaned.toLower();
#endif
    return cleaned;
}

QString cdFolder(const QString &programFolder, const QString &volumeRoot, QChar sep)
{
    if (comparable(programFolder) == comparable(volumeRoot))
        return programFolder;
    QString folder = programFolder;
    while (folder.size() > 1 && endsWithSeparator(folder, sep))
        folder.chop(1);
    const qsizetype cut = std::max(folder.lastIndexOf(sep), folder.lastIndexOf(u'/'));
    if (cut < 0) // a bare drive such as "D:"
        return folder;
    return folder.left(cut + 1);
}

QString sourceFolder(
    const QString &programFolder, const QString &folderName, const QString &volumeRoot, QChar sep)
{
    return joinPath(cdFolder(programFolder, volumeRoot, sep), withSeparators(folderName, sep), sep);
}

static bool onlyDotsAndSpaces(QStringView part)
{
    for (const QChar c : part) {
        if (c != u'.' && c != u' ')
            return false;
    }
    return true;
}

static bool hasForbiddenCharacter(QStringView value)
{
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c == u':')
            return true;
    }
    return false;
}

bool isSingleFolderName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\')
        && !hasForbiddenCharacter(name) && !onlyDotsAndSpaces(name);
}

bool staysInside(const QString &relative)
{
    if (relative.isEmpty() || relative.startsWith(u'/') || relative.startsWith(u'\\')
        || hasForbiddenCharacter(relative))
        return false;
    bool namesSomething = false;
    for (const QString &part : withSeparators(relative, u'/').split(u'/')) {
        if (part.isEmpty() || part == u".")
            continue;
        if (onlyDotsAndSpaces(part))
            return false;
        namesSomething = true;
    }
    return namesSomething;
}

QString volumeRootOf(const QString &path)
{
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return QString();
    return QDir::toNativeSeparators(storage.rootPath());
}

QString destinationBase(const QString &defPath)
{
    if (!defPath.isEmpty() && QDir::isAbsolutePath(QDir::fromNativeSeparators(defPath)))
        return defPath;
    return QDir::toNativeSeparators(QDir::homePath());
}

QString defaultMarkerFolder()
{
    const QString own = QStringLiteral("zorvel-setup");
#ifdef Q_OS_WIN
    const QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (!local.isEmpty() && QDir::isAbsolutePath(local))
        return QDir::toNativeSeparators(local + u'/' + own);
    return QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/AppData/Local/") + own);
#else
    // A relative XDG_DATA_HOME is invalid and to be ignored.
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.isEmpty() && QDir::isAbsolutePath(data))
        return QDir::cleanPath(data + u'/' + own);
    return QDir::homePath() + QStringLiteral("/.local/share/") + own;
#endif
}

QString markerFilePath(const QString &markerFolder, const QString &cdName, QChar sep)
{
    return joinPath(markerFolder, cdName + QStringLiteral(".txt"), sep);
}

QString markerText(const QString &installFolder, const QString &runFile, QChar sep)
{
    return installFolder + sep + withSeparators(runFile, sep) + QStringLiteral("\r\n")
        + installFolder + QStringLiteral("\r\n");
}

} // namespace setup
