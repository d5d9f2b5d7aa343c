#include "spoken_names.h"

#include <QWidget>

namespace setup {

void setSpoken(QWidget *widget, const Spoken &spoken)
{
    widget->setAccessibleName(spoken.name);
    widget->setAccessibleDescription(spoken.description);
}

Spoken pageSpoken(int page)
{
    switch (page) {
    case 0:
        return { QStringLiteral("Welcome"),
            QStringLiteral("This program installs the CD on your computer and starts it as soon "
                           "as the files are copied. Click Next to continue, or Exit to leave "
                           "setup.") };
    case 1:
        return { QStringLiteral("Destination folder"),
            QStringLiteral("The files will be installed in the folder shown. To choose another "
                           "place, click the folder button.") };
    case 2:
        return { QStringLiteral("Installing"),
            QStringLiteral("Please wait while the files are copied. The program starts by itself "
                           "when setup is done. Click Exit to leave setup.") };
    default:
        return {};
    }
}

Spoken nextSpoken(int page)
{
    if (page == 1)
        return { QStringLiteral("Install"),
            QStringLiteral("Copies the files into the installation folder and starts the "
                           "program") };
    return { QStringLiteral("Next"), QStringLiteral("Goes on to the choice of the installation "
                                                    "folder") };
}

Spoken backSpoken()
{
    return { QStringLiteral("Back"), QStringLiteral("Returns to the welcome page") };
}

Spoken exitSpoken()
{
    return { QStringLiteral("Exit"), QStringLiteral("Leaves setup") };
}

Spoken destinationSpoken()
{
    return { QStringLiteral("Installation folder"),
        QStringLiteral("The folder the files will be installed in") };
}

Spoken browseSpoken()
{
    return { QStringLiteral("Browse for the installation folder"),
        QStringLiteral("Opens a window to choose the folder to install into") };
}

Spoken driveSpoken()
{
    return { QStringLiteral("Drive"), QStringLiteral("The drive whose folders are listed") };
}

Spoken folderListSpoken()
{
    return { QStringLiteral("Folders"),
        QStringLiteral("Double-click a folder, or press Enter on it, to open it. The open folder "
                       "is the one used.") };
}

Spoken useFolderSpoken()
{
    return { QStringLiteral("Use this folder"),
        QStringLiteral("Chooses the open folder as the place to install into and closes this "
                       "window") };
}

} // namespace setup
