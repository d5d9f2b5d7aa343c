#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace setup {

// The four values of cd.inf.
struct CdInf {
    QString cdName;
    QString defPath;
    QString folderName;
    QString runFile;
};

inline const QString markerCdName = QStringLiteral("[ CD Name ]");
inline const QString markerDefPath = QStringLiteral("[ Def Path ]");
inline const QString markerFolderName = QStringLiteral("[ Folder Name ]");
inline const QString markerRunFile = QStringLiteral("[ Run File ]");

// The line after the first line that equals `marker` exactly, verbatim;
// nothing when the marker is absent or is the last line.
std::optional<QString> sectionValue(const QStringList &lines, const QString &marker);

struct CdInfReading {
    CdInf values;
    // The first marker (in the order CD Name, Def Path, Folder Name, Run File)
    // that has no value line; empty when all four were found.
    QString missingMarker;
    bool complete() const { return missingMarker.isEmpty(); }
};

// Each marker is looked for from the start of the text on its own, so the
// sections may stand in any order and other lines are ignored.
CdInfReading parseCdInf(const QString &text);

// The marker of the first section (CD Name, Folder Name, Run File) whose
// value would lead out of its folder; empty when none does. The CD Name must
// be one folder name, the Folder Name a folder below the CD's folder, the
// Run File empty or a file below the installation folder. Def Path is the
// operator's to choose.
QString unsafeSection(const CdInf &values);

// The value of the section that `marker` names.
QString sectionOf(const CdInf &values, const QString &marker);

// Reads the file in the system's 8-bit code page; throws FileError.
CdInfReading readCdInf(const QString &path);

} // namespace setup
