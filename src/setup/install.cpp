#include "install.h"

#include "folder_copy.h"
#include "install_paths.h"
#include "messages.h"
#include "text_files.h"

#include <QDir>
#include <QFile>
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

QString stampPath(const QString &installFolder)
{
    return joinPath(installFolder, stampFileName);
}

void writeMarker(const InstallPlan &plan)
{
    const QString folder = QFileInfo(plan.markerPath).absolutePath();
    if (!QDir().mkpath(folder))
        throw FileError(QDir::toNativeSeparators(folder), QStringLiteral("Cannot create the folder"));
    const QString text = markerText(plan.installFolder, plan.runFile);
    std::optional<QString> earlier;
    if (fileExists(plan.markerPath)) {
        try {
            earlier = readSystem8bit(plan.markerPath);
        } catch (const FileError &) {
        }
    }
    writeSystem8bit(plan.markerPath, text);
    try {
        writeSystem8bit(stampPath(plan.installFolder), text);
    } catch (const FileError &) {
        // A marker without its stamp would never be trusted; put back the
        // one that was there.
        try {
            if (earlier)
                writeSystem8bit(plan.markerPath, *earlier);
            else
                QFile::remove(plan.markerPath);
        } catch (const FileError &) {
            QFile::remove(plan.markerPath);
        }
        throw;
    }
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
    if (lines.size() < 2 || !fileExists(lines.at(0)) || !folderExists(lines.at(1)))
        return QString();
    const QString program = QFileInfo(lines.at(0)).canonicalFilePath();
    const QString folder = QFileInfo(lines.at(1)).canonicalFilePath();
    if (program.isEmpty() || folder.isEmpty() || program == folder
        || !isSameOrInside(program, folder))
        return QString();
    const QString stamp = stampPath(lines.at(1));
    if (!fileExists(stamp))
        return QString();
    try {
        if (readSystem8bit(stamp) != text)
            return QString();
    } catch (const FileError &) {
        return QString();
    }
    return lines.at(0);
}

} // namespace setup
