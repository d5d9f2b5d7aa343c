#include "core/export/exporter.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/export/exportprogress.h"
#include "core/export/exportscript.h"
#include "core/export/printpages.h"
#include "core/export/readerdata.h"

#include <QDir>
#include <QFileInfo>

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

QString unfinishedBooksQuestion(const QStringList &entries)
{
    return unfinishedBooksWarning(entries) + QStringLiteral(u"\n\nبا اين حال خروجي گرفته شود؟");
}

QString unfinishedBooksWarning(const QStringList &entries)
{
    return QStringLiteral(u"اين كتابها هنوز ساخته نشده\u200Cاند و روي سي\u200Cدي نخواهند بود:\n")
        + entries.join(u'\n');
}

namespace {

// Files the export will copy and write: the script's files, the printable
// pages of the build folder's pages, and one per finished book.
int countSteps(
    const FileSystem &fs, const ExportScript &script, const QString &buildFolder, bool print)
{
    int steps = countScriptFiles(fs, script, buildFolder);
    const QString d = DoSlashAlways(buildFolder);
    if (print && fs.folderExists(d + layout::pagesFolder()))
        for (const QString &name : fs.listFiles(d + layout::pagesFolder()))
            if (extensionOf(name).compare(layout::pageExtension(), Qt::CaseInsensitive) == 0)
                ++steps;
    if (fs.folderExists(d + layout::indexFolder()))
        for (const QString &name : fs.listFiles(d + layout::indexFolder()))
            if (layout::isTreeFile(name))
                ++steps;
    return steps;
}

// A failed export leaves no folder that looks finished: the incomplete one
// goes, or keeps its incomplete name when it cannot be removed.
void abandon(const FileSystem &fs, const QString &building, ExportResult &result)
{
    if (building.isEmpty() || !fs.folderExists(building))
        return;
    const QString name = QFileInfo(building).fileName();
    if (QDir(building).removeRecursively()) {
        result.problem += QStringLiteral(u"\nپوشه ناتمام \"%1\" پاك شد.").arg(name);
        return;
    }
    result.outputFolder = building;
    result.problem
        += QStringLiteral(u"\nپوشه ناتمام با نام \"%1\" ماند؛ آن را روي سي\u200Cدي ننويسيد.")
               .arg(name);
}

} // namespace

ExportResult runExport(const FileSystem &fs, const QString &programFolder,
    const QString &buildFolder, const QString &exportFolder, bool print, ExportProgress *progress)
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
    QString building; // the output under its incomplete name
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
        building = incompleteName(output);
        if (progress)
            progress->begin(countSteps(fs, *script, buildFolder, print));
        fs.createFolder(building);
        runExportScript(fs, *script, programFolder, buildFolder, building, progress);
        if (print)
            result.printablePages
                = makePrintablePages(fs, building + u'/' + layout::exportDataFolder() + u'/' + layout::pagesFolder(),
                    resources + QStringLiteral("Default.html"), progress);
        // After the pages, so the reader knows which printable pages exist.
        result.readerBooks = writeReaderData(fs, building, progress).books;
        // Only a finished output carries the name a CD is burnt from.
        if (!QDir().rename(building, output))
            throw FsError(building,
                QStringLiteral("Cannot rename the finished output to \"%1\"")
                    .arg(QFileInfo(output).fileName()));
        result.outputFolder = output;
    } catch (const FsError &e) {
        result.problem = e.describe();
        abandon(fs, building, result);
        return result;
    } catch (const ExportCancelled &) {
        result.problem = QStringLiteral(u"خروجي گرفتن متوقف شد.");
        abandon(fs, building, result);
        return result;
    }
    result.outcome = ExportOutcome::Done;
    return result;
}

} // namespace zorvel
