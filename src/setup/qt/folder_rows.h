#pragma once

#include <QList>
#include <QString>

namespace setup {

// One row of the folder list: the open folder's ancestors from the root
// down, the open folder itself, then its subfolders one level deeper.
struct FolderRow {
    QString path; // this system's separators
    QString label; // the folder's own name, or the root as written
    int depth = 0;
    bool open = false; // an ancestor or the open folder itself
};

// Rows for the open folder `path`; subfolders are listed from the disk
// (hidden ones left out), sorted by name without regard to case.
QList<FolderRow> folderRows(const QString &path);

// The drives on Windows; elsewhere the mounted volumes with "/" first.
QStringList volumeRoots();

} // namespace setup
