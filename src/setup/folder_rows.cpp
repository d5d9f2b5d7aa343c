#include "folder_rows.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace setup {

QList<FolderRow> folderRows(const QString &path)
{
    QList<FolderRow> rows;
    QString open = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());

    // Ancestors: walk up to the root, then reverse.
    QStringList chain;
    QDir dir(open);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    for (qsizetype i = 0; i < chain.size(); ++i) {
        FolderRow row;
        row.path = QDir::toNativeSeparators(chain.at(i));
        const QString name = QFileInfo(chain.at(i)).fileName();
        row.label = name.isEmpty() ? row.path : name;
        row.depth = int(i);
        row.open = true;
        rows.append(row);
    }

    QStringList subfolders = QDir(open).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(subfolders.begin(), subfolders.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString &name : subfolders) {
        FolderRow row;
        row.path = QDir::toNativeSeparators(QDir(open).filePath(name));
        row.label = name;
        row.depth = int(chain.size());
        rows.append(row);
    }
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
