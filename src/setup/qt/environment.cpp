#include "environment.h"

#include "install_paths.h"

#include <QCoreApplication>
#include <QDir>

namespace setup {

Environment systemEnvironment()
{
    Environment environment;
    environment.programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    environment.markerFolder = defaultMarkerFolder();
    environment.volumeRootOf = [](const QString &path) { return volumeRootOf(path); };
    return environment;
}

} // namespace setup
