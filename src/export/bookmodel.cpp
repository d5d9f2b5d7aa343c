#include "export/bookmodel.h"

#include "common/filesystem.h"
#include "common/paths.h"
#include "export/printpages.h"
#include "project/bookslot.h"
#include "project/settings.h"

#include <QRegularExpression>

#include <functional>

namespace zorvel {

namespace {

QString stemOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString lastSegment(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
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

QString unescapeXml(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const qsizetype semi = c == u'&' ? text.indexOf(u';', i + 1) : -1;
        if (semi < 0 || semi - i > 10) {
            out += c;
            continue;
        }
        const QString name = text.mid(i + 1, semi - i - 1);
        QString replacement;
        if (name == QLatin1String("amp"))
            replacement = QStringLiteral("&");
        else if (name == QLatin1String("lt"))
            replacement = QStringLiteral("<");
        else if (name == QLatin1String("gt"))
            replacement = QStringLiteral(">");
        else if (name == QLatin1String("quot"))
            replacement = QStringLiteral("\"");
        else if (name == QLatin1String("apos"))
            replacement = QStringLiteral("'");
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                ? name.mid(2).toUInt(&ok, 16)
                : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t c32 = code;
                replacement = QString::fromUcs4(&c32, 1);
            }
        }
        if (replacement.isEmpty()) {
            out += c;
            continue;
        }
        out += replacement;
        i = semi;
    }
    return out;
}

QList<TocNode> parseTree(const QString &text, QStringList *pageFiles)
{
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

std::optional<ParsedPage> parsePage(const QString &text, const FolderNames &pictures)
{
    const QString closeTitle = QStringLiteral("</pgTitle>");
    const qsizetype end = text.indexOf(closeTitle);
    if (end < 0)
        return std::nullopt;
    const std::optional<QString> title = elementText(text, QStringLiteral("pgTitle"));
    if (!title)
        return std::nullopt;
    ParsedPage page;
    page.title = *title;

    const QLatin1StringView open("<pgMain>");
    const QLatin1StringView close("</pgMain>");
    const QLatin1StringView img("<IMG");
    const QLatin1StringView bookImg("../BookIMG/");
    const QStringView body = QStringView(text).mid(end + closeTitle.size());
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
                            QStringLiteral("BookIMG/") + found };
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
        const QString path = QStringLiteral("BookTXT/") + name;
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

BookModel readBook(const FileSystem &fs, const QString &treePath, const FolderNames &pages,
    const FolderNames &pictures, const QString &pagesFolder)
{
    BookModel book;
    QStringList pageFiles;
    QList<TocNode> toc = parseTree(fs.readUnicode(treePath), &pageFiles);
    QList<PageModel> models;
    QStringList titles;
    for (const QString &file : pageFiles) {
        const QString name = pages.find(file);
        if (name.isEmpty() || file.isEmpty())
            throw FsError(treePath,
                QStringLiteral("The book's index names a page that is missing (%1)").arg(file));
        const QString path = pagesFolder + name;
        const std::optional<ParsedPage> parsed = parsePage(readPageFile(fs, path), pictures);
        if (!parsed)
            throw FsError(path, QStringLiteral("Page without a closed pgTitle element"));
        PageModel page;
        page.title = parsed->title;
        page.blocks = parsed->blocks;
        page.pageFile = QStringLiteral("BookTXT/") + name;
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

} // namespace

LibraryModel readLibrary(const FileSystem &fs, const QString &dataFolder)
{
    const QString data = DoSlashAlways(dataFolder);
    LibraryModel library;
    QString problem;
    const std::optional<ProjectSettings> settings = readProject(fs, dataFolder, &problem);
    if (!problem.isEmpty())
        throw FsError(settingsFilePath(dataFolder), QStringLiteral("Malformed settings file"));
    const ProjectSettings s = settings.value_or(ProjectSettings {});
    library.rows[0] = bookCountOf(s.aBookNumber);
    library.rows[1] = bookCountOf(s.bBookNumber);
    library.rows[2] = bookCountOf(s.cBookNumber);
    library.template1 = s.template1;
    library.musicOn = s.musicOn;
    library.print = s.print;

    const FolderNames flash(fs, data + QStringLiteral("FlashIMG"));
    auto flashFile = [&](const char *name) {
        const QString found = flash.find(QString::fromLatin1(name));
        return found.isEmpty() ? QString() : QStringLiteral("FlashIMG/") + found;
    };
    library.background = flashFile("Back.jpg");
    if (library.musicOn) {
        library.shelfMusic = flashFile("Sound1.mp3");
        library.bookMusic = flashFile("Sound2.mp3");
    }

    const FolderNames xml(fs, data + QStringLiteral("_xml"));
    const FolderNames pages(fs, data + QStringLiteral("BookTXT"));
    const FolderNames pictures(fs, data + QStringLiteral("BookIMG"));
    QHash<QString, QString> names;
    const QString titleFile = xml.find(QStringLiteral("BookTitle.xml"));
    if (!titleFile.isEmpty())
        names = parseBookTitles(fs.readUnicode(data + QStringLiteral("_xml/") + titleFile));

    const QString letters = QStringLiteral("abc");
    for (int row = 0; row < 3; ++row) {
        for (int place = 1; place <= library.rows[row]; ++place) {
            const QString slot = letters[row] + QString::number(place);
            const QString tree
                = xml.find(QString(letters[row]) + QStringLiteral("Title%1.xml").arg(place));
            if (tree.isEmpty())
                continue;
            BookModel book = readBook(fs, data + QStringLiteral("_xml/") + tree, pages, pictures,
                data + QStringLiteral("BookTXT/"));
            book.slot = slot;
            book.row = row;
            book.place = place;
            book.name = names.value(slot);
            const QString cover
                = pictures.find(QString(letters[row]) + QStringLiteral("Book%1.jpg").arg(place));
            if (!cover.isEmpty())
                book.cover = QStringLiteral("BookIMG/") + cover;
            library.books << book;
        }
    }
    return library;
}

} // namespace zorvel
