#include "install.h"

#include "folder_copy.h"
#include "install_paths.h"
#include "messages.h"
#include "text_files.h"

#include <QDir>
#include <QFileInfo>

namespace setup {

QString programPath(const InstallPlan &plan)
{
    if (plan.runFile.isEmpty())
        return QString();
    return plan.installFolder + nativeSeparator() + withSeparators(plan.runFile);
}

QString firstMissingFolder(const QString &folder)
{
    QString missing;
    QString path
        = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
    for (;;) {
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink()) // a broken link is not ours to remove
            break;
        missing = path;
        const QString parent = info.absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    return QDir::toNativeSeparators(missing);
}

// The source, links resolved, lies below the CD's folder.
static bool sourceOnCd(const InstallPlan &plan)
{
    const QString source = QFileInfo(plan.sourceFolder).canonicalFilePath();
    const QString cd = QFileInfo(plan.cdFolder).canonicalFilePath();
    return !source.isEmpty() && !cd.isEmpty() && isSameOrInside(source, cd)
        && !isSameOrInside(cd, source);
}

// Takes away what a failed installation made, and says what is left.
static QString undo(const QString &made, const InstallPlan &plan)
{
    if (made.isEmpty())
        return keptFolderText(plan.installFolder);
    if (!QDir(made).removeRecursively())
        return notRemovedText(made);
    return removedFolderText(made);
}

std::optional<QString> install(const InstallPlan &plan)
{
    if (!folderExists(plan.sourceFolder))
        return sourceMissingText(plan.sourceFolder);
    if (!sourceOnCd(plan))
        return sourceOutsideText(plan.sourceFolder, plan.cdFolder);
    const QString made = firstMissingFolder(plan.installFolder);
    const auto failed
        = [&](const QString &problem) { return installFailedText(problem, undo(made, plan)); };
    try {
        copyFolder(plan.sourceFolder, plan.installFolder);
    } catch (const FileError &error) {
        return failed(copyFailedText(error));
    }
    const QString program = programPath(plan);
    if (!program.isEmpty() && !fileExists(program))
        return failed(programMissingText(program));
    try {
        writeMarker(plan);
    } catch (const FileError &error) {
        return failed(markerFailedText(error));
    }
    return std::nullopt;
}

void writeMarker(const InstallPlan &plan)
{
    writeSystem8bit(plan.markerPath, markerText(plan.installFolder, plan.runFile));
}

QString rememberedProgram(const QString &markerPath)
{
    if (!fileExists(markerPath))
        return QString();
    QString text;
    try {
        text = readSystem8bit(markerPath);
    } catch (const FileError &) {
        return QString(); // unreadable: install afresh
    }
    const QStringList lines = splitLines(text);
    if (lines.isEmpty() || !fileExists(lines.first()))
        return QString();
    return lines.first();
}

} // namespace setup
