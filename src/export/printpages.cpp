#include "export/printpages.h"

#include "common/filesystem.h"
#include "common/paths.h"
#include "common/wholefile.h"
#include "export/exportprogress.h"
#include "project/settings.h"

#include <QStringDecoder>

namespace zorvel {

std::optional<QString> printablePage(const QString &page, const QString &pageTemplate)
{
    const QString closing = QStringLiteral("</pgTitle>");
    const qsizetype end = page.indexOf(closing);
    if (end < 0)
        return std::nullopt;
    const std::optional<QString> title = elementText(page, QStringLiteral("pgTitle"));
    if (!title)
        return std::nullopt;
    QString body = page.mid(end + closing.size());
    body.replace(QStringLiteral("<pgMain>"), QStringLiteral("<p align=\"right\">"));
    body.replace(QStringLiteral("</pgMain>"), QStringLiteral("</p>"));
    QString result = pageTemplate;
    result.replace(QStringLiteral("%Title%"), *title);
    result.replace(QStringLiteral("%Matn%"), body);
    return result;
}

QString readPageFile(const FileSystem &fs, const QString &path)
{
    const QByteArray bytes = fs.readBytes(path);
    if (!bytes.startsWith("\xFF\xFE") || bytes.size() % 2 != 0)
        throw FsError(
            path, QStringLiteral("Not a page file: UTF-16 text starting with FF FE expected"));
    return fromUtf16Le(bytes);
}

QString readPageTemplate(const FileSystem &fs, const QString &path)
{
    const QByteArray bytes = fs.readBytes(path);
    if (bytes.startsWith("\xFF\xFE") && bytes.size() % 2 == 0)
        return fromUtf16Le(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(QByteArrayView(bytes).sliced(3));
        if (!utf8.hasError())
            return text;
    }
    throw FsError(path,
        QStringLiteral("Page template in an unknown encoding: UTF-16 with FF FE or UTF-8 with a "
                       "byte-order mark expected"));
}

int makePrintablePages(const FileSystem &fs, const QString &pagesFolder,
    const QString &templatePath, ExportProgress *progress)
{
    const QString folder = DoSlashAlways(pagesFolder);
    std::optional<QString> pageTemplate;
    int written = 0;
    for (const QString &name : fs.listFiles(pagesFolder)) {
        if (extensionOf(name).compare(QLatin1String("htm"), Qt::CaseInsensitive) != 0)
            continue;
        const QString path = folder + name;
        const QString page = readPageFile(fs, path);
        if (!pageTemplate)
            pageTemplate = readPageTemplate(fs, templatePath);
        const std::optional<QString> printable = printablePage(page, *pageTemplate);
        if (!printable)
            throw FsError(path, QStringLiteral("Page without a closed pgTitle element"));
        writeWholeUnicode(path + u'l', *printable);
        ++written;
        exportStep(progress);
    }
    return written;
}

} // namespace zorvel
