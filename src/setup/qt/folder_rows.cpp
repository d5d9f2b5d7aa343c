#include "folder_rows.h"

#include "core/folder_rows.h"
#include "core_text.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace setup {

QList<FolderRow> folderRows(const QString &path)
{
    QList<FolderRow> rows;
    for (const core::FolderRow &row : core::folderRows(u8(path)))
        rows.append({ qs(row.path), qs(row.label), row.depth, row.open });
    return rows;
}

QStringList volumeRoots()
{
    QStringList roots;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        roots.append(QDir::toNativeSeparators(drive.absoluteFilePath()));
#else
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    std::sort(roots.begin(), roots.end(), [](const QString &a, const QString &b) {
        if (a == QLatin1String("/") || b == QLatin1String("/"))
            return a == QLatin1String("/") && b != QLatin1String("/");
        return a < b;
    });
    if (!roots.contains(QStringLiteral("/")))
        roots.prepend(QStringLiteral("/"));
#endif
    return roots;
}

} // namespace setup
