// The e-book export: each finished book as one EPUB 3 file, checked by
// unpacking it against the book files it was made from; a failure leaves no
// EPUB folder; the command in the main window and on the command line. The
// EPUBs of a book with every kind of slot and of a project made through the
// windows are kept for the epubcheck tests.
#include "core/book/bookwriter.h"
#include "core/book/paragraphslot.h"
#include "core/book/textrules.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/common/messages.h"
#include "core/common/xmltext.h"
#include "core/export/epub.h"
#include "core/export/library.h"
#include "core/project/settings.h"
#include "support/benchfixture.h"
#include "support/everyslotbook.h"
#include "support/tempprogram.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form1.h"
#include "ui/shell/form5.h"
#include "ui/workbench/form3.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDomDocument>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <zip.h>

#include <csignal>
#include <sys/resource.h>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

const QString kXmlNs = QStringLiteral("http://www.w3.org/XML/1998/namespace");
const QString kOpfNs = QStringLiteral("http://www.idpf.org/2007/opf");
const QString kDcNs = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kEpubNs = QStringLiteral("http://www.idpf.org/2007/ops");
const QDateTime kNow(QDate(2024, 3, 1), QTime(10, 20, 30), Qt::UTC);

QString fixtureFolder(const QString &name)
{
    const QString folder = QStringLiteral(ZORVEL_EPUB_FIXTURE "/") + name;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// An EPUB read back whole.
struct Epub {
    QByteArray raw;
    QStringList names; // in archive order
    QHash<QString, QByteArray> files;
    QHash<QString, int> methods;

    QDomDocument xml(const QString &name) const
    {
        QDomDocument doc;
        QString error;
        int line = 0;
        if (!files.contains(name))
            qWarning("not in the EPUB: %s", qPrintable(name));
        else if (!doc.setContent(files.value(name), true, &error, &line))
            qWarning("%s:%d: %s", qPrintable(name), line, qPrintable(error));
        return doc;
    }
};

bool unpack(const QString &path, Epub &epub)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    epub.raw = f.readAll();
    int code = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!z)
        return false;
    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < count && ok; ++i) {
        zip_stat_t st;
        zip_file_t *file = nullptr;
        ok = zip_stat_index(z, zip_uint64_t(i), 0, &st) == 0
            && (file = zip_fopen_index(z, zip_uint64_t(i), 0)) != nullptr;
        if (!ok)
            break;
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        ok = zip_fread(file, data.data(), st.size) == zip_int64_t(st.size);
        zip_fclose(file);
        const QString name = QString::fromUtf8(st.name);
        epub.names << name;
        epub.files.insert(name, data);
        epub.methods.insert(name, st.comp_method);
    }
    zip_close(z);
    return ok;
}

QList<QDomElement> elements(const QDomNode &under, const QString &ns, const QString &tag)
{
    QList<QDomElement> out;
    const QDomNodeList list = under.toElement().isNull()
        ? under.toDocument().elementsByTagNameNS(ns, tag)
        : under.toElement().elementsByTagNameNS(ns, tag);
    for (int i = 0; i < list.size(); ++i)
        out << list.at(i).toElement();
    return out;
}

QList<QDomElement> xhtml(const QDomNode &under, const QString &tag)
{
    return elements(under, QStringLiteral("http://www.w3.org/1999/xhtml"), tag);
}

QList<QDomElement> childElements(const QDomElement &parent, const QString &tag)
{
    QList<QDomElement> out;
    for (QDomElement e = parent.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag))
        out << e;
    return out;
}

// An index as text: "label" for an entry, "label{...}" for a main title.
QStringList treeShape(const QList<TocNode> &nodes)
{
    QStringList out;
    for (const TocNode &n : nodes)
        out << (n.isMainTitle() ? n.label + u'{' + treeShape(n.children).join(u'|') + u'}'
                                : n.label);
    return out;
}

QStringList navShape(const QDomElement &ol)
{
    QStringList out;
    for (const QDomElement &li : childElements(ol, QStringLiteral("li"))) {
        const QDomElement span = li.firstChildElement(QStringLiteral("span"));
        if (!span.isNull())
            out << span.text() + u'{'
                    + navShape(li.firstChildElement(QStringLiteral("ol"))).join(u'|') + u'}';
        else
            out << li.firstChildElement(QStringLiteral("a")).text();
    }
    return out;
}

// The package's manifest: href -> (media type, properties), and the spine's
// hrefs in order.
struct Package {
    QDomDocument doc;
    QHash<QString, QPair<QString, QString>> items;
    QHash<QString, QString> hrefById;
    QStringList spine;
    QString spineDirection;

    QString meta(const QString &ns, const QString &tag) const
    {
        const QList<QDomElement> found = elements(doc, ns, tag);
        return found.isEmpty() ? QString() : found.first().text();
    }
};

Package readPackage(const Epub &epub)
{
    Package p;
    p.doc = epub.xml(QStringLiteral("EPUB/package.opf"));
    for (const QDomElement &item : elements(p.doc, kOpfNs, QStringLiteral("item"))) {
        p.items.insert(
            item.attribute("href"), { item.attribute("media-type"), item.attribute("properties") });
        p.hrefById.insert(item.attribute("id"), item.attribute("href"));
    }
    const QList<QDomElement> spine = elements(p.doc, kOpfNs, QStringLiteral("spine"));
    if (!spine.isEmpty()) {
        p.spineDirection = spine.first().attribute("page-progression-direction");
        for (const QDomElement &ref : elements(spine.first(), kOpfNs, QStringLiteral("itemref")))
            p.spine << p.hrefById.value(ref.attribute("idref"));
    }
    return p;
}

QString h1Of(const QDomDocument &page)
{
    const QList<QDomElement> h = xhtml(page, QStringLiteral("h1"));
    return h.isEmpty() ? QString() : h.first().text();
}

// Resolves a page's relative reference to the name inside the archive.
QString inArchive(const QString &fromPage, const QString &href)
{
    return QDir::cleanPath(
        QStringLiteral("EPUB/") + QFileInfo(fromPage).path().mid(5) + u'/' + href)
        .remove(QRegularExpression(QStringLiteral("^/")));
}

ParagraphSlot slot(const QString &title, const QString &body, const QString &pic = {},
    const QString &sound = {}, const QString &film = {})
{
    return ParagraphSlot { title, body, pic, sound, film };
}

// A 1x1 GIF, the smallest the format allows.
const QByteArray kGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

QByteArray bmp(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

const QString kZwnj = QString(QChar(0x200C));
const QString kIdentity
    = QStringLiteral(u"ناشر: انتشارات نمونه\r\nچاپ اول، نيم") + kZwnj + QStringLiteral(u"فاصله");
const QString kTitleSpecial = QStringLiteral(u"عنوان \"يك\" & <ب> 'ج'");
const QString kMainSpecial = QStringLiteral(u"بخش «اول» & <دوم>");
const QString kTextSpecial = QStringLiteral(u"ادامه & <تگ> \"نقل\" &amp; ]]>");
const QString kNameA1 = QStringLiteral(u"كتاب <نمونه> & \"همه\"");

// A program folder (Resources with the font) and a build folder with the
// books written by the book writer: a1 has a slot of every kind, b1 a BMP
// cover, a sound no reader must play and an empty main title, a2 no pages.
struct Project {
    TempProgram tp;
    FileSystem fs;

    Project()
    {
        for (const char *sub : { "Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG" })
            tp.mkdir(QString::fromLatin1(sub));
        ProjectSettings s;
        s.aBookNumber = QStringLiteral("2");
        s.bBookNumber = QStringLiteral("1");
        s.cBookNumber = QStringLiteral("1");
        fs.writeUnicode(settingsFilePath(build()), buildSettingsText(s));
    }
    QString build() const { return tp.file(QStringLiteral("Data")); }
    QString media(const QString &name, const QByteArray &bytes) const
    {
        return tp.write(QStringLiteral("media/") + name, bytes);
    }
    void book(const QString &row, int no, const QString &name, const QList<ParagraphSlot> &table,
        const QStringList &imgList = {}) const
    {
        BookRequest r;
        r.buildFolder = build();
        r.rowLetter = row;
        r.bookNo = QString::number(no);
        r.bookName = name;
        r.paragraphs = table;
        r.imgList = imgList;
        r.imgList.resize(kInlinePictureCount);
        r.toText = [](const QString &text) { return text; };
        writeBook(fs, r, false);
    }

    void everyKind() const
    {
        const QByteArray jpeg = tp.read(QStringLiteral("Resources/MyBook.jpg"));
        QStringList pictures;
        pictures << QString() << QString() << media("inline.jpg", jpeg)
                 << media("inline.bmp", bmp(40, 30));
        book(QStringLiteral("a"), 1, kNameA1,
            { slot(markShenas(), kIdentity), slot(markMain(), kMainSpecial),
                slot(markMain(), QStringLiteral(u"فصل يك")),
                slot(kTitleSpecial,
                    QStringLiteral(u"متن اول با نيم") + kZwnj + QStringLiteral(u"فاصله\r\n {2}\r\n")
                        + kTextSpecial,
                    media("attached.gif", kGif), tp.file("Resources/MySound1.mp3"),
                    media("clip.flv",
                        QByteArray("FLV\x01\x05\0\0\0\x09", 9) + QByteArray(2000, 'f'))),
                slot(markEnd(), QStringLiteral(u"فصل يك")),
                slot(QStringLiteral(u"عنوان دو"), QStringLiteral(u"متن دو\r\n {3}\r\n {2}")),
                slot(markEnd(), kMainSpecial),
                slot(QStringLiteral(u"پايان"), QStringLiteral(u"آخر"),
                    media("attached.jpg", jpeg)) },
            pictures);
        fs.copyFile(
            tp.file("Resources/MyBook.jpg"), build() + QStringLiteral("/BookIMG/aBook1.jpg"));

        book(QStringLiteral("b"), 1, QStringLiteral(u"كتاب دوم"),
            { slot(QStringLiteral(u"مقدمه"), QStringLiteral(u"متن مقدمه"), {},
                  media("voice.wav", QByteArray("RIFF\0\0\0\0WAVE", 12))),
                slot(markMain(), QStringLiteral(u"خالي")), slot(markEnd(), QStringLiteral(u"خالي")),
                slot(markShenas(), QStringLiteral(u"شناسه دوم")) });
        tp.write(QStringLiteral("Data/BookIMG/bBook1.jpg"), bmp(60, 90));

        book(QStringLiteral("a"), 2, QStringLiteral(u"بي صفحه"), {});
    }
};

QStringList epubFiles(const QString &folder)
{
    return QDir(folder).entryList({ QStringLiteral("*.epub") }, QDir::Files, QDir::Name);
}

} // namespace

class TestEpub : public QObject {
    Q_OBJECT
private slots:
    void xmlEscaped_data();
    void xmlEscaped();
    void mediaTypes();
    void fileNames_data();
    void fileNames();
    void everyKindOfSlot();
    void otherBookAndWhatIsLeftOut();
    void identifierFollowsTheWrittenBook();
    void failuresLeaveNoEpubFolder_data();
    void failuresLeaveNoEpubFolder();
    void fullDiskLeavesNoEpubFolder();
    void writerLeavesNoFileOnFailure();
    void commandLine();
    void projectThroughTheWindows();
};

void TestEpub::xmlEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain Persian") << QStringLiteral(u"متن") << QStringLiteral(u"متن");
    QTest::newRow("markup characters") << QStringLiteral("a & <b> \"c\" 'd'")
                                       << QStringLiteral("a &amp; &lt;b&gt; &quot;c&quot; 'd'");
    QTest::newRow("an entity stays text") << QStringLiteral("&amp;") << QStringLiteral("&amp;amp;");
    QTest::newRow("CDATA end") << QStringLiteral("]]>") << QStringLiteral("]]&gt;");
    QTest::newRow("ZWNJ and marks kept")
        << QStringLiteral(u"نيم\u200Cفاصله\u200F") << QStringLiteral(u"نيم\u200Cفاصله\u200F");
    QTest::newRow("controls dropped, TAB CR LF kept")
        << QStringLiteral("a\x01\x1F\tb\r\n\x7F") << QStringLiteral("a\tb\r\n\x7F");
    QTest::newRow("non-characters dropped")
        << QStringLiteral(u"a\uFFFEb\uFFFF") << QStringLiteral("ab");
    QTest::newRow("lone surrogates dropped")
        << (QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00))
        << QStringLiteral("ab");
    QTest::newRow("pair kept") << QString::fromUcs4(U"\U0001F4D6")
                               << QString::fromUcs4(U"\U0001F4D6");
}

void TestEpub::xmlEscaped()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(zorvel::xmlEscaped(text), expected);
}

void TestEpub::mediaTypes()
{
    // Pictures by their bytes: the book picture is always named .jpg.
    QCOMPARE(
        corePictureType(QByteArray::fromHex("ffd8ffe000104a464946")), QStringLiteral("image/jpeg"));
    QCOMPARE(
        corePictureType(QByteArray::fromHex("89504e470d0a1a0a0000")), QStringLiteral("image/png"));
    QCOMPARE(corePictureType(kGif), QStringLiteral("image/gif"));
    QCOMPARE(corePictureType("GIF88a"), QString());
    QCOMPARE(corePictureType(bmp(2, 2)), QString());
    QCOMPARE(corePictureType({}), QString());
    // Sounds a reader need not play, and a Flash movie, have no type.
    QCOMPARE(soundType(QStringLiteral("MP3")), QStringLiteral("audio/mpeg"));
    QCOMPARE(soundType(QStringLiteral("wav")), QString());
    QCOMPARE(filmType(QStringLiteral("FLV")), QStringLiteral("video/x-flv"));
    QCOMPARE(filmType(QStringLiteral("swf")), QString());
}

void TestEpub::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Persian name") << QStringLiteral(u"كتاب نمونه")
                                  << QStringLiteral(u"كتاب نمونه (a3).epub");
    QTest::newRow("characters no file system takes")
        << QStringLiteral(u"الف/ب\\ج:د*?\"<>|ه\r\nو") << QStringLiteral(u"الف ب ج د ه و (a3).epub");
    QTest::newRow("trailing dots") << QStringLiteral("Vol. ...") << QStringLiteral("Vol (a3).epub");
    QTest::newRow("nothing left") << QStringLiteral(" / ") << QStringLiteral("a3.epub");
    QTest::newRow("long name cut")
        << QString(100, QChar(0x0643)) << QString(80, QChar(0x0643)) + QStringLiteral(" (a3).epub");
}

void TestEpub::fileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    BookModel book;
    book.slot = QStringLiteral("a3");
    book.name = name;
    QCOMPARE(epubFileName(book), expected);
}

// The book with every kind of slot, unpacked and held against its book files.
void TestEpub::everyKindOfSlot()
{
    Project p;
    p.everyKind();
    const QString out = fixtureFolder(QStringLiteral("every-slot"));
    const EpubExportResult r = runEpubExport(p.fs, p.tp.path(), p.build(), out, kNow);
    QCOMPARE(int(r.outcome), int(EpubOutcome::Done));
    QCOMPARE(r.outputFolder, out + QStringLiteral("/EPUB 1"));
    QCOMPARE(folderEntries(out), QStringList { QStringLiteral("EPUB 1") });
    const QString fileA1 = QStringLiteral(u"كتاب نمونه & همه (a1).epub");
    QCOMPARE(r.files, (QStringList { fileA1, QStringLiteral(u"كتاب دوم (b1).epub") }));
    QCOMPARE(epubFiles(r.outputFolder).size(), 2);
    QCOMPARE(r.emptyBooks, QStringList { QStringLiteral("a2") });
    QVERIFY(QFileInfo(r.outputFolder + u'/' + fileA1).permissions() & QFile::ReadOther);

    Epub e;
    QVERIFY(unpack(r.outputFolder + u'/' + fileA1, e));

    // The container: mimetype first, stored, no extra field, at its fixed offset.
    QCOMPARE(e.names.value(0), QStringLiteral("mimetype"));
    QCOMPARE(e.names.value(1), QStringLiteral("META-INF/container.xml"));
    QVERIFY(e.raw.startsWith(QByteArray("PK\x03\x04", 4)));
    QCOMPARE(qFromLittleEndian<quint16>(e.raw.constData() + 8), quint16(0)); // stored
    QCOMPARE(qFromLittleEndian<quint16>(e.raw.constData() + 26), quint16(8)); // name length
    QCOMPARE(qFromLittleEndian<quint16>(e.raw.constData() + 28), quint16(0)); // extra length
    QCOMPARE(e.raw.mid(30, 28), QByteArray("mimetypeapplication/epub+zip"));
    const QDomDocument container = e.xml(QStringLiteral("META-INF/container.xml"));
    const QList<QDomElement> roots
        = elements(container, QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:container"),
            QStringLiteral("rootfile"));
    QCOMPARE(roots.size(), 1);
    QCOMPARE(roots.first().attribute("full-path"), QStringLiteral("EPUB/package.opf"));
    QCOMPARE(
        roots.first().attribute("media-type"), QStringLiteral("application/oebps-package+xml"));

    // The package.
    const Package pkg = readPackage(e);
    QCOMPARE(pkg.doc.documentElement().attribute("version"), QStringLiteral("3.0"));
    QCOMPARE(pkg.meta(kDcNs, QStringLiteral("language")), QStringLiteral("fa"));
    QCOMPARE(pkg.meta(kDcNs, QStringLiteral("title")), kNameA1);
    QVERIFY(pkg.meta(kDcNs, QStringLiteral("identifier")).startsWith(QLatin1String("urn:uuid:")));
    const QList<QDomElement> metas = elements(pkg.doc, kOpfNs, QStringLiteral("meta"));
    QStringList modified;
    for (const QDomElement &m : metas)
        if (m.attribute("property") == QLatin1String("dcterms:modified"))
            modified << m.text();
    QCOMPARE(modified, QStringList { QStringLiteral("2024-03-01T10:20:30Z") });
    QCOMPARE(pkg.spineDirection, QStringLiteral("rtl"));

    // Every manifest entry is in the archive and every file of the
    // publication in the manifest.
    for (auto it = pkg.items.cbegin(); it != pkg.items.cend(); ++it)
        QVERIFY2(e.files.contains(QStringLiteral("EPUB/") + it.key()), qPrintable(it.key()));
    for (const QString &name : e.names)
        if (name.startsWith(QLatin1String("EPUB/")) && name != QLatin1String("EPUB/package.opf"))
            QVERIFY2(pkg.items.contains(name.mid(5)), qPrintable(name));

    // The cover, byte for byte, declared as the cover image.
    QStringList covers;
    for (auto it = pkg.items.cbegin(); it != pkg.items.cend(); ++it)
        if (it.value().second == QLatin1String("cover-image"))
            covers << it.key();
    QCOMPARE(covers.size(), 1);
    QCOMPARE(pkg.items.value(covers.first()).first, QStringLiteral("image/jpeg"));
    QCOMPARE(e.files.value(QStringLiteral("EPUB/") + covers.first()),
        p.tp.read(QStringLiteral("Data/BookIMG/aBook1.jpg")));

    // The font and its licence, as shipped.
    for (const char *font : { "Vazirmatn-Regular.woff2", "Vazirmatn-Bold.woff2", "OFL.txt" })
        QCOMPARE(e.files.value(QStringLiteral("EPUB/fonts/") + QLatin1String(font)),
            p.tp.read(QStringLiteral("Resources/reader/fonts/") + QLatin1String(font)));
    QCOMPARE(pkg.items.value(QStringLiteral("fonts/Vazirmatn-Regular.woff2")).first,
        QStringLiteral("font/woff2"));
    const QByteArray css = e.files.value(QStringLiteral("EPUB/style.css"));
    QVERIFY(css.contains("url(\"fonts/Vazirmatn-Regular.woff2\")"));
    QVERIFY(css.contains("text-align: justify"));
    QVERIFY(!css.contains("direction")); // EPUB style sheets must leave it to dir=""

    // The spine: one document per page, in reading order, identity page first.
    const QStringList titles { markShenas(), kTitleSpecial, QStringLiteral(u"عنوان دو"),
        QStringLiteral(u"پايان") };
    QStringList spineTitles;
    QHash<QString, QDomDocument> pages;
    for (const QString &href : pkg.spine) {
        const QString name = QStringLiteral("EPUB/") + href;
        const QDomDocument page = e.xml(name);
        pages.insert(name, page);
        spineTitles << h1Of(page);
        const QDomElement html = page.documentElement();
        QCOMPARE(html.attribute("lang"), QStringLiteral("fa"));
        QCOMPARE(html.attributeNS(kXmlNs, "lang"), QStringLiteral("fa"));
        QCOMPARE(html.attribute("dir"), QStringLiteral("rtl"));
        const QList<QDomElement> links = xhtml(page, QStringLiteral("link"));
        QCOMPARE(links.size(), 1);
        QCOMPARE(
            inArchive(name, links.first().attribute("href")), QStringLiteral("EPUB/style.css"));
    }
    QCOMPARE(spineTitles, titles);

    // The navigation follows the tree file.
    const QDomDocument nav = e.xml(QStringLiteral("EPUB/nav.xhtml"));
    QCOMPARE(nav.documentElement().attribute("dir"), QStringLiteral("rtl"));
    QCOMPARE(nav.documentElement().attributeNS(kXmlNs, "lang"), QStringLiteral("fa"));
    const QList<QDomElement> navs = xhtml(nav, QStringLiteral("nav"));
    QCOMPARE(navs.size(), 1);
    QCOMPARE(navs.first().attributeNS(kEpubNs, "type"), QStringLiteral("toc"));
    QCOMPARE(pkg.items.value(QStringLiteral("nav.xhtml")).second, QStringLiteral("nav"));
    QStringList treePages;
    const QList<TocNode> tree
        = parseTree(p.fs.readUnicode(p.build() + QStringLiteral("/_xml/aTitle1.xml")), &treePages);
    const QStringList shape = navShape(navs.first().firstChildElement(QStringLiteral("ol")));
    QCOMPARE(shape, treeShape(tree));
    QCOMPARE(shape,
        (QStringList { markShenas(),
            kMainSpecial + QStringLiteral(u"{فصل يك{") + kTitleSpecial
                + QStringLiteral(u"}|عنوان دو}"),
            QStringLiteral(u"پايان") }));
    // Each entry opens the page of its title.
    for (const QDomElement &a : xhtml(nav, QStringLiteral("a"))) {
        const QString target = inArchive(QStringLiteral("EPUB/nav.xhtml"), a.attribute("href"));
        QVERIFY2(pages.contains(target), qPrintable(target));
        QCOMPARE(h1Of(pages.value(target)), a.text());
    }

    // The identity page: its lines as paragraphs, the ZWNJ kept as itself.
    const QDomDocument identity = pages.value(QStringLiteral("EPUB/") + pkg.spine.value(0));
    QStringList lines;
    for (const QDomElement &para : xhtml(identity, QStringLiteral("p")))
        lines << para.text();
    QCOMPARE(lines, kIdentity.split(QStringLiteral("\r\n")));
    QVERIFY(e.files.value(QStringLiteral("EPUB/") + pkg.spine.value(0)).contains("\xE2\x80\x8C"));

    // The page with every kind of attachment.
    const QString secondName = QStringLiteral("EPUB/") + pkg.spine.value(1);
    const QDomDocument second = pages.value(secondName);
    QStringList texts;
    for (const QDomElement &para : xhtml(second, QStringLiteral("p")))
        if (para.attribute("class") != QLatin1String("fallback"))
            texts << para.text();
    QCOMPARE(texts,
        (QStringList {
            QStringLiteral(u"متن اول با نيم") + kZwnj + QStringLiteral(u"فاصله"), kTextSpecial }));
    const QList<QDomElement> figures = xhtml(second, QStringLiteral("figure"));
    QCOMPARE(figures.size(), 2);
    QString type;
    QString alt;
    auto imageBytes = [&](const QString &page, const QDomElement &figure, QString *type) {
        const QDomElement img = figure.firstChildElement(QStringLiteral("img"));
        alt = img.attribute("alt");
        const QString name = inArchive(page, img.attribute("src"));
        *type = pkg.items.value(name.mid(5)).first;
        return e.files.value(name);
    };
    QCOMPARE(figures[0].attribute("class"), QStringLiteral("picture"));
    QCOMPARE(imageBytes(secondName, figures[0], &type), kGif);
    QCOMPARE(type, QStringLiteral("image/gif"));
    QVERIFY(alt.contains(kTitleSpecial));
    QCOMPARE(figures[1].attribute("class"), QStringLiteral("inline"));
    QCOMPARE(
        imageBytes(secondName, figures[1], &type), p.tp.read(QStringLiteral("media/inline.jpg")));
    QCOMPARE(type, QStringLiteral("image/jpeg"));
    QVERIFY(alt.contains(kTitleSpecial));
    for (const char *element : { "audio", "video" }) {
        const QList<QDomElement> players = xhtml(second, QLatin1String(element));
        QCOMPARE(players.size(), 1);
        const QString name = inArchive(secondName, players.first().attribute("src"));
        QVERIFY(!players.first().text().trimmed().isEmpty()); // the fallback
        QCOMPARE(pkg.items.value(name.mid(5)).first,
            QLatin1String(element) == QLatin1String("audio") ? QStringLiteral("audio/mpeg")
                                                             : QStringLiteral("video/x-flv"));
        QCOMPARE(e.files.value(name).size(),
            QLatin1String(element) == QLatin1String("audio")
                ? p.tp.read(QStringLiteral("Resources/MySound1.mp3")).size()
                : 2009);
        QCOMPARE(e.methods.value(name), int(ZIP_CM_STORE));
    }

    // The BMP inline picture goes in as PNG; the JPEG used twice is stored once.
    const QString thirdName = QStringLiteral("EPUB/") + pkg.spine.value(2);
    const QList<QDomElement> inlines = xhtml(pages.value(thirdName), QStringLiteral("figure"));
    QCOMPARE(inlines.size(), 2);
    const QByteArray png = imageBytes(thirdName, inlines[0], &type);
    QCOMPARE(type, QStringLiteral("image/png"));
    QCOMPARE(QImage::fromData(png, "PNG").size(), QSize(40, 30));
    QCOMPARE(inlines[1].firstChildElement("img").attribute("src"),
        figures[1].firstChildElement("img").attribute("src"));
    int jpegs = 0;
    for (auto it = pkg.items.cbegin(); it != pkg.items.cend(); ++it)
        jpegs += it.value().first == QLatin1String("image/jpeg");
    QCOMPARE(jpegs, 3); // the cover, the inline picture, the last page's picture
    QCOMPARE(r.leftOut.filter(QStringLiteral("a1:")), QStringList());
}

void TestEpub::otherBookAndWhatIsLeftOut()
{
    Project p;
    p.everyKind();
    const QString out = p.tp.mkdir(QStringLiteral("out"));
    const EpubExportResult r = runEpubExport(p.fs, p.tp.path(), p.build(), out, kNow);
    QCOMPARE(int(r.outcome), int(EpubOutcome::Done));

    // The sound no reader must play is named, not silently lost.
    QCOMPARE(r.leftOut.size(), 1);
    QVERIFY(r.leftOut.first().startsWith(QLatin1String("b1: BookTXT/")));
    QVERIFY(r.leftOut.first().endsWith(QLatin1String(".wav")));
    const QString report = epubReport(r);
    QVERIFY(report.contains(QDir::toNativeSeparators(r.outputFolder)));
    QVERIFY(report.contains(r.leftOut.first()));
    QVERIFY(report.contains(QStringLiteral("a2")));
    QCOMPARE(epubMessageCode(r), qint16(0));

    Epub e;
    QVERIFY(unpack(r.outputFolder + QStringLiteral(u"/كتاب دوم (b1).epub"), e));
    const Package pkg = readPackage(e);
    // The BMP cover becomes a PNG the readers show.
    QString cover;
    for (auto it = pkg.items.cbegin(); it != pkg.items.cend(); ++it)
        if (it.value().second == QLatin1String("cover-image"))
            cover = it.key();
    QCOMPARE(pkg.items.value(cover).first, QStringLiteral("image/png"));
    QCOMPARE(
        QImage::fromData(e.files.value(QStringLiteral("EPUB/") + cover)).size(), QSize(60, 90));
    // The identity page marked last still opens the book; the main title
    // with nothing under it has no entry; no player for the left-out sound.
    QStringList spineTitles;
    for (const QString &href : pkg.spine)
        spineTitles << h1Of(e.xml(QStringLiteral("EPUB/") + href));
    QCOMPARE(spineTitles, (QStringList { markShenas(), QStringLiteral(u"مقدمه") }));
    const QDomDocument nav = e.xml(QStringLiteral("EPUB/nav.xhtml"));
    QCOMPARE(navShape(xhtml(nav, QStringLiteral("nav")).first().firstChildElement("ol")),
        (QStringList { markShenas(), QStringLiteral(u"مقدمه") }));
    for (const QString &name : e.names)
        QVERIFY2(!name.endsWith(QLatin1String(".wav")), qPrintable(name));
    QVERIFY(xhtml(e.xml(QStringLiteral("EPUB/") + pkg.spine.value(1)), QStringLiteral("audio"))
                .isEmpty());
}

void TestEpub::identifierFollowsTheWrittenBook()
{
    Project p;
    p.everyKind();
    const QString out = p.tp.mkdir(QStringLiteral("out"));
    auto identifier = [&](const QString &folder) {
        Epub e;
        if (!unpack(folder + QStringLiteral(u"/كتاب دوم (b1).epub"), e))
            return QString();
        return readPackage(e).meta(kDcNs, QStringLiteral("identifier"));
    };
    const EpubExportResult first = runEpubExport(p.fs, p.tp.path(), p.build(), out, kNow);
    const EpubExportResult second
        = runEpubExport(p.fs, p.tp.path(), p.build(), out, kNow.addDays(1));
    QCOMPARE(second.outputFolder, out + QStringLiteral("/EPUB 2"));
    const QString id = identifier(first.outputFolder);
    QVERIFY(!id.isEmpty());
    QCOMPARE(identifier(second.outputFolder), id);

    // Written again, the book has new pages and so a new identity.
    p.fs.deleteFile(p.build() + QStringLiteral("/_xml/bTitle1.xml"));
    p.book(QStringLiteral("b"), 1, QStringLiteral(u"كتاب دوم"),
        { slot(QStringLiteral(u"مقدمه"), QStringLiteral(u"متن")) });
    const EpubExportResult third = runEpubExport(p.fs, p.tp.path(), p.build(), out, kNow);
    QCOMPARE(third.outputFolder, out + QStringLiteral("/EPUB 3"));
    QVERIFY(identifier(third.outputFolder) != id);
}

void TestEpub::failuresLeaveNoEpubFolder_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("named"); // in the problem
    QTest::newRow("export folder missing")
        << "no export folder" << int(EpubOutcome::ExportFolderMissing) << 26 << "";
    QTest::newRow("build folder missing")
        << "no build folder" << int(EpubOutcome::BuildFolderMissing) << 10 << "";
    QTest::newRow("no finished book") << "no books" << int(EpubOutcome::NoBooks) << 0 << "";
    QTest::newRow("font missing") << "no font" << int(EpubOutcome::Failed) << 0
                                  << "Vazirmatn-Bold.woff2";
    QTest::newRow("page of the index missing")
        << "no page" << int(EpubOutcome::Failed) << 0 << "aTitle1.xml";
    QTest::newRow("malformed settings")
        << "bad settings" << int(EpubOutcome::Failed) << 0 << "CDProperty.xml";
}

void TestEpub::failuresLeaveNoEpubFolder()
{
    QFETCH(QString, breakage);
    QFETCH(int, outcome);
    QFETCH(int, code);
    QFETCH(QString, named);
    Project p;
    if (breakage != QLatin1String("no books"))
        p.everyKind();
    const QString out = p.tp.mkdir(QStringLiteral("out"));
    QString build = p.build();
    QString exportFolder = out;
    if (breakage == QLatin1String("no export folder"))
        exportFolder = p.tp.file(QStringLiteral("missing"));
    else if (breakage == QLatin1String("no build folder"))
        build = p.tp.file(QStringLiteral("missing"));
    else if (breakage == QLatin1String("no font"))
        QVERIFY(QFile::remove(
            p.tp.file(QStringLiteral("Resources/reader/fonts/Vazirmatn-Bold.woff2"))));
    else if (breakage == QLatin1String("no page")) {
        QStringList pageFiles;
        parseTree(p.fs.readUnicode(build + QStringLiteral("/_xml/aTitle1.xml")), &pageFiles);
        QVERIFY(QFile::remove(build + QStringLiteral("/BookTXT/") + pageFiles.last()));
    } else if (breakage == QLatin1String("bad settings"))
        p.tp.write(QStringLiteral("Data/BookTXT/CDProperty.xml"),
            utf16le(QStringLiteral("<strings><aBookNumber>2")));

    const EpubExportResult r = runEpubExport(p.fs, p.tp.path(), build, exportFolder, kNow);
    QCOMPARE(int(r.outcome), outcome);
    QCOMPARE(epubMessageCode(r), qint16(code));
    QVERIFY(r.outputFolder.isEmpty());
    QVERIFY(r.files.isEmpty());
    QCOMPARE(folderEntries(out), QStringList());
    if (!named.isEmpty())
        QVERIFY2(r.problem.contains(named), qPrintable(r.problem));
    if (code == 0) {
        const QString report = epubReport(r);
        QVERIFY(report.startsWith(outcome == int(EpubOutcome::NoBooks)
                ? QStringLiteral(u"كتاب ساخته شده")
                : QStringLiteral(u"بروز اشكال در گرفتن خروجي EPUB!")));
        QVERIFY(report.contains(r.problem));
    } else {
        QVERIFY(epubReport(r).isEmpty());
    }
}

void TestEpub::fullDiskLeavesNoEpubFolder()
{
    Project p;
    p.everyKind();
    const QString out = p.tp.mkdir(QStringLiteral("out"));
    // Writes past 64 KB fail with EFBIG, as on a full disk; the fonts alone
    // are larger.
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const EpubExportResult r = runEpubExport(p.fs, p.tp.path(), p.build(), out, kNow);
    setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(int(r.outcome), int(EpubOutcome::Failed));
    QVERIFY(r.problem.contains(QLatin1String(".epub")));
    QCOMPARE(folderEntries(out), QStringList());
}

void TestEpub::writerLeavesNoFileOnFailure()
{
    Project p;
    p.everyKind();
    const LibraryModel library = readLibrary(p.fs, p.build());
    QCOMPARE(library.books.size(), 3);
    const BookModel &book = library.books.first();
    const QString out = p.tp.mkdir(QStringLiteral("out"));
    const QString fonts = p.tp.file(QStringLiteral("Resources/reader/fonts"));
    const QString target = out + QStringLiteral("/a1.epub");

    // The film went away after the book was read.
    QVERIFY(QFile::remove(p.build() + u'/' + book.pages.at(1).film));
    try {
        writeEpub(book, p.build(), fonts, target, kNow);
        QFAIL("a missing film must fail the book");
    } catch (const FsError &error) {
        QVERIFY2(error.path().endsWith(QLatin1String(".flv")) || error.path() == target,
            qPrintable(error.describe()));
    }
    QCOMPARE(folderEntries(out), QStringList());

    // A book without pages makes no EPUB.
    QVERIFY(library.books.at(1).pages.isEmpty());
    QVERIFY_THROWS_EXCEPTION(
        FsError, writeEpub(library.books.at(1), p.build(), fonts, target, kNow));
    QCOMPARE(folderEntries(out), QStringList());
}

void TestEpub::commandLine()
{
    Project p;
    p.everyKind();
    const QString program = QStringLiteral(ZORVEL_BIN_DIR "/zorvel-export");
    const QString out = p.tp.mkdir(QStringLiteral("out"));
    QProcess run;
    run.start(program, { QStringLiteral("--epub"), p.build(), out });
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(
        QString::fromUtf8(run.readAllStandardOutput()).trimmed(), out + QStringLiteral("/EPUB 1"));
    QVERIFY(QString::fromUtf8(run.readAllStandardError()).contains(QLatin1String(".wav")));
    QCOMPARE(epubFiles(out + QStringLiteral("/EPUB 1")).size(), 2);

    run.start(program, { QStringLiteral("--epub"), p.tp.file(QStringLiteral("missing")), out });
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(run.readAllStandardError()).trimmed(), messageText(10));
    QCOMPARE(folderEntries(out), QStringList { QStringLiteral("EPUB 1") });

    run.start(program, { QStringLiteral("--epub"), p.build() });
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 2);
}

// A book made through the workbench and the editor, exported by the command
// on the export button's right-click menu; kept for epubcheck.
void TestEpub::projectThroughTheWindows()
{
    const QString fixture = fixtureFolder(QStringLiteral("project"));
    Bench b([&](TempProgram &tp) { writeEverySlotInputs(tp, QStringLiteral("clip.flv")); });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("1"));
    f.shenas->setText(QStringLiteral("1"));
    f.MakeCombo();

    Form3 &w = b.open();

    // Nothing finished yet: no EPUB folder, and the operator is told so.
    f.ExBox->setText(fixture);
    // A right-click on the export button offers it (the menu itself is tested with the other menus).
    QCOMPARE(f.Command10->contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(f.Command10->actions().contains(f.CommandEpub));
    b.rec.clear();
    f.CommandEpub->trigger();
    QCOMPARE(b.rec.messages(), QList<qint16>());
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(b.rec.notices().first().startsWith(QStringLiteral(u"كتاب ساخته شده")));
    QCOMPARE(folderEntries(fixture), QStringList());

    markEverySlotBook(b, w, QStringLiteral("clip.flv"));
    b.rec.clear();
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16> { 4 });

    // The export folder as the CD export takes it: relative to the program.
    QVERIFY(QDir().mkpath(b.tp.file("Export")));
    f.ExBox->setText(QStringLiteral("Export"));
    b.rec.clear();
    f.CommandEpub->trigger();
    QCOMPARE(f.ExBox->text(), b.tp.file("Export"));
    QCOMPARE(b.rec.messages(), QList<qint16>());
    QCOMPARE(b.rec.notices().size(), 1);
    const QString made = b.tp.file("Export/EPUB 1");
    QVERIFY2(b.rec.notices().first().contains(made), qPrintable(b.rec.notices().first()));
    const QStringList files = epubFiles(made);
    QCOMPARE(files, QStringList { QStringLiteral(u"كتاب نمونه يكم (a1).epub") });

    Epub e;
    QVERIFY(unpack(made + u'/' + files.first(), e));
    const Package pkg = readPackage(e);
    QCOMPARE(pkg.meta(kDcNs, QStringLiteral("title")), QStringLiteral(u"كتاب نمونه يكم"));
    QStringList spineTitles;
    for (const QString &href : pkg.spine)
        spineTitles << h1Of(e.xml(QStringLiteral("EPUB/") + href));
    QCOMPARE(spineTitles,
        (QStringList { markShenas(), QStringLiteral(u"عنوان يك"), QStringLiteral(u"عنوان دو"),
            Rep(QStringLiteral(u"عنوان سه & <ب>")) }));
    QVERIFY(e.files.value(QStringLiteral("EPUB/") + pkg.spine.value(2)).contains("\xE2\x80\x8C"));
    QCOMPARE(
        pkg.items.value(QStringLiteral("images/cover.jpg")).second, QStringLiteral("cover-image"));
    QCOMPARE(
        e.files.value(QStringLiteral("EPUB/images/cover.jpg")), b.tp.read("Resources/MyBook.jpg"));

    // Kept for epubcheck, in the fixture folder.
    QVERIFY(QDir().rename(made, fixture + QStringLiteral("/EPUB 1")));

    // Without the export folder: the catalogue's message, as for the CD.
    f.ExBox->setText(b.tp.file("gone"));
    b.rec.clear();
    f.CommandEpub->trigger();
    QCOMPARE(b.rec.messages(), QList<qint16> { 26 });
    QCOMPARE(b.rec.notices(), QStringList());
}

QTEST_MAIN(TestEpub)
#include "test_epub.moc"
