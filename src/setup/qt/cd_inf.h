#pragma once

#include "core/cd_inf.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace setup {

// cd.inf in Qt's strings; the reading and the checks are the core's.

// The four values of cd.inf.
struct CdInf {
    QString cdName;
    QString defPath;
    QString folderName;
    QString runFile;
};

inline const QString markerCdName = QString::fromLatin1(core::markerCdName);
inline const QString markerDefPath = QString::fromLatin1(core::markerDefPath);
inline const QString markerFolderName = QString::fromLatin1(core::markerFolderName);
inline const QString markerRunFile = QString::fromLatin1(core::markerRunFile);

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

// Reads the file, UTF-8 or else Windows-1256; throws FileError.
CdInfReading readCdInf(const QString &path);

// The cd.inf at `infPath` read and checked as setup does at start: its
// values, or the message after which setup ends.
struct CdInfLoad {
    CdInf values;
    QString refusal;
    bool ok() const { return refusal.isEmpty(); }
};
CdInfLoad loadCdInf(const QString &infPath);

} // namespace setup
