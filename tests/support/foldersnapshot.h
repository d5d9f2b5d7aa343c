#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace zorvel::testing {

// Every file and folder under `root` (relative path, "/" after a folder) with
// the bytes of each file: two snapshots compare equal when the folder holds
// the same things.
QMap<QString, QByteArray> folderSnapshot(const QString &root);

// The entries in which two snapshots differ, for a readable failure.
QString snapshotDifference(
    const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after);

} // namespace zorvel::testing
