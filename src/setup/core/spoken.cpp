#include "spoken.h"

namespace setup::core {

Spoken pageSpoken(int page)
{
    switch (page) {
    case 0:
        return { "Welcome",
            "This program installs the CD on your computer and starts it as soon "
            "as the files are copied. Click Next to continue, or Exit to leave "
            "setup." };
    case 1:
        return { "Destination folder",
            "The files will be installed in the folder shown. To choose another "
            "place, click the folder button." };
    case 2:
        return { "Installing",
            "Please wait while the files are copied. The program starts by itself "
            "when setup is done. Click Exit to leave setup." };
    default:
        return {};
    }
}

Spoken nextSpoken(int page)
{
    if (page == 1)
        return { "Install",
            "Copies the files into the installation folder and starts the "
            "program" };
    return { "Next",
        "Goes on to the choice of the installation "
        "folder" };
}

Spoken backSpoken()
{
    return { "Back", "Returns to the welcome page" };
}

Spoken exitSpoken()
{
    return { "Exit", "Leaves setup" };
}

Spoken destinationSpoken()
{
    return { "Installation folder", "The folder the files will be installed in" };
}

Spoken browseSpoken()
{
    return { "Browse for the installation folder",
        "Opens a window to choose the folder to install into" };
}

Spoken driveSpoken()
{
    return { "Drive", "The drive whose folders are listed" };
}

Spoken folderListSpoken()
{
    return { "Folders",
        "Double-click a folder, or press Enter on it, to open it. The open folder "
        "is the one used." };
}

Spoken useFolderSpoken()
{
    return { "Use this folder",
        "Chooses the open folder as the place to install into and closes this "
        "window" };
}

} // namespace setup::core
