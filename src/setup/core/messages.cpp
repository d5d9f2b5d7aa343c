#include "messages.h"

#include "cd_inf.h"
#include "files.h"
#include "text.h"

namespace setup::core {

std::string cdInfMissingText(const std::string &infPath)
{
    return infPath + " file dosn't exist!";
}

std::string cdInfUnreadableText(const FileError &error)
{
    return "The installation cannot start. " + error.describe();
}

std::string sectionMissingText(const std::string &infPath, const std::string &marker)
{
    return format("The section \"%1\" or its value line is missing in %2!\n"
                  "Nothing was installed.",
        { marker, infPath });
}

std::string unsafeSectionText(
    const std::string &infPath, const std::string &marker, const std::string &value)
{
    std::string rule;
    if (marker == markerCdName)
        rule = "It must be one folder name, without \\, /, : or \"..\".";
    else if (marker == markerFolderName)
        rule = "It must name a folder on the CD.";
    else
        rule = "It must name a file inside the installation folder.";
    std::string shown = value;
    for (char &c : shown) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    }
    return format("The section \"%1\" of %2 is not allowed:\n%3\n%4\nNothing was installed.",
        { marker, infPath, shown, rule });
}

std::string sourceMissingText(const std::string &sourceFolder)
{
    return format(
        "The folder to install was not found:\n%1\nNothing was installed.", { sourceFolder });
}

std::string sourceOutsideText(const std::string &sourceFolder, const std::string &cdFolder)
{
    return format("The section \"%1\" leads out of the CD:\n%2\nis not inside %3\n"
                  "Nothing was installed.",
        { markerFolderName, sourceFolder, cdFolder });
}

std::string copyFailedText(const FileError &error)
{
    return "The installation did not complete.\n" + error.describe();
}

std::string programMissingText(const std::string &program)
{
    return format("The installation did not complete: the program to start "
                  "was not found after copying:\n%1",
        { program });
}

std::string markerFailedText(const FileError &error)
{
    return "The installation did not complete: setup could not write the file that "
           "remembers it.\n"
        + error.describe();
}

std::string installFailedText(const std::string &problem, const std::string &leftover)
{
    return problem + "\n\n" + leftover
        + "\nChoose another folder, or make room on the disk, and click Next to try again.";
}

std::string removedFolderText(const std::string &folder)
{
    return format("Nothing was left behind: the folder %1 was removed.", { folder });
}

std::string keptFolderText(const std::string &folder)
{
    return format("The folder %1 was there before and was kept; each file in it holds "
                  "either its earlier or its new content.",
        { folder });
}

std::string notRemovedText(const std::string &folder)
{
    return format("The folder %1 could not be removed completely.", { folder });
}

std::string startFailedText(const std::string &program)
{
    // The Run File of a CD made by Zorvel is its reader, a page that any
    // browser opens; with no browser (or nothing to open one) on this
    // system, where it went is what the reader's user needs.
    const std::string lower = toLowerAscii(program);
    if (endsWith(lower, ".html") || endsWith(lower, ".htm"))
        return format("The CD was installed, but no web browser could be started to open its "
                      "reader.\nThe installed reader is:\n%1\nIt opens in any web browser: open "
                      "this file there (File, Open).",
            { program });
    return format(
        "The CD was installed, but the installed program could not be started:\n%1", { program });
}

} // namespace setup::core
