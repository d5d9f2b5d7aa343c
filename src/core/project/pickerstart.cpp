#include "core/project/pickerstart.h"

#include "core/common/filesystem.h"
#include "core/common/paths.h"

#include <QDir>
#include <QFileInfo>

namespace zorvel {

PathKind pathKindOfRequest(const QString &key)
{
    static const QHash<QString, PathKind> kinds = {
        {QStringLiteral("Command9"), PathKind::Folder}, {QStringLiteral("idir"), PathKind::Folder},
        {QStringLiteral("ExBox"), PathKind::Folder},    {QStringLiteral("Command5"), PathKind::Picture},
        {QStringLiteral("Command8"), PathKind::Picture}, {QStringLiteral("C6d5"), PathKind::Picture},
        {QStringLiteral("IMG"), PathKind::Picture},     {QStringLiteral("Command6"), PathKind::Sound},
        {QStringLiteral("Command7"), PathKind::Sound},  {QStringLiteral("C6d1"), PathKind::Sound},
        {QStringLiteral("C6d2"), PathKind::Film},
    };
    return kinds.value(key, PathKind::Other);
}

QString pickerStartFolder(const FileSystem &fs, const QString &fieldPath, bool fieldIsFolder,
                          const QString &lastUsed, const QString &programFolder)
{
    if (!fieldPath.isEmpty()) {
        const QString own = fieldIsFolder ? fieldPath : QFileInfo(fieldPath).path();
        // A file field holding a bare folder ("C:\Pics\" after a confirm
        // without a file) names that folder.
        const QString folder = !fieldIsFolder && fieldPath.endsWith(folderSeparator()) ? fieldPath : own;
        if (fs.folderExists(folder))
            return QDir::toNativeSeparators(QDir::cleanPath(folder));
    }
    if (!lastUsed.isEmpty() && fs.folderExists(lastUsed))
        return lastUsed;
    return programFolder;
}

QString pickerStartFile(const QString &fieldPath, const QString &folder)
{
    if (fieldPath.isEmpty() || fieldPath.endsWith(folderSeparator()))
        return QString();
    const QFileInfo file(fieldPath);
    if (!samePath(QDir::cleanPath(file.path()), QDir::cleanPath(QDir::fromNativeSeparators(folder))))
        return QString();
    return file.fileName();
}

void PickerMemory::remember(PathKind kind, const QString &folder)
{
    if (kind != PathKind::Other && !folder.isEmpty())
        m_last.insert(kind, folder);
}

} // namespace zorvel
