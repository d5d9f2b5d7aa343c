#include "messages.h"

#include "cd_inf.h"
#include "text_files.h"

namespace setup {

QString cdInfMissingText(const QString &infPath)
{
    return infPath + QStringLiteral(" file dosn't exist!");
}

QString cdInfUnreadableText(const FileError &error)
{
    return QStringLiteral("The installation cannot start. ") + error.describe();
}

QString sectionMissingText(const QString &infPath, const QString &marker)
{
    return QStringLiteral("The section \"%1\" or its value line is missing in %2!\n"
                          "Nothing was installed.")
        .arg(marker, infPath);
}

QString unsafeSectionText(const QString &infPath, const QString &marker, const QString &value)
{
    QString rule;
    if (marker == markerCdName)
        rule = QStringLiteral("It must be one folder name, without \\, /, : or \"..\".");
    else if (marker == markerFolderName)
        rule = QStringLiteral("It must name a folder on the CD.");
    else
        rule = QStringLiteral("It must name a file inside the installation folder.");
    QString shown = value;
    for (QChar &c : shown) {
        if (c.unicode() < 0x20)
            c = u'?';
    }
    return QStringLiteral("The section \"%1\" of %2 is not allowed:\n%3\n%4\n"
                          "Nothing was installed.")
        .arg(marker, infPath, shown, rule);
}

QString sourceMissingText(const QString &sourceFolder)
{
    return QStringLiteral("The folder to install was not found:\n%1\nNothing was installed.")
        .arg(sourceFolder);
}

QString sourceOutsideText(const QString &sourceFolder, const QString &cdFolder)
{
    return QStringLiteral("The section \"%1\" leads out of the CD:\n%2\nis not inside %3\n"
                          "Nothing was installed.")
        .arg(markerFolderName, sourceFolder, cdFolder);
}

QString copyFailedText(const FileError &error)
{
    return QStringLiteral("The installation did not complete.\n") + error.describe();
}

QString programMissingText(const QString &program)
{
    return QStringLiteral("The installation did not complete: the program to start "
                          "was not found after copying:\n%1")
        .arg(program);
}

QString markerFailedText(const FileError &error)
{
    return QStringLiteral("The installation did not complete: setup could not write the "
                          "file that remembers it.\n")
        + error.describe();
}

QString installFailedText(const QString &problem, const QString &leftover)
{
    return problem + QStringLiteral("\n\n") + leftover
        + QStringLiteral("\nChoose another folder, or make room on the disk, and click Next "
                         "to try again.");
}

QString removedFolderText(const QString &folder)
{
    return QStringLiteral("Nothing was left behind: the folder %1 was removed.").arg(folder);
}

QString keptFolderText(const QString &folder)
{
    return QStringLiteral("The folder %1 was there before and was kept; each file in it holds "
                          "either its earlier or its new content.")
        .arg(folder);
}

QString notRemovedText(const QString &folder)
{
    return QStringLiteral("The folder %1 could not be removed completely.").arg(folder);
}

QString startFailedText(const QString &program)
{
    // The Run File of a CD made by Zorvel is its reader, a page that any
    // browser opens; with no browser (or nothing to open one) on this system,
    // where it went is what the reader's user needs.
    const QString lower = program.toLower();
    if (lower.endsWith(QLatin1String(".html")) || lower.endsWith(QLatin1String(".htm")))
        return QStringLiteral("The CD was installed, but no web browser could be started to "
                              "open its reader.\nThe installed reader is:\n%1\nIt opens in "
                              "any web browser: open this file there (File, Open).")
            .arg(program);
    return QStringLiteral("The CD was installed, but the installed program could not be "
                          "started:\n%1")
        .arg(program);
}

} // namespace setup
