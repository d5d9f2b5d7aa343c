#include "support/foldersnapshot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

namespace zorvel::testing {

QMap<QString, QByteArray> folderSnapshot(const QString &root)
{
    QMap<QString, QByteArray> out;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo fi(path);
        const QString relative = base.relativeFilePath(path);
        if (fi.isDir()) {
            out.insert(relative + u'/', QByteArray());
            continue;
        }
        QFile f(path);
        out.insert(relative, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return out;
}

QString snapshotDifference(
    const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
{
    QStringList lines;
    QSet<QString> keys;
    for (auto it = before.begin(); it != before.end(); ++it)
        keys.insert(it.key());
    for (auto it = after.begin(); it != after.end(); ++it)
        keys.insert(it.key());
    QStringList sorted(keys.begin(), keys.end());
    sorted.sort();
    for (const QString &k : sorted) {
        if (!before.contains(k))
            lines << QStringLiteral("added ") + k;
        else if (!after.contains(k))
            lines << QStringLiteral("removed ") + k;
        else if (before.value(k) != after.value(k))
            lines << QStringLiteral("changed ") + k;
    }
    return lines.join(QStringLiteral("; "));
}

} // namespace zorvel::testing
