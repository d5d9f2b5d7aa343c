#include "core/export/exportscript.h"

#include "core/book/textrules.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/common/wholefile.h"
#include "core/export/exportprogress.h"

#include <QDir>

namespace zorvel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

std::optional<QStringList> sectionEntries(const QString &script, const QString &header)
{
    const qsizetype p = script.indexOf(header);
    if (p < 0)
        return std::nullopt;
    const qsizetype q = script.indexOf(u'[', p + header.size());
    if (q < 0)
        return std::nullopt;
    // Up to, not including, the character just before the "[".
    const QStringList pieces = script.mid(p, q - p - 1).split(kCrLf);
    if (pieces.size() < 3)
        return QStringList();
    return pieces.mid(1, pieces.size() - 2);
}

std::optional<ExportScript> parseExportScript(const QString &text, QString *problem)
{
    QString script = text;
    script.replace(kCrLf, QStringLiteral("\n"));
    script.replace(u'\n', kCrLf);

    ExportScript result;
    const struct {
        const char16_t *header;
        QStringList *entries;
    } sections[] = { { kMakeFolderHeader, &result.makeFolders },
        { kCopyFolderHeader, &result.copyFolders }, { kCopyFileHeader, &result.copyFiles } };
    for (const auto &s : sections) {
        const QString header = QString::fromUtf16(s.header);
        const auto entries = sectionEntries(script, header);
        if (!entries) {
            if (problem)
                *problem
                    = QStringLiteral("Export script: section %1 missing or not followed by \"[\"")
                          .arg(header);
            return std::nullopt;
        }
        *s.entries = *entries;
    }
    return result;
}

std::optional<CopyEntry> splitCopyEntry(const QString &line)
{
    const qsizetype arrow = line.indexOf(QStringLiteral("=>"));
    if (arrow < 0)
        return std::nullopt;
    return CopyEntry { trimSpaces(line.left(arrow)), trimSpaces(line.mid(arrow + 2)) };
}

QString scriptPath(const QString &entry)
{
    QString path = entry;
    path.replace(u'\\', u'/');
    return path;
}

QString withoutRoot(const QString &target)
{
    static const QString root = QStringLiteral("root");
    if (target == root)
        return {};
    if (target.startsWith(root) && (target.at(4) == u'\\' || target.at(4) == u'/'))
        return target.mid(4);
    return target;
}

QString pathLeavesFolder(const QString &entry)
{
    const QString path = scriptPath(entry);
    if (path.startsWith(u'/'))
        return QStringLiteral(u"با جداكننده شروع مي\u200Cشود");
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter())
        return QStringLiteral(u"نام درايو دارد");
    if (QDir::isAbsolutePath(path))
        return QStringLiteral(u"مسير كامل است");
    const QStringList parts = path.split(u'/');
    for (const QString &part : parts)
        if (trimSpaces(part) == QLatin1String(".."))
            return QStringLiteral(u"\"..\" دارد");
    return QString();
}

std::optional<QString> checkExportScript(const ExportScript &script)
{
    auto refuse = [](const QString &section, const QString &line, const QString &why) {
        return QStringLiteral(
            u"سطر \"%1\" از بخش %2 شيوه\u200Cنامه خروجي از شاخه خود بيرون مي\u200Cرود (%3).")
            .arg(line, section, why);
    };
    const QString make = QString::fromUtf16(kMakeFolderHeader);
    for (const QString &line : script.makeFolders)
        if (const QString why = pathLeavesFolder(line); !why.isEmpty())
            return refuse(make, line, why);
    const QString folders = QString::fromUtf16(kCopyFolderHeader);
    for (const QString &line : script.copyFolders) {
        const auto entry = splitCopyEntry(line);
        if (!entry)
            continue;
        for (const QString &side : { entry->source, entry->target })
            if (const QString why = pathLeavesFolder(side); !why.isEmpty())
                return refuse(folders, line, why);
    }
    const QString files = QString::fromUtf16(kCopyFileHeader);
    for (const QString &line : script.copyFiles) {
        const auto entry = splitCopyEntry(line);
        if (!entry)
            continue;
        if (const QString why = pathLeavesFolder(entry->source); !why.isEmpty())
            return refuse(files, line, why);
        // "root" stands for the output folder; what follows it is relative.
        QString target = scriptPath(withoutRoot(entry->target));
        if (!target.isEmpty() && !target.startsWith(u'/'))
            return refuse(files, line, QStringLiteral(u"مقصد با root شروع نمي\u200Cشود"));
        if (target.startsWith(u'/'))
            target.remove(0, 1);
        if (const QString why = pathLeavesFolder(target); !why.isEmpty())
            return refuse(files, line, why);
    }
    return std::nullopt;
}

QString incompleteName(const QString &outputFolder)
{
    return outputFolder + QStringLiteral(" (incomplete)");
}

QString nextOutputFolder(const FileSystem &fs, const QString &exportFolder)
{
    const QString e = DoSlashAlways(exportFolder);
    for (int n = 1;; ++n) {
        const QString candidate = e + QStringLiteral("Export ") + QString::number(n);
        const QString building = incompleteName(candidate);
        if (!fs.folderExists(candidate) && !fs.fileExists(candidate) && !fs.folderExists(building)
            && !fs.fileExists(building))
            return candidate;
    }
}

int countScriptFiles(const FileSystem &fs, const ExportScript &script, const QString &buildFolder)
{
    const QString d = DoSlashAlways(buildFolder);
    int files = int(script.copyFiles.size());
    for (const QString &line : script.copyFolders)
        if (const auto entry = splitCopyEntry(line)) {
            const QString source = d + scriptPath(entry->source);
            if (fs.folderExists(source))
                files += int(fs.listFiles(source).size());
        }
    return files;
}

void runExportScript(const FileSystem &fs, const ExportScript &script, const QString &programFolder,
    const QString &buildFolder, const QString &outputFolder, ExportProgress *progress)
{
    const QString o = scriptPath(outputFolder);
    const QString d = DoSlashAlways(buildFolder);
    const QString resources = DoSlashAlways(programFolder) + QStringLiteral("Resources/");

    for (const QString &entry : script.makeFolders)
        fs.createFolder(o + u'/' + scriptPath(entry));

    for (const QString &line : script.copyFolders) {
        const auto entry = splitCopyEntry(line);
        if (!entry)
            throw FsError(line, QStringLiteral("Export script: entry without \"=>\""));
        const QString target = o + u'/' + scriptPath(entry->target);
        fs.createFolder(target);
        const QString source = d + scriptPath(entry->source);
        for (const QString &name : fs.listFiles(source)) {
            copyWholeFile(source + u'/' + name, target + u'/' + name);
            exportStep(progress);
        }
    }

    for (const QString &line : script.copyFiles) {
        const auto entry = splitCopyEntry(line);
        if (!entry)
            throw FsError(line, QStringLiteral("Export script: entry without \"=>\""));
        const QString target = withoutRoot(entry->target);
        const QString file = scriptPath(entry->source);
        copyWholeFile(resources + file, o + scriptPath(target) + u'/' + file);
        exportStep(progress);
    }
}

} // namespace zorvel
