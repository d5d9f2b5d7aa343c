#pragma once

#include <QString>

#include <optional>

namespace setup {

// What one installation needs, all paths in this system's form.
struct InstallPlan {
    QString cdFolder; // the CD's folder that Folder Name is taken from
    QString sourceFolder; // the CD's folder whose content is installed
    QString installFolder; // where it goes
    QString runFile; // relative to installFolder; may be empty
    QString markerPath; // the marker file
};

// The plan for setup in `programFolder` on the volume `volumeRoot`; setup at
// the top of an export not yet burnt takes the content beside it.
InstallPlan makePlan(const QString &programFolder, const QString &volumeRoot,
    const QString &folderName, const QString &installFolder, const QString &runFile,
    const QString &markerPath);

// The installed program's full path, empty when there is no run file.
QString programPath(const InstallPlan &plan);

// The outermost folder of `folder` and its parents that does not exist yet,
// in this system's form; empty when `folder` exists.
QString firstMissingFolder(const QString &folder);

// Copies the source folder into the installation folder, checks that the
// program to start is there and writes the marker. Returns what went wrong,
// for a message box, or nothing when the installation is complete. A failed
// run has written no marker, and removes what it made when the installation
// folder did not exist before.
std::optional<QString> install(const InstallPlan &plan);

// The stamp file of the installation folder.
QString stampPath(const QString &installFolder);

// Writes (or replaces) the marker file, making its folder when missing, and
// the matching stamp file in the installation folder; throws FileError. When
// the stamp cannot be written the marker is taken back.
void writeMarker(const InstallPlan &plan);

// The program a marker file remembers, or empty when the marker cannot be
// trusted: the program on its first line must exist and lie inside the
// installation folder on its second line, and that folder must hold the
// stamp file setup wrote with the same text. Anything else (a file of the
// user's, an older marker, a folder since replaced) means install afresh.
QString rememberedProgram(const QString &markerPath);

} // namespace setup
