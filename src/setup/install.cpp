#include "install.h"

#include "folder_copy.h"
#include "install_paths.h"
#include "messages.h"
#include "text_files.h"

namespace setup {

QString programPath(const InstallPlan &plan)
{
    if (plan.runFile.isEmpty())
        return QString();
    return plan.installFolder + nativeSeparator() + withSeparators(plan.runFile);
}

std::optional<QString> installFiles(const InstallPlan &plan)
{
    if (!folderExists(plan.sourceFolder))
        return sourceMissingText(plan.sourceFolder);
    try {
        copyFolder(plan.sourceFolder, plan.installFolder);
    } catch (const FileError &error) {
        return copyFailedText(error);
    }
    const QString program = programPath(plan);
    if (!program.isEmpty() && !fileExists(program))
        return programMissingText(program);
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
