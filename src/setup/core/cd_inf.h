#pragma once

#include <optional>
#include <string>
#include <vector>

namespace setup::core {

// The four values of cd.inf.
struct CdInf {
    std::string cdName;
    std::string defPath;
    std::string folderName;
    std::string runFile;
};

inline const char *const markerCdName = "[ CD Name ]";
inline const char *const markerDefPath = "[ Def Path ]";
inline const char *const markerFolderName = "[ Folder Name ]";
inline const char *const markerRunFile = "[ Run File ]";

// The line after the first line that equals `marker` exactly, verbatim;
// nothing when the marker is absent or is the last line.
std::optional<std::string> sectionValue(
    const std::vector<std::string> &lines, const std::string &marker);

struct CdInfReading {
    CdInf values;
    // The first marker (in the order CD Name, Def Path, Folder Name, Run File)
    // that has no value line; empty when all four were found.
    std::string missingMarker;
    bool complete() const { return missingMarker.empty(); }
};

// Each marker is looked for from the start of the text on its own, so the
// sections may stand in any order and other lines are ignored.
CdInfReading parseCdInf(const std::string &text);

// The marker of the first section (CD Name, Folder Name, Run File) whose
// value would lead out of its folder; empty when none does. The CD Name must
// be one folder name, the Folder Name a folder below the CD's folder, the
// Run File empty or a file below the installation folder. Def Path is the
// operator's to choose.
std::string unsafeSection(const CdInf &values);

// The value of the section that `marker` names.
std::string sectionOf(const CdInf &values, const std::string &marker);

// Reads the file, UTF-8 or else Windows-1256; throws FileError.
CdInfReading readCdInf(const std::string &path);

// What setup does at start with the cd.inf at `infPath`: its values, or the
// text of the message after which setup ends (the file missing, unreadable,
// incomplete, or with a value that leads out of its folder).
struct CdInfLoad {
    CdInf values;
    std::string refusal;
    bool ok() const { return refusal.empty(); }
};
CdInfLoad loadCdInf(const std::string &infPath);

} // namespace setup::core
