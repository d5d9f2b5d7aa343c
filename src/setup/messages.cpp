#include "messages.h"

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

QString sourceMissingText(const QString &sourceFolder)
{
    return QStringLiteral("The folder to install was not found:\n%1\nNothing was installed.")
        .arg(sourceFolder);
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
    return QStringLiteral("The files were installed, but setup could not remember where.\n")
        + error.describe();
}

QString startFailedText(const QString &program)
{
    return QStringLiteral("The installed program could not be started:\n%1").arg(program);
}

} // namespace setup
