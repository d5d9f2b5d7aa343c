#include "core/export/printpages.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/common/wholefile.h"
#include "core/export/exportprogress.h"

#include <QStringDecoder>

namespace zorvel {

std::optional<QString> printablePage(const QString &page, const QString &pageTemplate)
{
    const std::optional<layout::PageParts> parts = layout::splitPage(page);
    if (!parts)
        return std::nullopt;
    QString body = parts->body;
    const QString tag = layout::paragraphTag();
    body.replace(u'<' + tag + u'>', QStringLiteral("<p align=\"right\">"));
    body.replace(QStringLiteral("</") + tag + u'>', QStringLiteral("</p>"));
    QString result = pageTemplate;
    result.replace(QStringLiteral("%Title%"), parts->title);
    result.replace(QStringLiteral("%Matn%"), body);
    return result;
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
        if (extensionOf(name).compare(layout::pageExtension(), Qt::CaseInsensitive) != 0)
            continue;
        const QString path = folder + name;
        const QString page = layout::readPageFile(fs, path);
        if (!pageTemplate)
            pageTemplate = readPageTemplate(fs, templatePath);
        const std::optional<QString> printable = printablePage(page, *pageTemplate);
        if (!printable)
            throw FsError(path, layout::unclosedTitleReason());
        writeWholeUnicode(path + u'l', *printable);
        ++written;
        exportStep(progress);
    }
    return written;
}

} // namespace zorvel
