#include "core/book/buildlayout.h"

#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/common/xmltext.h"

#include <QRegularExpression>

namespace zorvel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString lastSegment(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

} // namespace

namespace layout {

QString pagesFolder()
{
    return QStringLiteral("BookTXT");
}
QString indexFolder()
{
    return QStringLiteral("_xml");
}
QString picturesFolder()
{
    return QStringLiteral("BookIMG");
}
QString flashFolder()
{
    return QStringLiteral("FlashIMG");
}
QString workFolder()
{
    return QStringLiteral("Work");
}

QString exportDataFolder()
{
    return QStringLiteral("Data");
}

QString readerDataFolder()
{
    return QStringLiteral("reader/data");
}

QString titleListFile()
{
    return QStringLiteral("BookTitle.xml");
}
QString settingsFile()
{
    return QStringLiteral("CDProperty.xml");
}
QString pageExtension()
{
    return QStringLiteral("htm");
}
QString titleTag()
{
    return QStringLiteral("pgTitle");
}
QString paragraphTag()
{
    return QStringLiteral("pgMain");
}

QString treeFileName(const QString &rowLetter, const QString &bookNo)
{
    return rowLetter + QStringLiteral("Title") + bookNo + QStringLiteral(".xml");
}

bool isTreeFile(const QString &name)
{
    return name.contains(QLatin1String("Title"), Qt::CaseInsensitive)
        && !name.startsWith(QLatin1String("BookTitle"), Qt::CaseInsensitive);
}

QString unclosedTitleReason()
{
    return QStringLiteral("Page without a closed ") + titleTag() + QStringLiteral(" element");
}

QString coverFileName(const QString &rowLetter, const QString &bookNo)
{
    return titleKey(rowLetter, bookNo) + QStringLiteral(".jpg");
}

QString titleKey(const QString &rowLetter, const QString &bookNo)
{
    return rowLetter + QStringLiteral("Book") + bookNo;
}

QString backgroundFile()
{
    return QStringLiteral("Back.jpg");
}
QString shelfMusicFile()
{
    return QStringLiteral("Sound1.mp3");
}
QString bookMusicFile()
{
    return QStringLiteral("Sound2.mp3");
}

QString pageText(const QString &title, const QString &body)
{
    return u'<' + titleTag() + u'>' + title + QStringLiteral("</") + titleTag() + u'>' + kCrLf
        + body;
}

QString paragraphs(const QString &plain)
{
    const QString open = u'<' + paragraphTag() + u'>';
    const QString close = QStringLiteral("</") + paragraphTag() + u'>';
    QString body = plain;
    body.replace(kCrLf, close + kCrLf + open);
    body = open + body + close;
    const QString empty = open + close + kCrLf;
    return empty + empty + body;
}

QString inlinePictureMarkStart()
{
    return u'<' + paragraphTag() + QStringLiteral("> {");
}
QString inlinePictureMarkEnd()
{
    return QStringLiteral("}</") + paragraphTag() + u'>';
}
QString pictureUrlPrefix()
{
    return QStringLiteral("../") + picturesFolder() + u'/';
}

QString pictureReference(const QString &pictureName)
{
    return QStringLiteral("<IMG src=\"") + pictureUrlPrefix() + pictureName + QStringLiteral("\">");
}

std::optional<PageParts> splitPage(const QString &text)
{
    const QString closing = QStringLiteral("</") + titleTag() + u'>';
    const qsizetype end = text.indexOf(closing);
    if (end < 0)
        return std::nullopt;
    const std::optional<QString> title = elementText(text, titleTag());
    if (!title)
        return std::nullopt;
    return PageParts { *title, text.mid(end + closing.size()) };
}

QString readPageFile(const FileSystem &fs, const QString &path)
{
    const QByteArray bytes = fs.readBytes(path);
    if (!bytes.startsWith("\xFF\xFE") || bytes.size() % 2 != 0)
        throw FsError(
            path, QStringLiteral("Not a page file: UTF-16 text starting with FF FE expected"));
    return fromUtf16Le(bytes);
}

QString treeStart()
{
    return QStringLiteral("<?xml version=\"1.0\"?>") + kCrLf + QStringLiteral("<Tree>") + kCrLf;
}

QString treeGroupStart(int depth, const QString &label)
{
    return QString(depth, u'\t') + QStringLiteral("<node label=\"") + xmlEscaped(label)
        + QStringLiteral("\">") + kCrLf;
}

QString treeGroupEnd(int depth)
{
    return QString(depth, u'\t') + QStringLiteral("</node>") + kCrLf;
}

QString treePage(
    int depth, const QString &label, const QString &pageFile, const QString &mediaStatus)
{
    return QString(depth, u'\t') + QStringLiteral("<node label=\"") + xmlEscaped(label)
        + QStringLiteral("\" src=\"DATA/") + pagesFolder() + u'/' + pageFile
        + QStringLiteral("\" mediaStatus=\"") + mediaStatus + QStringLiteral("\" />") + kCrLf;
}

QString creditLine()
{
    return QStringLiteral(u"<aBook0>ساخته شده با Zorvel</aBook0>");
}

QString titleListStart()
{
    return QStringLiteral("<strings>") + kCrLf + u'\t' + creditLine() + kCrLf;
}

QString titleLine(const QString &rowLetter, const QString &bookNo, const QString &bookName)
{
    const QString key = titleKey(rowLetter, bookNo);
    return QStringLiteral("\t<") + key + u'>' + xmlEscaped(bookName) + QStringLiteral("</") + key
        + u'>' + kCrLf;
}

} // namespace layout

QList<TocNode> parseTree(const QString &text, QStringList *pageFiles, bool *tooDeep)
{
    if (tooDeep)
        *tooDeep = false;
    static const QRegularExpression tag(QStringLiteral("<node\\b([^>]*?)(/?)>|</node\\s*>"));
    static const QRegularExpression attribute(QStringLiteral("(\\w+)\\s*=\\s*\"([^\"]*)\""));
    QList<TocNode> top;
    // The lists entries go into: the top level, then the children of each
    // main title still open. Only the last list grows, so the pointers hold.
    QList<QList<TocNode> *> stack { &top };
    for (const QRegularExpressionMatch &m : tag.globalMatch(text)) {
        if (m.captured(0).startsWith(QLatin1String("</"))) {
            if (stack.size() > 1)
                stack.removeLast();
            continue;
        }
        QString label;
        QString src;
        for (const QRegularExpressionMatch &a : attribute.globalMatch(m.captured(1))) {
            if (a.captured(1) == QLatin1String("label"))
                label = unescapeXml(a.captured(2));
            else if (a.captured(1) == QLatin1String("src"))
                src = unescapeXml(a.captured(2));
        }
        QList<TocNode> *current = stack.last();
        TocNode node;
        node.label = label;
        if (m.captured(2) == QLatin1String("/")) {
            node.page = int(pageFiles->size());
            *pageFiles << lastSegment(src);
            current->append(node);
        } else {
            if (stack.size() > kMaxTreeDepth) {
                if (tooDeep)
                    *tooDeep = true;
                pageFiles->clear();
                return {};
            }
            current->append(node);
            stack << &current->last().children;
        }
    }
    return top;
}

QHash<QString, QString> parseBookTitles(const QString &text)
{
    static const QRegularExpression element(
        QStringLiteral("<([abc])Book([0-9]+)>(.*?)</\\1Book\\2>"),
        QRegularExpression::DotMatchesEverythingOption);
    QHash<QString, QString> names;
    for (const QRegularExpressionMatch &m : element.globalMatch(text))
        names.insert(m.captured(1) + QString::number(m.captured(2).toInt()),
            unescapeXml(m.captured(3).trimmed()));
    return names;
}

} // namespace zorvel
