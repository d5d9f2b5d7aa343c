#pragma once

#include <QHash>
#include <QString>

namespace zorvel {

class FileSystem;

// What a picker request asks for; the last folder used is kept per kind, so
// that music is looked for where music was last found.
enum class PathKind { Folder, Picture, Sound, Film, Other };

PathKind pathKindOfRequest(const QString &key);

// The folder a picker opens at, each candidate taken only when it exists:
// the field's own folder (the path itself for a folder field, its parent for
// a file field), then the last folder used for that kind, then the program
// folder. `fieldPath` is already absolute (or empty).
QString pickerStartFolder(const FileSystem &fs, const QString &fieldPath, bool fieldIsFolder,
                          const QString &lastUsed, const QString &programFolder);

// The file of a file field's path that the picker should show selected: its
// name when it sits in `folder`, empty otherwise.
QString pickerStartFile(const QString &fieldPath, const QString &folder);

// The last folder used per kind, for this run.
class PickerMemory {
public:
    QString last(PathKind kind) const { return m_last.value(kind); }
    void remember(PathKind kind, const QString &folder);

private:
    QHash<PathKind, QString> m_last;
};

} // namespace zorvel
