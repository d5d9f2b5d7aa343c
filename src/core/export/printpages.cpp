#include "core/export/printpages.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/common/xmltext.h"
#include "core/common/wholefile.h"
#include "core/export/exportprogress.h"

#include <QStringDecoder>

namespace zorvel {

namespace {

// The body as HTML: pgMain paragraphs become right-aligned p, the writer's
// picture references stay pictures, and everything else is text, so that a
// "<" in a page can neither hide words nor run script in the printout.
QString bodyHtml(QStringView body)
{
    const QString tag = layout::paragraphTag();
    const QString open = u'<' + tag + u'>';
    const QString close = QStringLiteral("</") + tag + u'>';
    const QString pictureStart = QStringLiteral("<IMG src=\"") + layout::pictureUrlPrefix();
    QString out;
    out.reserve(body.size() + body.size() / 4);
    qsizetype text = 0; // start of the text not yet written
    for (qsizetype i = body.indexOf(u'<'); i >= 0; i = body.indexOf(u'<', i)) {
        const QStringView rest = body.sliced(i);
        QString markup;
        qsizetype length = 0;
        if (rest.startsWith(open)) {
            markup = QStringLiteral("<p align=\"right\">");
            length = open.size();
        } else if (rest.startsWith(close)) {
            markup = QStringLiteral("</p>");
            length = close.size();
        } else if (rest.startsWith(pictureStart)) {
            // <IMG src="../BookIMG/name">, a plain file name inside.
            const qsizetype end = rest.indexOf(QLatin1StringView("\">"), pictureStart.size());
            const QStringView name = end < 0
                ? QStringView()
                : rest.sliced(pictureStart.size(), end - pictureStart.size());
            if (end >= 0 && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(u'<')
                && !name.contains(u'>')) {
                markup = QStringLiteral("<IMG src=\"") + layout::pictureUrlPrefix()
                    + xmlEscaped(name.toString()) + QStringLiteral("\">");
                length = end + 2;
            }
        }
        if (length == 0) {
            ++i;
            continue;
        }
        appendXmlEscaped(out, body.sliced(text, i - text));
        out += markup;
        i += length;
        text = i;
    }
    appendXmlEscaped(out, body.sliced(text));
    return out;
}

} // namespace

std::optional<QString> printablePage(const QString &page, const QString &pageTemplate)
{
    const std::optional<layout::PageParts> parts = layout::splitPage(page);
    if (!parts)
        return std::nullopt;
    const QString title = xmlEscaped(parts->title);
    const QString body = bodyHtml(parts->body);
    // One pass over the template: what goes in is never looked at again, so
    // a title holding "%Matn%" stays as it is.
    static const QString titleMark = QStringLiteral("%Title%");
    static const QString bodyMark = QStringLiteral("%Matn%");
    QString result;
    result.reserve(pageTemplate.size() + body.size() + title.size());
    qsizetype from = 0;
    for (qsizetype i = pageTemplate.indexOf(u'%'); i >= 0; i = pageTemplate.indexOf(u'%', i)) {
        const QStringView rest = QStringView(pageTemplate).sliced(i);
        const QString *mark = rest.startsWith(titleMark) ? &titleMark
            : rest.startsWith(bodyMark)                  ? &bodyMark
                                                         : nullptr;
        if (!mark) {
            ++i;
            continue;
        }
        result += QStringView(pageTemplate).sliced(from, i - from);
        result += mark == &titleMark ? title : body;
        i += mark->size();
        from = i;
    }
    result += QStringView(pageTemplate).sliced(from);
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
