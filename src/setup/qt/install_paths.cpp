#include "install_paths.h"

#include "core_text.h"

#include <QDir>
#include <QStorageInfo>

namespace setup {

static char sepOf(QChar sep)
{
    return char(sep.toLatin1());
}

QChar nativeSeparator()
{
    return QChar::fromLatin1(core::nativeSeparator());
}

bool endsWithSeparator(const QString &path, QChar sep)
{
    return core::endsWithSeparator(u8(path), sepOf(sep));
}

QString joinPath(const QString &folder, const QString &name, QChar sep)
{
    return qs(core::joinPath(u8(folder), u8(name), sepOf(sep)));
}

QString withSeparators(const QString &relative, QChar sep)
{
    return qs(core::withSeparators(u8(relative), sepOf(sep)));
}

QString installFolder(const QString &defPath, const QString &cdName, QChar sep)
{
    return qs(core::installFolder(u8(defPath), u8(cdName), sepOf(sep)));
}

QString infPathFor(const QString &programFolder, QChar sep)
{
    return qs(core::infPathFor(u8(programFolder), sepOf(sep)));
}

QString cdFolder(const QString &programFolder, const QString &volumeRoot, QChar sep)
{
    return qs(core::cdFolder(u8(programFolder), u8(volumeRoot), sepOf(sep)));
}

QString sourceFolder(
    const QString &programFolder, const QString &folderName, const QString &volumeRoot, QChar sep)
{
    return qs(core::sourceFolder(u8(programFolder), u8(folderName), u8(volumeRoot), sepOf(sep)));
}

bool isSingleFolderName(const QString &name)
{
    return core::isSingleFolderName(u8(name));
}

bool staysInside(const QString &relative)
{
    return core::staysInside(u8(relative));
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
    return qs(core::destinationBase(u8(defPath), u8(QDir::toNativeSeparators(QDir::homePath()))));
}

QString defaultMarkerFolder()
{
#ifdef Q_OS_WIN
    return qs(core::windowsMarkerFolder(u8(qEnvironmentVariable("LOCALAPPDATA",
        QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/AppData/Local"))))));
#else
    return qs(
        core::xdgMarkerFolder(u8(qEnvironmentVariable("XDG_DATA_HOME")), u8(QDir::homePath())));
#endif
}

QString markerFilePath(const QString &markerFolder, const QString &cdName, QChar sep)
{
    return qs(core::markerFilePath(u8(markerFolder), u8(cdName), sepOf(sep)));
}

QString markerText(const QString &installFolder, const QString &runFile, QChar sep)
{
    return qs(core::markerText(u8(installFolder), u8(runFile), sepOf(sep)));
}

} // namespace setup
