#include "core/export/epub.h"
#include "core/export/exportprogress.h"

#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/common/xmltext.h"
#include "core/export/library.h"
#include "core/export/zipwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QUuid>

namespace zorvel {

namespace {

const char *const kFontFiles[] = { "Vazirmatn-Regular.woff2", "Vazirmatn-Bold.woff2", "OFL.txt" };

const char kStyleSheet[] = R"(@font-face {
  font-family: "Vazirmatn";
  font-weight: normal;
  font-style: normal;
  src: url("fonts/Vazirmatn-Regular.woff2") format("woff2");
}
@font-face {
  font-family: "Vazirmatn";
  font-weight: bold;
  font-style: normal;
  src: url("fonts/Vazirmatn-Bold.woff2") format("woff2");
}
body {
  font-family: "Vazirmatn", sans-serif;
  line-height: 1.9;
  text-align: justify;
  margin: 0 3%;
}
h1 {
  font-size: 1.35em;
  font-weight: bold;
  line-height: 1.5;
  text-align: right;
  margin: 1em 0 0.8em 0;
}
p {
  margin: 0 0 0.7em 0;
  text-indent: 0;
  orphans: 2;
  widows: 2;
}
.identity p {
  text-align: center;
}
figure {
  margin: 1em 0;
  text-align: center;
}
figure img {
  max-width: 100%;
  height: auto;
}
audio, video {
  display: block;
  width: 100%;
  margin: 1em 0;
}
.fallback {
  text-align: center;
  font-size: 0.9em;
}
nav ol {
  list-style-type: none;
  margin: 0;
  padding: 0 1.2em 0 0;
}
nav > ol {
  padding: 0;
}
nav li {
  margin: 0.3em 0;
}
nav a {
  text-decoration: none;
}
)";

const QString kUntitled = QStringLiteral(u"بدون عنوان");
const QString kPicture = QStringLiteral(u"تصوير");
const QString kNoSound = QStringLiteral(u"كتابخوان شما صدا را پخش نمي\u200Cكند.");
const QString kNoFilm = QStringLiteral(u"كتابخوان شما فيلم را پخش نمي\u200Cكند.");
const QString kContents = QStringLiteral(u"فهرست");


QString pictureExtension(const QString &type)
{
    if (type == QLatin1String("image/png"))
        return QStringLiteral(".png");
    if (type == QLatin1String("image/gif"))
        return QStringLiteral(".gif");
    return QStringLiteral(".jpg");
}

QString documentHead(const QString &title, const QString &styleHref)
{
    QString out = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\""
        " lang=\"fa\" xml:lang=\"fa\" dir=\"rtl\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>");
    appendXmlEscaped(out, title);
    out += QStringLiteral("</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"");
    out += styleHref;
    out += QStringLiteral("\"/>\n</head>\n");
    return out;
}

QString pageHref(int index)
{
    return QStringLiteral("pages/page-%1.xhtml").arg(index + 1, 3, 10, QLatin1Char('0'));
}

// One EPUB being put together: the manifest, the files to add, and the media
// of the Data folder already placed (so a picture used on many pages is
// stored once).
class EpubBuilder {
public:
    EpubBuilder(const BookModel &book, const QString &dataFolder, QStringList *leftOut)
        : m_book(book)
        , m_data(DoSlashAlways(dataFolder))
        , m_leftOut(leftOut)
    {
    }

    void write(const QString &fontsFolder, const QString &target, const QDateTime &modified);

private:
    struct Item {
        QString id;
        QString href; // relative to the package document
        QString type;
        QString properties;
    };
    struct Binary {
        QString href;
        QString source; // a file, or empty for `bytes`
        QByteArray bytes;
    };

    QString picture(const QString &path, const QString &properties = {});
    QString media(const QString &path, const QString &type);
    void leaveOut(const QString &path);
    QByteArray pageDocument(int index);
    QString navItems(const QList<TocNode> &nodes) const;
    QByteArray navDocument() const;
    QByteArray packageDocument(const QDateTime &modified) const;
    QString title() const { return m_book.name.trimmed().isEmpty() ? m_book.slot : m_book.name; }

    const BookModel &m_book;
    const QString m_data;
    QStringList *m_leftOut;
    QList<Item> m_items;
    QList<Binary> m_binaries;
    QHash<QString, QString> m_placed; // Data path -> href, empty when left out
    QString m_coverId;
    int m_pictures = 0;
    int m_media = 0;
};

void EpubBuilder::leaveOut(const QString &path)
{
    m_placed.insert(path, QString());
    if (m_leftOut)
        *m_leftOut << m_book.slot + QStringLiteral(": ") + path;
}

// A JPEG, PNG or GIF goes in as it is; another picture Qt can read goes in
// as PNG, since readers need not show any other kind.
QString EpubBuilder::picture(const QString &path, const QString &properties)
{
    if (m_placed.contains(path))
        return m_placed.value(path);
    const QString file = m_data + path;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw FsError(file, QStringLiteral("Cannot read the picture (%1)").arg(f.errorString()));
    Binary binary;
    QString type = corePictureType(f.read(16));
    if (!type.isEmpty()) {
        binary.source = file;
    } else {
        f.seek(0);
        const QImage image = QImage::fromData(f.readAll());
        QBuffer png(&binary.bytes);
        if (image.isNull() || !png.open(QIODevice::WriteOnly) || !image.save(&png, "PNG")) {
            leaveOut(path);
            return {};
        }
        type = QStringLiteral("image/png");
    }
    const QString id = properties.isEmpty()
        ? QStringLiteral("img-%1").arg(++m_pictures, 3, 10, QLatin1Char('0'))
        : QStringLiteral("cover");
    binary.href = QStringLiteral("images/") + id + pictureExtension(type);
    m_items << Item { id, binary.href, type, properties };
    m_binaries << binary;
    m_placed.insert(path, binary.href);
    if (!properties.isEmpty())
        m_coverId = id;
    return binary.href;
}

QString EpubBuilder::media(const QString &path, const QString &type)
{
    if (m_placed.contains(path))
        return m_placed.value(path);
    if (type.isEmpty()) {
        leaveOut(path);
        return {};
    }
    const QString id = QStringLiteral("media-%1").arg(++m_media, 3, 10, QLatin1Char('0'));
    const QString href = QStringLiteral("media/") + id + u'.' + extensionOf(path).toLower();
    m_items << Item { id, href, type, {} };
    m_binaries << Binary { href, m_data + path, {} };
    m_placed.insert(path, href);
    return href;
}

QByteArray EpubBuilder::pageDocument(int index)
{
    const PageModel &page = m_book.pages.at(index);
    const QString heading = page.title.trimmed().isEmpty() ? kUntitled : page.title;
    QString out = documentHead(heading, QStringLiteral("../style.css"));
    out += page.identity ? QStringLiteral("<body class=\"identity\">\n")
                         : QStringLiteral("<body>\n");
    out += QStringLiteral("<h1>");
    appendXmlEscaped(out, heading);
    out += QStringLiteral("</h1>\n");

    int pictures = 0;
    auto image = [&](const QString &href, const char *cls) {
        ++pictures;
        out += QStringLiteral("<figure class=\"%1\"><img src=\"../").arg(QLatin1String(cls));
        out += href;
        out += QStringLiteral("\" alt=\"");
        appendXmlEscaped(
            out, kPicture + u' ' + QString::number(pictures) + QStringLiteral(u": ") + heading);
        out += QStringLiteral("\"/></figure>\n");
    };
    if (!page.picture.isEmpty()) {
        const QString href = picture(page.picture);
        if (!href.isEmpty())
            image(href, "picture");
    }
    for (const PageBlock &block : page.blocks) {
        if (block.kind == PageBlock::Kind::Image) {
            const QString href = picture(block.value);
            if (!href.isEmpty())
                image(href, "inline");
            continue;
        }
        out += QStringLiteral("<p>");
        appendXmlEscaped(out, block.value);
        out += QStringLiteral("</p>\n");
    }
    auto player = [&](const char *element, const QString &href, const QString &fallback) {
        out += QStringLiteral("<%1 controls=\"controls\" src=\"../").arg(QLatin1String(element));
        out += href;
        out += QStringLiteral("\"><p class=\"fallback\">");
        appendXmlEscaped(out, fallback);
        out += QStringLiteral("</p></%1>\n").arg(QLatin1String(element));
    };
    if (!page.sound.isEmpty()) {
        const QString href = media(page.sound, soundType(extensionOf(page.sound)));
        if (!href.isEmpty())
            player("audio", href, kNoSound);
    }
    if (!page.film.isEmpty()) {
        const QString href = media(page.film, filmType(extensionOf(page.film)));
        if (!href.isEmpty())
            player("video", href, kNoFilm);
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

// Main titles become nested lists; one that holds no page is left out, as
// a navigation entry must lead somewhere.
QString EpubBuilder::navItems(const QList<TocNode> &nodes) const
{
    QString out;
    for (const TocNode &node : nodes) {
        if (node.isMainTitle()) {
            const QString inner = navItems(node.children);
            if (inner.isEmpty())
                continue;
            out += QStringLiteral("<li><span>");
            appendXmlEscaped(out, node.label.trimmed().isEmpty() ? kUntitled : node.label);
            out += QStringLiteral("</span>\n<ol>\n");
            out += inner;
            out += QStringLiteral("</ol>\n</li>\n");
            continue;
        }
        QString label = node.label;
        if (label.trimmed().isEmpty())
            label = m_book.pages.value(node.page).title;
        if (label.trimmed().isEmpty())
            label = kUntitled;
        out += QStringLiteral("<li><a href=\"") + pageHref(node.page) + QStringLiteral("\">");
        appendXmlEscaped(out, label);
        out += QStringLiteral("</a></li>\n");
    }
    return out;
}

QByteArray EpubBuilder::navDocument() const
{
    QString out = documentHead(title(), QStringLiteral("style.css"));
    out += QStringLiteral("<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>");
    appendXmlEscaped(out, kContents);
    out += QStringLiteral("</h1>\n<ol>\n");
    out += navItems(m_book.toc);
    out += QStringLiteral("</ol>\n</nav>\n</body>\n</html>\n");
    return out.toUtf8();
}

QByteArray EpubBuilder::packageDocument(const QDateTime &modified) const
{
    QString out = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\""
        " unique-identifier=\"book-id\" xml:lang=\"fa\" dir=\"rtl\">\n"
        "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n<dc:identifier id=\"book-id\">");
    out += epubIdentifier(m_book);
    out += QStringLiteral("</dc:identifier>\n<dc:title>");
    appendXmlEscaped(out, title());
    out += QStringLiteral("</dc:title>\n<dc:language>fa</dc:language>\n"
                          "<meta property=\"dcterms:modified\">");
    out += modified.toUTC().toString(Qt::ISODate);
    out += QStringLiteral("</meta>\n");
    if (!m_coverId.isEmpty()) // for readers of the older format
        out += QStringLiteral("<meta name=\"cover\" content=\"%1\"/>\n").arg(m_coverId);
    out += QStringLiteral("</metadata>\n<manifest>\n");
    for (const Item &item : m_items) {
        out += QStringLiteral("<item id=\"%1\" href=\"%2\" media-type=\"%3\"")
                   .arg(item.id, item.href, item.type);
        if (!item.properties.isEmpty())
            out += QStringLiteral(" properties=\"%1\"").arg(item.properties);
        out += QStringLiteral("/>\n");
    }
    out += QStringLiteral("</manifest>\n<spine page-progression-direction=\"rtl\">\n");
    for (int i = 0; i < m_book.pages.size(); ++i)
        out += QStringLiteral("<itemref idref=\"page-%1\"/>\n").arg(i + 1, 3, 10, QLatin1Char('0'));
    out += QStringLiteral("</spine>\n</package>\n");
    return out.toUtf8();
}

void EpubBuilder::write(
    const QString &fontsFolder, const QString &target, const QDateTime &modified)
{
    const QString fonts = DoSlashAlways(fontsFolder);
    m_items << Item { QStringLiteral("nav"), QStringLiteral("nav.xhtml"),
        QStringLiteral("application/xhtml+xml"), QStringLiteral("nav") };
    m_items << Item { QStringLiteral("style"), QStringLiteral("style.css"),
        QStringLiteral("text/css"), {} };
    m_items << Item { QStringLiteral("font-regular"),
        QStringLiteral("fonts/Vazirmatn-Regular.woff2"), QStringLiteral("font/woff2"), {} };
    m_items << Item { QStringLiteral("font-bold"), QStringLiteral("fonts/Vazirmatn-Bold.woff2"),
        QStringLiteral("font/woff2"), {} };
    m_items << Item { QStringLiteral("font-licence"), QStringLiteral("fonts/OFL.txt"),
        QStringLiteral("text/plain"), {} };
    if (!m_book.cover.isEmpty())
        picture(m_book.cover, QStringLiteral("cover-image"));

    QList<QByteArray> pages;
    pages.reserve(m_book.pages.size());
    for (int i = 0; i < m_book.pages.size(); ++i) {
        m_items << Item { QStringLiteral("page-%1").arg(i + 1, 3, 10, QLatin1Char('0')),
            pageHref(i), QStringLiteral("application/xhtml+xml"), {} };
        pages << pageDocument(i);
    }

    using Method = ZipWriter::Method;
    ZipWriter zip(target, modified);
    // The container's signature: first, and stored, so it can be read at a
    // fixed offset.
    zip.addBytes(
        QStringLiteral("mimetype"), QByteArrayLiteral("application/epub+zip"), Method::Store);
    zip.addBytes(QStringLiteral("META-INF/container.xml"),
        QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<container version=\"1.0\" "
            "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
            "<rootfiles>\n<rootfile full-path=\"EPUB/package.opf\""
            " media-type=\"application/oebps-package+xml\"/>\n</rootfiles>\n</container>\n"),
        Method::Deflate);
    const QString root = QStringLiteral("EPUB/");
    zip.addBytes(root + QStringLiteral("package.opf"), packageDocument(modified), Method::Deflate);
    zip.addBytes(root + QStringLiteral("nav.xhtml"), navDocument(), Method::Deflate);
    zip.addBytes(root + QStringLiteral("style.css"), QByteArray(kStyleSheet), Method::Deflate);
    for (const char *font : kFontFiles) {
        const QString name = QString::fromLatin1(font);
        zip.addFile(root + QStringLiteral("fonts/") + name, fonts + name,
            name.endsWith(QLatin1String(".txt")) ? Method::Deflate : Method::Store);
    }
    for (int i = 0; i < pages.size(); ++i)
        zip.addBytes(root + pageHref(i), pages.at(i), Method::Deflate);
    // Pictures, sounds and films are compressed already.
    for (const Binary &b : m_binaries) {
        if (b.source.isEmpty())
            zip.addBytes(root + b.href, b.bytes, Method::Store);
        else
            zip.addFile(root + b.href, b.source, Method::Store);
    }
    zip.commit();
}

// Removes the folder it holds unless released.
class FolderGuard {
public:
    explicit FolderGuard(QString path)
        : m_path(std::move(path))
    {
    }
    ~FolderGuard()
    {
        if (!m_path.isEmpty())
            QDir(m_path).removeRecursively();
    }
    void release() { m_path.clear(); }

private:
    QString m_path;
};

} // namespace


QString corePictureType(const QByteArray &head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("image/jpeg");
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("image/png");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QStringLiteral("image/gif");
    return {};
}

QString soundType(const QString &extension)
{
    const QString e = extension.toLower();
    if (e == QLatin1String("mp3"))
        return QStringLiteral("audio/mpeg");
    if (e == QLatin1String("m4a") || e == QLatin1String("mp4"))
        return QStringLiteral("audio/mp4");
    if (e == QLatin1String("ogg") || e == QLatin1String("oga") || e == QLatin1String("opus"))
        return QStringLiteral("audio/ogg");
    return {};
}

QString filmType(const QString &extension)
{
    static const QHash<QString, QString> types {
        { "mp4", "video/mp4" },
        { "m4v", "video/mp4" },
        { "webm", "video/webm" },
        { "ogv", "video/ogg" },
        { "flv", "video/x-flv" },
        { "avi", "video/x-msvideo" },
        { "mpg", "video/mpeg" },
        { "mpeg", "video/mpeg" },
        { "dat", "video/mpeg" }, // a video CD's MPEG-1
        { "wmv", "video/x-ms-wmv" },
        { "asf", "video/x-ms-asf" },
        { "mov", "video/quicktime" },
        { "mkv", "video/x-matroska" },
        { "3gp", "video/3gpp" },
    };
    return types.value(extension.toLower());
}

QString epubFileName(const BookModel &book)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QString name;
    name.reserve(book.name.size());
    for (const QChar c : book.name)
        name += c.unicode() < 0x20 || forbidden.contains(c) ? QChar(u' ') : c;
    name = name.simplified();
    if (name.size() > 80) {
        name.truncate(80);
        if (name.back().isHighSurrogate())
            name.chop(1);
    }
    while (name.endsWith(u'.') || name.endsWith(u' '))
        name.chop(1);
    if (name.isEmpty())
        return book.slot + QStringLiteral(".epub");
    return name + QStringLiteral(" (") + book.slot + QStringLiteral(").epub");
}

QString epubIdentifier(const BookModel &book)
{
    static const QUuid space(QStringLiteral("{38118f5d-3517-44aa-861d-06a02c8365e3}"));
    QString key = book.slot + u'\n' + book.name;
    for (const PageModel &page : book.pages)
        key += u'\n' + page.pageFile;
    return QStringLiteral("urn:uuid:")
        + QUuid::createUuidV5(space, key).toString(QUuid::WithoutBraces);
}

void writeEpub(const BookModel &book, const QString &dataFolder, const QString &fontsFolder,
    const QString &target, const QDateTime &modified, QStringList *leftOut)
{
    if (book.pages.isEmpty())
        throw FsError(target, QStringLiteral("The book has no pages"));
    EpubBuilder(book, dataFolder, leftOut).write(fontsFolder, target, modified);
}

EpubExportResult runEpubExport(const FileSystem &fs, const QString &programFolder,
    const QString &buildFolder, const QString &exportFolder, const QDateTime &now,
    ExportProgress *progress)
{
    EpubExportResult result;
    if (!fs.folderExists(exportFolder)) {
        result.outcome = EpubOutcome::ExportFolderMissing;
        return result;
    }
    if (!fs.folderExists(buildFolder)) {
        result.outcome = EpubOutcome::BuildFolderMissing;
        return result;
    }
    const QDateTime stamp = now.isValid() ? now.toUTC() : QDateTime::currentDateTimeUtc();
    const QString fonts = DoSlashAlways(programFolder) + QStringLiteral("Resources/reader/fonts/");
    const QString e = DoSlashAlways(exportFolder);
    try {
        for (const char *font : kFontFiles)
            if (!fs.fileExists(fonts + QString::fromLatin1(font)))
                throw FsError(fonts + QString::fromLatin1(font),
                    QStringLiteral("The font for the e-books is missing"));

        const LibraryModel library = readLibrary(fs, buildFolder);
        QList<const BookModel *> books;
        for (const BookModel &book : library.books) {
            if (book.pages.isEmpty())
                result.emptyBooks << book.slot;
            else
                books << &book;
        }
        if (books.isEmpty()) {
            result.outcome = EpubOutcome::NoBooks;
            return result;
        }

        int n = 1;
        while (fs.folderExists(e + QStringLiteral("EPUB %1").arg(n))
            || fs.fileExists(e + QStringLiteral("EPUB %1").arg(n)))
            ++n;
        const QString target = e + QStringLiteral("EPUB %1").arg(n);
        // Hidden until every book is in it.
        const QString work = e + QStringLiteral(".EPUB %1.").arg(n)
            + QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".part");
        fs.createFolder(work);
        FolderGuard guard(work);
        if (progress)
            progress->begin(int(books.size()));
        for (const BookModel *book : books) {
            const QString name = epubFileName(*book);
            writeEpub(*book, buildFolder, fonts, work + u'/' + name, stamp, &result.leftOut);
            result.files << name;
            exportStep(progress);
        }
        if (fs.folderExists(target) || fs.fileExists(target) || !QDir().rename(work, target))
            throw FsError(target, QStringLiteral("Cannot give the finished folder its name"));
        guard.release();
        result.outputFolder = target;
        result.outcome = EpubOutcome::Done;
    } catch (const FsError &error) {
        result.problem = error.describe();
        result.files.clear();
        result.leftOut.clear();
        result.outcome = EpubOutcome::Failed;
    } catch (const ExportCancelled &) {
        result.files.clear();
        result.leftOut.clear();
        result.outcome = EpubOutcome::Cancelled;
    }
    return result;
}

qint16 epubMessageCode(const EpubExportResult &result)
{
    switch (result.outcome) {
    case EpubOutcome::ExportFolderMissing:
        return 26;
    case EpubOutcome::BuildFolderMissing:
        return 10;
    default:
        return 0;
    }
}

QString epubReport(const EpubExportResult &result)
{
    const QString rlm = QStringLiteral(u"\u200F");
    switch (result.outcome) {
    case EpubOutcome::ExportFolderMissing:
    case EpubOutcome::BuildFolderMissing:
        return {};
    case EpubOutcome::NoBooks:
        return QStringLiteral(u"كتاب ساخته شده\u200Cاي براي خروجي EPUB وجود ندارد!") + rlm;
    case EpubOutcome::Failed:
        return QStringLiteral(u"بروز اشكال در گرفتن خروجي EPUB!") + rlm + u'\n' + result.problem;
    case EpubOutcome::Cancelled:
        return QStringLiteral(u"خروجي گرفتن متوقف شد.");
    case EpubOutcome::Done:
        break;
    }
    QString text = QStringLiteral(u"كتاب\u200Cها به صورت EPUB در اين شاخه ساخته شد:") + rlm + u'\n'
        + QDir::toNativeSeparators(result.outputFolder);
    if (!result.emptyBooks.isEmpty())
        text += u'\n' + QStringLiteral(u"اين كتاب\u200Cها صفحه\u200Cاي ندارد و ساخته نشد:") + rlm
            + u'\n' + result.emptyBooks.join(QStringLiteral(", "));
    if (!result.leftOut.isEmpty())
        text += u'\n' + QStringLiteral(u"اين فايل\u200Cها در EPUB جايي ندارد و كنار گذاشته شد:")
            + rlm + u'\n' + result.leftOut.join(u'\n');
    return text;
}

} // namespace zorvel
