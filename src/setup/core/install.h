#pragma once

#include <optional>
#include <string>

namespace setup::core {

// What one installation needs, all paths in this system's form.
struct InstallPlan {
    std::string cdFolder; // the CD's folder that Folder Name is taken from
    std::string sourceFolder; // the CD's folder whose content is installed
    std::string installFolder; // where it goes
    std::string runFile; // relative to installFolder; may be empty
    std::string markerPath; // the marker file
};

// The plan for setup in `programFolder` on the volume `volumeRoot`. An export
// tried before it is burnt has setup at its top, beside the content, and
// nothing of it in the folder above: then the content beside setup is taken.
InstallPlan makePlan(const std::string &programFolder, const std::string &volumeRoot,
    const std::string &folderName, const std::string &installFolder, const std::string &runFile,
    const std::string &markerPath);

// The installed program's full path, empty when there is no run file.
std::string programPath(const InstallPlan &plan);

// Copies the source folder into the installation folder, checks that the
// program to start is there and writes the marker. Returns what went wrong,
// for a message box, or nothing when the installation is complete. A failed
// run has written no marker, and removes what it made when the installation
// folder did not exist before.
std::optional<std::string> install(const InstallPlan &plan);

// Writes (or replaces) the marker file, making its folder when missing, and
// the matching stamp file in the installation folder; throws FileError. When
// the stamp cannot be written the marker is taken back.
void writeMarker(const InstallPlan &plan);

// The program a marker file remembers, or empty when the marker cannot be
// trusted: the program on its first line must exist and lie inside the
// installation folder on its second line, and that folder must hold the
// stamp file setup wrote with the same text. Anything else (a file of the
// user's, an older marker, a folder since replaced) means install afresh.
std::string rememberedProgram(const std::string &markerPath);

} // namespace setup::core
