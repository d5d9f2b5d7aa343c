#include "install.h"

#include "core/files.h"
#include "core/install.h"
#include "core/paths.h"
#include "core_text.h"
#include "text_files.h"

namespace setup {

static core::InstallPlan toCore(const InstallPlan &plan)
{
    return { u8(plan.cdFolder), u8(plan.sourceFolder), u8(plan.installFolder), u8(plan.runFile),
        u8(plan.markerPath) };
}

InstallPlan makePlan(const QString &programFolder, const QString &volumeRoot,
    const QString &folderName, const QString &installFolder, const QString &runFile,
    const QString &markerPath)
{
    const core::InstallPlan plan = core::makePlan(u8(programFolder), u8(volumeRoot), u8(folderName),
        u8(installFolder), u8(runFile), u8(markerPath));
    return { qs(plan.cdFolder), qs(plan.sourceFolder), qs(plan.installFolder), qs(plan.runFile),
        qs(plan.markerPath) };
}

QString programPath(const InstallPlan &plan)
{
    return qs(core::programPath(toCore(plan)));
}

QString firstMissingFolder(const QString &folder)
{
    return qs(core::firstMissingFolder(u8(folder)));
}

std::optional<QString> install(const InstallPlan &plan)
{
    const std::optional<std::string> problem = core::install(toCore(plan));
    if (!problem)
        return std::nullopt;
    return qs(*problem);
}

QString stampPath(const QString &installFolder)
{
    return qs(core::stampPath(u8(installFolder)));
}

void writeMarker(const InstallPlan &plan)
{
    try {
        core::writeMarker(toCore(plan));
    } catch (const core::FileError &error) {
        throw FileError(error);
    }
}

QString rememberedProgram(const QString &markerPath)
{
    return qs(core::rememberedProgram(u8(markerPath)));
}

} // namespace setup
