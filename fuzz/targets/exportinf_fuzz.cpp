// Export.inf, the export script: parsed and checked; a script that passes
// the check names no path that leads out of its folder.
#include "fuzz_input.h"

#include "core/export/exportscript.h"

int fuzzExportInf(const uint8_t *data, size_t size)
{
    // The script is 8-bit text; Latin-1 keeps every byte.
    const QString text = QString::fromLatin1(zorvel::fuzz::bytesOf(data, size));
    QString problem;
    const auto script = zorvel::parseExportScript(text, &problem);
    if (!script)
        return 0;
    if (zorvel::checkExportScript(*script))
        return 0;
    for (const QString &line : script->makeFolders)
        zorvel::fuzz::check(zorvel::pathLeavesFolder(line).isEmpty());
    for (const QString &line : script->copyFiles) {
        if (const auto entry = zorvel::splitCopyEntry(line)) {
            zorvel::fuzz::check(zorvel::pathLeavesFolder(entry->source).isEmpty());
            QString target = zorvel::scriptPath(zorvel::withoutRoot(entry->target));
            if (target.startsWith(u'/'))
                target.remove(0, 1);
            zorvel::fuzz::check(zorvel::pathLeavesFolder(target).isEmpty());
        }
    }
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzExportInf)
