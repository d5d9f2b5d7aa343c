#include "core/book/bookmodel.h"

#include "core/common/filesystem.h"
#include "core/common/paths.h"

#include <QRegularExpression>

#include <functional>

namespace zorvel {

namespace {

QString stemOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

const QString kMarkShenas = QStringLiteral(u"شناسنامه");

// Moves the first identity page to the front of the index, wherever the
// operator marked it, so a book always opens on it.
void identityFirst(QList<TocNode> &toc, const QStringList &pageTitles)
{
    std::function<std::optional<TocNode>(QList<TocNode> &)> take
        = [&](QList<TocNode> &nodes) -> std::optional<TocNode> {
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            TocNode &n = nodes[i];
            if (!n.isMainTitle() && pageTitles.value(n.page) == kMarkShenas) {
                TocNode found = n;
                nodes.removeAt(i);
                return found;
            }
            if (n.isMainTitle())
                if (auto found = take(n.children))
                    return found;
        }
        return std::nullopt;
    };
    if (!toc.isEmpty() && !toc.first().isMainTitle()
        && pageTitles.value(toc.first().page) == kMarkShenas)
        return;
    if (auto found = take(toc))
        toc.prepend(*found);
}

// Page indices in the order of the leaves.
void leafOrder(const QList<TocNode> &nodes, QList<int> &order)
{
    for (const TocNode &n : nodes) {
        if (n.isMainTitle())
            leafOrder(n.children, order);
        else
            order << n.page;
    }
}

void renumber(QList<TocNode> &nodes, const QHash<int, int> &newIndex)
{
    for (TocNode &n : nodes) {
        if (n.isMainTitle())
            renumber(n.children, newIndex);
        else
            n.page = newIndex.value(n.page);
    }
}

void addText(QList<PageBlock> &blocks, const QString &text)
{
    blocks << PageBlock { PageBlock::Kind::Text, text };
}

} // namespace

FolderNames::FolderNames(const FileSystem &fs, const QString &folder)
{
    if (!fs.folderExists(folder))
        return;
    for (const QString &name : fs.listFiles(folder)) {
        const QString lower = name.toLower();
        if (!m_byLower.contains(lower))
            m_byLower.insert(lower, name);
        m_byStem[stemOf(lower)] << name;
    }
}

QString FolderNames::find(const QString &name) const
{
    return m_byLower.value(name.toLower());
}

QStringList FolderNames::withStem(const QString &stem) const
{
    return m_byStem.value(stem.toLower());
}

std::optional<ParsedPage> parsePage(const QString &text, const FolderNames &pictures)
{
    const std::optional<layout::PageParts> parts = layout::splitPage(text);
    if (!parts)
        return std::nullopt;
    ParsedPage page;
    page.title = parts->title;

    const QString open = u'<' + layout::paragraphTag() + u'>';
    const QString close = QStringLiteral("</") + layout::paragraphTag() + u'>';
    const QLatin1StringView img("<IMG");
    const QString bookImg = layout::pictureUrlPrefix();
    const QStringView body = parts->body;
    QString stray; // text outside any paragraph, kept rather than lost
    auto flushStray = [&] {
        const QString t = stray.trimmed();
        if (!t.isEmpty())
            addText(page.blocks, t);
        stray.clear();
    };
    qsizetype i = 0;
    while (i < body.size()) {
        const qsizetype lt = body.indexOf(u'<', i);
        if (lt < 0) {
            stray += body.mid(i);
            break;
        }
        stray += body.mid(i, lt - i);
        i = lt;
        const QStringView rest = body.mid(i);
        if (rest.startsWith(open)) {
            flushStray();
            const qsizetype from = i + open.size();
            qsizetype to = body.indexOf(close, from);
            const bool closed = to >= 0;
            if (!closed)
                to = body.size();
            const QStringView paragraph = body.mid(from, to - from);
            if (!paragraph.trimmed().isEmpty())
                addText(page.blocks, paragraph.toString());
            i = closed ? to + close.size() : to;
            continue;
        }
        if (rest.startsWith(img, Qt::CaseInsensitive)) {
            const qsizetype gt = body.indexOf(u'>', i);
            if (gt >= 0) {
                flushStray();
                static const QRegularExpression src(QStringLiteral("src\\s*=\\s*\"([^\"]*)\""),
                    QRegularExpression::CaseInsensitiveOption);
                const QString value = src.match(body.mid(i, gt - i)).captured(1);
                if (value.startsWith(bookImg, Qt::CaseInsensitive)) {
                    const QString name = value.mid(bookImg.size());
                    const QString found = pictures.find(name);
                    if (!found.isEmpty() && !name.contains(u'/'))
                        page.blocks << PageBlock { PageBlock::Kind::Image,
                            layout::picturesFolder() + u'/' + found };
                }
                i = gt + 1;
                continue;
            }
        }
        stray += body[i];
        ++i;
    }
    flushStray();
    return page;
}

MediaKind mediaKindOf(const QString &extension)
{
    static const QStringList pictures { "jpg", "jpeg", "jpe", "gif", "bmp", "png", "webp" };
    static const QStringList sounds { "mp3", "wav", "ogg", "oga", "opus", "m4a", "aac", "flac",
        "wma", "mid", "midi", "rmi", "au", "snd", "aif", "aiff" };
    static const QStringList films { "mp4", "m4v", "webm", "ogv", "avi", "mpg", "mpeg", "wmv",
        "mov", "mkv", "flv", "3gp", "asf", "swf", "dat" };
    const QString e = extension.toLower();
    if (pictures.contains(e))
        return MediaKind::Picture;
    if (sounds.contains(e))
        return MediaKind::Sound;
    if (films.contains(e))
        return MediaKind::Film;
    return MediaKind::Unknown;
}

namespace {

// The attached media of one page: the files beside it that share its name.
void attachMedia(PageModel &page, const QString &pageName, const FolderNames &pages)
{
    const QString stem = stemOf(pageName);
    QStringList unknown;
    for (const QString &name : pages.withStem(stem)) {
        if (name.compare(pageName, Qt::CaseInsensitive) == 0)
            continue;
        const QString ext = extensionOf(name);
        const QString path = layout::pagesFolder() + u'/' + name;
        if (name.compare(pageName + u'l', Qt::CaseInsensitive) == 0) {
            page.printable = path;
            continue;
        }
        switch (mediaKindOf(ext)) {
        case MediaKind::Picture:
            page.picture = path;
            break;
        case MediaKind::Sound:
            page.sound = path;
            break;
        case MediaKind::Film:
            page.film = path;
            break;
        case MediaKind::Unknown:
            unknown << path;
            break;
        }
    }
    // An extension of no known kind fills the first free place: picture,
    // sound, film, the order of the paragraph's attachments.
    for (const QString &path : unknown) {
        if (page.picture.isEmpty())
            page.picture = path;
        else if (page.sound.isEmpty())
            page.sound = path;
        else if (page.film.isEmpty())
            page.film = path;
    }
}

} // namespace

BookModel readBook(const FileSystem &fs, const QString &treePath, const FolderNames &pages,
    const FolderNames &pictures, const QString &pagesFolder)
{
    BookModel book;
    QStringList pageFiles;
    bool tooDeep = false;
    QList<TocNode> toc = parseTree(fs.readUnicode(treePath), &pageFiles, &tooDeep);
    if (tooDeep)
        throw FsError(treePath,
            QStringLiteral("The book's index nests main titles deeper than %1 levels")
                .arg(kMaxTreeDepth));
    QList<PageModel> models;
    QStringList titles;
    for (const QString &file : pageFiles) {
        const QString name = pages.find(file);
        if (name.isEmpty() || file.isEmpty())
            throw FsError(treePath,
                QStringLiteral("The book's index names a page that is missing (%1)").arg(file));
        const QString path = pagesFolder + name;
        const std::optional<ParsedPage> parsed
            = parsePage(layout::readPageFile(fs, path), pictures);
        if (!parsed)
            throw FsError(path, layout::unclosedTitleReason());
        PageModel page;
        page.title = parsed->title;
        page.blocks = parsed->blocks;
        page.pageFile = layout::pagesFolder() + u'/' + name;
        attachMedia(page, name, pages);
        models << page;
        titles << page.title;
    }
    identityFirst(toc, titles);
    QList<int> order;
    leafOrder(toc, order);
    QHash<int, int> newIndex;
    for (int i = 0; i < order.size(); ++i) {
        newIndex.insert(order[i], i);
        book.pages << models[order[i]];
        book.pages.last().identity = book.pages.last().title == kMarkShenas;
    }
    renumber(toc, newIndex);
    book.toc = toc;
    return book;
}


} // namespace zorvel
