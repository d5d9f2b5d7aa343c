#include "export/exporter.h"

#include "common/filesystem.h"
#include "common/paths.h"
#include "export/exportscript.h"
#include "export/printpages.h"
#include "export/readerdata.h"

namespace zorvel {

qint16 messageCode(ExportOutcome outcome)
{
    switch (outcome) {
    case ExportOutcome::ExportFolderMissing:
        return 26;
    case ExportOutcome::BuildFolderMissing:
        return 10;
    case ExportOutcome::ScriptMissing:
        return 27;
    case ExportOutcome::Failed:
        return 28;
    case ExportOutcome::Done:
        return 29;
    }
    return 28;
}

ExportResult runExport(const FileSystem &fs, const QString &programFolder,
    const QString &buildFolder, const QString &exportFolder, bool print)
{
    ExportResult result;
    if (!fs.folderExists(exportFolder)) {
        result.outcome = ExportOutcome::ExportFolderMissing;
        return result;
    }
    if (!fs.folderExists(buildFolder)) {
        result.outcome = ExportOutcome::BuildFolderMissing;
        return result;
    }
    const QString resources = DoSlashAlways(programFolder) + QStringLiteral("Resources/");
    const QString scriptFile = resources + QStringLiteral("Export.inf");
    if (!fs.fileExists(scriptFile)) {
        result.outcome = ExportOutcome::ScriptMissing;
        return result;
    }
    try {
        const std::optional<ExportScript> script
            = parseExportScript(fs.readSystem8bit(scriptFile), &result.problem);
        if (!script)
            return result; // Failed, before any folder is made
        if (const std::optional<QString> escape = checkExportScript(*script)) {
            result.problem = *escape;
            return result;
        }
        const QString output = nextOutputFolder(fs, exportFolder);
        fs.createFolder(output);
        result.outputFolder = output;
        runExportScript(fs, *script, programFolder, buildFolder, output);
        if (print)
            result.printablePages = makePrintablePages(fs, output + QStringLiteral("/Data/BookTXT"),
                resources + QStringLiteral("Default.html"));
        // After the pages, so the reader knows which printable pages exist.
        result.readerBooks = writeReaderData(fs, output).books;
    } catch (const FsError &e) {
        result.problem = e.describe();
        return result;
    }
    result.outcome = ExportOutcome::Done;
    return result;
}

} // namespace zorvel
