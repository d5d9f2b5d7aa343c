#pragma once

#include <QString>

#include <functional>

namespace setup {

// Where the installer stands and where it keeps its marker; tests point
// these at temporary folders.
struct Environment {
    QString programFolder; // setup's own folder, this system's separators
    QString markerFolder; // the folder of the marker file
    std::function<QString(const QString &)> volumeRootOf; // drive or mount point of a path
};

Environment systemEnvironment();

} // namespace setup
