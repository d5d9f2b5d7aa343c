#include "install.h"

#include "files.h"
#include "messages.h"
#include "paths.h"
#include "text.h"

#include <vector>

namespace setup::core {

InstallPlan makePlan(const std::string &programFolder, const std::string &volumeRoot,
    const std::string &folderName, const std::string &installFolder, const std::string &runFile,
    const std::string &markerPath)
{
    InstallPlan plan;
    plan.cdFolder = cdFolder(programFolder, volumeRoot);
    plan.sourceFolder = sourceFolder(programFolder, folderName, volumeRoot);
    if (!folderExists(plan.sourceFolder)) {
        const std::string beside = joinPath(programFolder, withSeparators(folderName));
        if (folderExists(beside)) {
            plan.cdFolder = programFolder;
            plan.sourceFolder = beside;
        }
    }
    plan.installFolder = installFolder;
    plan.runFile = runFile;
    plan.markerPath = markerPath;
    return plan;
}

std::string programPath(const InstallPlan &plan)
{
    if (plan.runFile.empty())
        return std::string();
    return plan.installFolder + nativeSeparator() + withSeparators(plan.runFile);
}

// The source, links resolved, lies below the CD's folder.
static bool sourceOnCd(const InstallPlan &plan)
{
    const std::string source = canonical(plan.sourceFolder);
    const std::string cd = canonical(plan.cdFolder);
    return !source.empty() && !cd.empty() && isSameOrInside(source, cd)
        && !isSameOrInside(cd, source);
}

// Takes away what a failed installation made, and says what is left.
static std::string undo(const std::string &made, const InstallPlan &plan)
{
    if (made.empty())
        return keptFolderText(plan.installFolder);
    if (!removeAll(made))
        return notRemovedText(made);
    return removedFolderText(made);
}

std::optional<std::string> install(const InstallPlan &plan)
{
    if (!folderExists(plan.sourceFolder))
        return sourceMissingText(plan.sourceFolder);
    if (!sourceOnCd(plan))
        return sourceOutsideText(plan.sourceFolder, plan.cdFolder);
    const std::string made = firstMissingFolder(plan.installFolder);
    const auto failed
        = [&](const std::string &problem) { return installFailedText(problem, undo(made, plan)); };
    try {
        copyFolder(plan.sourceFolder, plan.installFolder);
    } catch (const FileError &error) {
        return failed(copyFailedText(error));
    }
    const std::string program = programPath(plan);
    if (!program.empty() && !fileExists(program))
        return failed(programMissingText(program));
    try {
        writeMarker(plan);
    } catch (const FileError &error) {
        return failed(markerFailedText(error));
    }
    return std::nullopt;
}

static std::string parentOf(const std::string &path)
{
    return fromPath(toPath(cleanAbsolute(path)).parent_path());
}

void writeMarker(const InstallPlan &plan)
{
    makeFolders(parentOf(plan.markerPath));
    const std::string text = markerText(plan.installFolder, plan.runFile);
    std::optional<std::string> earlier;
    if (fileExists(plan.markerPath)) {
        try {
            earlier = readFile(plan.markerPath);
        } catch (const FileError &) {
        }
    }
    writeFile(plan.markerPath, text);
    try {
        writeFile(stampPath(plan.installFolder), text);
    } catch (const FileError &) {
        // A marker without its stamp would never be trusted; put back the
        // one that was there.
        try {
            if (earlier)
                writeFile(plan.markerPath, *earlier);
            else
                removeAll(plan.markerPath);
        } catch (const FileError &) {
            removeAll(plan.markerPath);
        }
        throw;
    }
}

std::string rememberedProgram(const std::string &markerPath)
{
    if (!fileExists(markerPath))
        return std::string();
    std::string text;
    try {
        text = readFile(markerPath);
    } catch (const FileError &) {
        return std::string(); // unreadable: install afresh
    }
    const std::vector<std::string> lines = splitLines(decode8bit(text));
    if (lines.size() < 2 || !fileExists(lines[0]) || !folderExists(lines[1]))
        return std::string();
    const std::string program = canonical(lines[0]);
    const std::string folder = canonical(lines[1]);
    if (program.empty() || folder.empty() || !isSameOrInside(program, folder)
        || isSameOrInside(folder, program))
        return std::string();
    const std::string stamp = stampPath(lines[1]);
    if (!fileExists(stamp))
        return std::string();
    try {
        if (readFile(stamp) != text)
            return std::string();
    } catch (const FileError &) {
        return std::string();
    }
    return lines[0];
}

} // namespace setup::core
