#pragma once

#include <QString>

#include <optional>

namespace setup {

// What one installation needs, all paths in this system's form.
struct InstallPlan {
    QString sourceFolder; // the CD's folder whose content is installed
    QString installFolder; // where it goes
    QString runFile; // relative to installFolder; may be empty
    QString markerPath; // the marker file
};

// The installed program's full path, empty when there is no run file.
QString programPath(const InstallPlan &plan);

// Copies the source folder into the installation folder and checks that the
// program to start is there. Returns what went wrong, for a message box, or
// nothing when the installation is complete.
std::optional<QString> installFiles(const InstallPlan &plan);

// Writes (or replaces) the marker file; throws FileError.
void writeMarker(const InstallPlan &plan);

// The program a marker file remembers: the path on its first line when a
// file exists there, otherwise empty.
QString rememberedProgram(const QString &markerPath);

} // namespace setup
