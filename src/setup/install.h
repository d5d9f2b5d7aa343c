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

// Writes (or replaces) the marker file; throws FileError.
void writeMarker(const InstallPlan &plan);

// The program a marker file remembers: the path on its first line when a
// file exists there, otherwise empty.
QString rememberedProgram(const QString &markerPath);

} // namespace setup
