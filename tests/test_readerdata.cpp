// The reader's data: the book files read back leniently and without regard
// to case, page bodies kept as data, and the scripts the export writes.
#include "core/common/filesystem.h"
#include "core/export/exporter.h"
#include "core/export/library.h"
#include "core/export/readerdata.h"
#include "support/tempprogram.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace zorvel;
using zorvel::testing::TempProgram;
using zorvel::testing::utf16le;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kHead = QStringLiteral("<?xml version=\"1.0\"?>\r\n<Tree>\r\n");

QString leaf(const QString &label, const QString &page, int depth = 1)
{
    return QString(depth, u'\t') + QStringLiteral("<node label=\"") + label
        + QStringLiteral("\" src=\"DATA/BookTXT/") + page
        + QStringLiteral("\" mediaStatus=\"000\" />\r\n");
}

QString page(const QString &title, const QStringList &paragraphs)
{
    QString body = QStringLiteral("<pgMain></pgMain>\r\n<pgMain></pgMain>\r\n");
    QStringList wrapped;
    for (const QString &p : paragraphs)
        wrapped << (p.startsWith(QLatin1String("<IMG"))
                ? p
                : QStringLiteral("<pgMain>") + p + QStringLiteral("</pgMain>"));
    return QStringLiteral("<pgTitle>") + title + QStringLiteral("</pgTitle>\r\n") + body
        + wrapped.join(QStringLiteral("\r\n"));
}

QString settings(const QString &a, const QString &b, const QString &c, const QString &music = "1")
{
    return QStringLiteral(
        "<strings>\r\n\t<aBookNumber>%1</aBookNumber>\r\n\t<bBookNumber>%2</bBookNumber>\r\n"
        "\t<cBookNumber>%3</cBookNumber>\r\n\t<Olgoo>2</Olgoo>\r\n\t<Music>%4</Music>\r\n"
        "\t<Print>1</Print>\r\n</strings>")
        .arg(a, b, c, music);
}

// A Data folder with the four folders and the settings.
struct DataFolder {
    TempProgram tp { false };
    FileSystem fs;
    DataFolder(const QString &settingsText = settings("2", "1", "0"))
    {
        for (const char *sub : { "Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG" })
            tp.mkdir(QString::fromLatin1(sub));
        if (!settingsText.isNull())
            tp.write("Data/BookTXT/CDProperty.xml", utf16le(settingsText));
    }
    QString data() const { return tp.file("Data"); }
    void write(const QString &rel, const QString &text) const
    {
        tp.write("Data/" + rel, utf16le(text));
    }
    void bytes(const QString &rel, const QByteArray &b) const { tp.write("Data/" + rel, b); }
    LibraryModel read() const { return readLibrary(fs, data()); }
};

QStringList labels(const QList<TocNode> &nodes)
{
    QStringList out;
    for (const TocNode &n : nodes) {
        if (n.isMainTitle())
            out << n.label + QStringLiteral("{") + labels(n.children).join(u',')
                    + QStringLiteral("}");
        else
            out << n.label + u'#' + QString::number(n.page);
    }
    return out;
}

QJsonObject scriptJson(const QByteArray &script, const QByteArray &prefix)
{
    if (!script.startsWith(prefix + " = ") || !script.endsWith(";\n"))
        return {};
    const QByteArray json = script.mid(prefix.size() + 3, script.size() - prefix.size() - 5);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}

} // namespace

class TestReaderData : public QObject {
    Q_OBJECT
private slots:
    void treeIsReadLeniently_data();
    void treeIsReadLeniently();
    void treeDeeperThanAnyBookIsRefused();
    void bookTitles_data();
    void bookTitles();
    void unescape_data();
    void unescape();
    void pageBodiesAreData_data();
    void pageBodiesAreData();
    void libraryFromTheFiles();
    void namesFoundWithoutRegardToCase();
    void identityPageComesFirst();
    void mediaBesideThePage();
    void brokenFilesFailNamingTheFile_data();
    void brokenFilesFailNamingTheFile();
    void scriptsHoldValidJson();
    void searchFoldIsTheReaders_data();
    void searchFoldIsTheReaders();
    void searchScriptLinesAndStarts();
    void exportWritesTheDataLast();
    void noDataFolderWritesNothing();
    void shippedScriptCarriesTheReader();
};

void TestReaderData::treeIsReadLeniently_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("flat, no closing Tree")
        << kHead + leaf("A", "1.htm") + leaf("B", "2.htm") << QStringList { "A#0", "B#1" }
        << QStringList { "1.htm", "2.htm" };
    QTest::newRow("nested main titles")
        << kHead + "\t<node label=\"M\">\r\n" + "\t\t<node label=\"N\">\r\n" + leaf("A", "1.htm", 3)
            + "\t\t</node>\r\n" + leaf("B", "2.htm", 2) + "\t</node>\r\n" + leaf("C", "3.htm")
        << QStringList { "M{N{A#0},B#1}", "C#2" } << QStringList { "1.htm", "2.htm", "3.htm" };
    QTest::newRow("main title open at the end")
        << kHead + leaf("A", "1.htm") + "\t<node label=\"M\">\r\n" + leaf("B", "2.htm", 2)
        << QStringList { "A#0", "M{B#1}" } << QStringList { "1.htm", "2.htm" };
    QTest::newRow("empty main title") << kHead + "\t<node label=\"M\">\r\n\t</node>\r\n"
                                      << QStringList { "M{}" } << QStringList {};
    QTest::newRow("stray closing node ignored") << kHead + "\t</node>\r\n" + leaf("A", "1.htm")
                                                << QStringList { "A#0" } << QStringList { "1.htm" };
    QTest::newRow("escaped label") << kHead + leaf("a &amp; &lt;b&gt; &quot;c&quot;", "1.htm")
                                   << QStringList { "a & <b> \"c\"#0" } << QStringList { "1.htm" };
    QTest::newRow("src keeps only its file name")
        << kHead
            + "\t<node label=\"X\" src=\"DATA/BookTXT/../../etc/passwd\" mediaStatus=\"000\" />\r\n"
        << QStringList { "X#0" } << QStringList { "passwd" };
    QTest::newRow("only the head") << kHead << QStringList {} << QStringList {};
    QTest::newRow("garbage") << QStringLiteral("not a tree <node") << QStringList {}
                             << QStringList {};
}

void TestReaderData::treeIsReadLeniently()
{
    QFETCH(QString, tree);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, pages);
    QStringList files;
    QCOMPARE(labels(parseTree(tree, &files)), expected);
    QCOMPARE(files, pages);
}

void TestReaderData::treeDeeperThanAnyBookIsRefused()
{
    auto nested = [](int depth) {
        QString t;
        for (int i = 0; i < depth; ++i)
            t += QStringLiteral("<node label=\"M\">");
        return t + QStringLiteral("<node label=\"P\" src=\"DATA/BookTXT/p.htm\" />");
    };
    QStringList files;
    bool tooDeep = true;
    // As deep as a book can be: every one of its slots a main title.
    QList<TocNode> toc = parseTree(nested(kMaxTreeDepth), &files, &tooDeep);
    QVERIFY(!tooDeep);
    int depth = 0;
    for (const QList<TocNode> *level = &toc; !level->isEmpty() && level->first().isMainTitle();
         level = &level->first().children)
        ++depth;
    QCOMPARE(depth, kMaxTreeDepth);
    QCOMPARE(files, QStringList { "p.htm" });
    // One more, or twenty thousand (which overflowed the stack), is refused.
    for (const int deeper : { kMaxTreeDepth + 1, 20000 }) {
        files.clear();
        toc = parseTree(nested(deeper), &files, &tooDeep);
        QVERIFY(tooDeep);
        QVERIFY(toc.isEmpty());
        QVERIFY(files.isEmpty());
    }
    // Closed groups do not add up: many titles one after another are fine.
    QString wide;
    for (int i = 0; i < 5000; ++i)
        wide += QStringLiteral("<node label=\"M\"></node>");
    toc = parseTree(wide, &files, &tooDeep);
    QVERIFY(!tooDeep);
    QCOMPARE(toc.size(), 5000);
}

void TestReaderData::bookTitles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("name");
    const QString head = QStringLiteral("<strings>\r\n\t<aBook0>credit</aBook0>\r\n");
    QTest::newRow("no closing strings") << head + "\t<aBook3>ABC</aBook3>\r\n"
                                        << "a3"
                                        << "ABC";
    QTest::newRow("tenth book") << head + "\t<c10Book>x</c10Book>\t<cBook10>ده</cBook10>\r\n"
                                << "c10" << u"ده"_qs;
    QTest::newRow("the last line of a slot holds")
        << head + "\t<bBook1>Old</bBook1>\r\n\t<bBook1>New</bBook1>\r\n"
        << "b1"
        << "New";
    QTest::newRow("escaped") << head + "\t<aBook1>A &amp; B</aBook1>\r\n"
                             << "a1"
                             << "A & B";
    QTest::newRow("missing") << head << "a1" << QString();
}

void TestReaderData::bookTitles()
{
    QFETCH(QString, text);
    QFETCH(QString, slot);
    QFETCH(QString, name);
    QCOMPARE(parseBookTitles(text).value(slot), name);
}

void TestReaderData::unescape_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("named") << "&lt;&gt;&amp;&quot;&apos;"
                           << "<>&\"'";
    QTest::newRow("numeric") << "&#1705;&#x6CC;" << u"کی"_qs;
    QTest::newRow("lone ampersand") << "a & b"
                                    << "a & b";
    QTest::newRow("unknown entity") << "&nbsp;"
                                    << "&nbsp;";
    QTest::newRow("surrogate refused") << "&#xD800;"
                                       << "&#xD800;";
    QTest::newRow("double escaped once") << "&amp;amp;"
                                         << "&amp;";
}

void TestReaderData::unescape()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(unescapeXml(in), out);
}

void TestReaderData::pageBodiesAreData_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("blocks"); // "T:text" or "I:path"
    QTest::newRow("paragraphs, empty ones dropped") << page(
        "عنوان", { "یک", "", "دو" }) << u"عنوان"_qs << QStringList { u"T:یک"_qs, u"T:دو"_qs };
    QTest::newRow("inline picture in place")
        << page("t", { "a", "<IMG src=\"../BookIMG/Pic.JPG\">", "b" }) << "t"
        << QStringList { "T:a", "I:BookIMG/pic.jpg", "T:b" };
    QTest::newRow("remote and outside pictures dropped") << page("t",
        { "<IMG src=\"http://example.invalid/x.jpg\">", "<IMG src=\"../BookIMG/../../x.jpg\">",
            "<IMG src=\"../BookIMG/missing.jpg\">", "a" })
                                                         << "t" << QStringList { "T:a" };
    QTest::newRow("markup in the text stays text")
        << page("<b>t</b>", { "<script>alert(1)</script>", "x < y & z" }) << "<b>t</b>"
        << QStringList { "T:<script>alert(1)</script>", "T:x < y & z" };
    QTest::newRow("unclosed paragraph keeps its text")
        << QStringLiteral("<pgTitle>t</pgTitle>\r\n<pgMain>a") << "t" << QStringList { "T:a" };
    QTest::newRow("text outside paragraphs kept")
        << QStringLiteral("<pgTitle>t</pgTitle>\r\nloose\r\n<pgMain>a</pgMain>") << "t"
        << QStringList { "T:loose", "T:a" };
    QTest::newRow("ZWNJ kept") << page("t", { u"1\u200C4\u200C0\u200C3\u200C"_qs }) << "t"
                               << QStringList { u"T:1\u200C4\u200C0\u200C3\u200C"_qs };
}

void TestReaderData::pageBodiesAreData()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QStringList, blocks);
    DataFolder d;
    d.bytes("BookIMG/pic.jpg", "P");
    const std::optional<ParsedPage> parsed
        = parsePage(text, FolderNames(d.fs, d.data() + "/BookIMG"));
    QVERIFY(parsed);
    QCOMPARE(parsed->title, title);
    QStringList got;
    for (const PageBlock &b : parsed->blocks)
        got << (b.kind == PageBlock::Kind::Image ? "I:" : "T:") + b.value;
    QCOMPARE(got, blocks);
}

void TestReaderData::libraryFromTheFiles()
{
    DataFolder d(settings(" 2", "abc", "3"));
    d.write("_xml/aTitle1.xml", kHead + leaf("A", "P1.htm"));
    d.write("_xml/aTitle2.xml", kHead + leaf("B", "P2.htm")); // finished
    d.write("_xml/cTitle3.xml", kHead + leaf("C", "P3.htm"));
    d.write("_xml/bTitle1.xml", kHead); // beyond the count "abc" = 0 places
    d.write("_xml/BookTitle.xml",
        QStringLiteral("<strings>\r\n\t<aBook1>یکم</aBook1>\r\n\t<cBook3>سوم</cBook3>\r\n"));
    for (const char *p : { "P1.htm", "P2.htm", "P3.htm" })
        d.write(QStringLiteral("BookTXT/") + p, page("t", { "x" }));
    d.bytes("BookIMG/aBook1.jpg", "J");
    d.bytes("FlashIMG/Back.jpg", "B");
    d.bytes("FlashIMG/Sound2.mp3", "S");
    const LibraryModel lib = d.read();
    QCOMPARE(lib.rows[0], 2);
    QCOMPARE(lib.rows[1], 0);
    QCOMPARE(lib.rows[2], 3);
    QVERIFY(!lib.template1);
    QVERIFY(lib.print);
    QCOMPARE(lib.background, QStringLiteral("FlashIMG/Back.jpg"));
    QCOMPARE(lib.shelfMusic, QString()); // Sound1.mp3 is not there
    QCOMPARE(lib.bookMusic, QStringLiteral("FlashIMG/Sound2.mp3"));
    QStringList found;
    for (const BookModel &b : lib.books)
        found << b.slot + u':' + b.name + u':' + b.cover + u':' + QString::number(b.row) + u'/'
                + QString::number(b.place);
    QCOMPARE(found,
        (QStringList { u"a1:یکم:BookIMG/aBook1.jpg:0/1"_qs, "a2:::0/2", u"c3:سوم::2/3"_qs }));

    // Music off: no tracks even when the files are there.
    DataFolder quiet(settings("1", "0", "0", "0"));
    quiet.bytes("FlashIMG/Sound1.mp3", "S");
    QCOMPARE(quiet.read().shelfMusic, QString());
    // No settings file: the design values.
    DataFolder none { QString() };
    QCOMPARE(none.read().rows[2], 10);
}

void TestReaderData::namesFoundWithoutRegardToCase()
{
    DataFolder d(settings("1", "0", "0"));
    d.write("_xml/ATITLE1.XML",
        kHead + "\t<node label=\"A\" src=\"DATA/BookTXT/p1.HTM\" mediaStatus=\"100\" />\r\n");
    d.write("BookTXT/P1.htm", page("t", { "<IMG src=\"../BookIMG/X.jpg\">" }));
    d.bytes("BookTXT/P1.JPG", "J");
    d.bytes("BookIMG/x.JPG", "X");
    d.bytes("BookIMG/ABOOK1.jpg", "C");
    const LibraryModel lib = d.read();
    QCOMPARE(lib.books.size(), 1);
    const BookModel &b = lib.books.first();
    QCOMPARE(b.cover, QStringLiteral("BookIMG/ABOOK1.jpg"));
    QCOMPARE(b.pages.first().pageFile, QStringLiteral("BookTXT/P1.htm"));
    QCOMPARE(b.pages.first().picture, QStringLiteral("BookTXT/P1.JPG"));
    QCOMPARE(b.pages.first().blocks.first().value, QStringLiteral("BookIMG/x.JPG"));
}

void TestReaderData::identityPageComesFirst()
{
    DataFolder d(settings("1", "0", "0"));
    d.write("_xml/aTitle1.xml",
        kHead + "\t<node label=\"M\">\r\n" + leaf("A", "1.htm", 2)
            + leaf(u"شناسنامه"_qs, "2.htm", 2) + "\t</node>\r\n" + leaf("B", "3.htm"));
    d.write("BookTXT/1.htm", page("A", { "a" }));
    d.write("BookTXT/2.htm", page(u"شناسنامه"_qs, { "i" }));
    d.write("BookTXT/3.htm", page("B", { "b" }));
    const BookModel b = d.read().books.first();
    QCOMPARE(labels(b.toc), (QStringList { u"شناسنامه#0"_qs, "M{A#1}", "B#2" }));
    QStringList titles;
    for (const PageModel &p : b.pages)
        titles << p.title + (p.identity ? "*" : "");
    QCOMPARE(titles, (QStringList { u"شناسنامه*"_qs, "A", "B" }));
}

void TestReaderData::mediaBesideThePage()
{
    QCOMPARE(mediaKindOf("JPG"), MediaKind::Picture);
    QCOMPARE(mediaKindOf("wma"), MediaKind::Sound);
    QCOMPARE(mediaKindOf("avi"), MediaKind::Film);
    QCOMPARE(mediaKindOf("xyz"), MediaKind::Unknown);
    DataFolder d(settings("1", "0", "0"));
    d.write("_xml/aTitle1.xml", kHead + leaf("A", "P.htm") + leaf("B", "Q.htm"));
    d.write("BookTXT/P.htm", page("A", { "a" }));
    d.write("BookTXT/Q.htm", page("B", { "b" }));
    d.bytes("BookTXT/P.mp3", "S");
    d.bytes("BookTXT/P.avi", "F");
    d.write("BookTXT/P.html", "printable");
    // A sound of a kind we do not know takes the first free place after the picture.
    d.bytes("BookTXT/Q.gif", "G");
    d.bytes("BookTXT/Q.xyz", "?");
    const BookModel b = d.read().books.first();
    const PageModel &p = b.pages[0];
    QCOMPARE(p.picture, QString());
    QCOMPARE(p.sound, QStringLiteral("BookTXT/P.mp3"));
    QCOMPARE(p.film, QStringLiteral("BookTXT/P.avi"));
    QCOMPARE(p.printable, QStringLiteral("BookTXT/P.html"));
    QCOMPARE(b.pages[1].picture, QStringLiteral("BookTXT/Q.gif"));
    QCOMPARE(b.pages[1].sound, QStringLiteral("BookTXT/Q.xyz"));
    QCOMPARE(b.pages[1].printable, QString());
}

void TestReaderData::brokenFilesFailNamingTheFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named");
    QTest::newRow("page missing") << "BookTXT/other.htm" << utf16le(page("t", {})) << "aTitle1.xml";
    QTest::newRow("page without closing title")
        << "BookTXT/1.htm" << utf16le("<pgTitle>t") << "1.htm";
    QTest::newRow("malformed settings")
        << "BookTXT/CDProperty.xml" << utf16le("<strings><aBookNumber>1</strings>")
        << "CDProperty.xml";
}

void TestReaderData::brokenFilesFailNamingTheFile()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    DataFolder d(settings("1", "0", "0"));
    d.write("_xml/aTitle1.xml", kHead + leaf("A", "1.htm"));
    d.bytes(file, bytes);
    try {
        d.read();
        QFAIL("no error");
    } catch (const FsError &e) {
        QVERIFY2(e.path().endsWith(named), qPrintable(e.describe()));
    }
}

void TestReaderData::scriptsHoldValidJson()
{
    BookModel book;
    book.slot = "b7";
    book.name = u"نام \"ویژه\" </script> \u2028"_qs;
    TocNode main { "M", -1, { TocNode { "A", 0, {} } } };
    book.toc = { main };
    PageModel p;
    p.title = "A";
    p.blocks = { PageBlock { PageBlock::Kind::Text, "x" },
        PageBlock { PageBlock::Kind::Image, "BookIMG/p.jpg" } };
    p.sound = "BookTXT/A.mp3";
    book.pages = { p };
    const QJsonObject b
        = scriptJson(bookScript(book), "(window.ZORVEL_BOOKS = window.ZORVEL_BOOKS || {})[\"b7\"]");
    QCOMPARE(b["name"].toString(), book.name);
    QCOMPARE(
        b["toc"].toArray()[0].toObject()["children"].toArray()[0].toObject()["page"].toInt(), 0);
    const QJsonObject page = b["pages"].toArray()[0].toObject();
    QCOMPARE(page["blocks"].toArray()[1].toObject()["image"].toString(),
        QStringLiteral("BookIMG/p.jpg"));
    QVERIFY(page["picture"].isNull());
    QCOMPARE(page["sound"].toString(), QStringLiteral("BookTXT/A.mp3"));

    LibraryModel lib;
    lib.rows[0] = 3;
    lib.books = { book };
    const QJsonObject l = scriptJson(libraryScript(lib), "window.ZORVEL_LIBRARY");
    QCOMPARE(l["books"].toArray()[0].toObject()["script"].toString(), QStringLiteral("data/b7.js"));
    QCOMPARE(l["books"].toArray()[0].toObject()["pageCount"].toInt(), 1);
    QCOMPARE(l["settings"].toObject()["rows"].toArray(), (QJsonArray { 3, 0, 0 }));
    QVERIFY(l["background"].isNull());
}

void TestReaderData::searchFoldIsTheReaders_data()
{
    // The same cases hold in the browser (the reader's own searchFold).
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("arabic yeh and kaf") << u"كتاب يي ى"_qs << u"کتاب یی ی"_qs;
    QTest::newRow("teh marbuta and alef forms") << u"مدرسة أإآ"_qs << u"مدرسه ااا"_qs;
    QTest::newRow("zwnj between letters stays") << u"مي\u200cرفت"_qs << u"می\u200cرفت"_qs;
    QTest::newRow("zwnj after digits goes") << u"1\u200c4\u200c0\u200c3\u200c"_qs << u"1403"_qs;
    QTest::newRow("zwnj beside a space goes") << u"ب \u200cا"_qs << u"ب ا"_qs;
    QTest::newRow("zwnj at the end goes") << u"ها\u200c"_qs << u"ها"_qs;
    QTest::newRow("zwnj across a mark stays") << u"ه\u200c\u0650ا"_qs << u"ه\u200cا"_qs;
    QTest::newRow("white space runs") << u"  a \t\r\n b\u00a0 "_qs << u"a b"_qs;
    QTest::newRow("harakat and tatweel") << u"كِتَـابٌ"_qs << u"کتاب"_qs;
    QTest::newRow("digits") << u"۱۴۰۳ ١٤٠٣"_qs << u"1403 1403"_qs;
    QTest::newRow("latin case, direction marks") << u"CD\u200fZorvel"_qs << u"cdzorvel"_qs;
}

void TestReaderData::searchFoldIsTheReaders()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(searchFold(text), folded);
}

void TestReaderData::searchScriptLinesAndStarts()
{
    BookModel book;
    book.slot = "c2";
    PageModel a;
    a.title = u"يك"_qs;
    a.blocks = { PageBlock { PageBlock::Kind::Text, u"مي\u200cرود"_qs },
        PageBlock { PageBlock::Kind::Image, "BookIMG/p.jpg" },
        PageBlock { PageBlock::Kind::Text, "B  C" } };
    PageModel b;
    b.title = "";
    book.pages = { a, b };
    const QJsonObject s
        = scriptJson(searchScript(book), "(window.ZORVEL_SEARCH = window.ZORVEL_SEARCH || {})[\"c2\"]");
    QCOMPARE(s["format"].toInt(), 1);
    // Title and paragraphs one to a line, pictures left out; an empty title is a line too.
    QCOMPARE(s["text"].toString(), u"یک\nمی\u200cرود\nb c\n"_qs);
    QCOMPARE(s["starts"].toArray(), (QJsonArray { 0, 14 }));

    LibraryModel lib;
    lib.books = { book };
    const QJsonObject l = scriptJson(libraryScript(lib), "window.ZORVEL_LIBRARY");
    QCOMPARE(l["books"].toArray()[0].toObject()["search"].toString(), QStringLiteral("data/c2.search.js"));
}

void TestReaderData::exportWritesTheDataLast()
{
    TempProgram tp;
    FileSystem fs;
    tp.write("Resources/setup", "S");
    tp.write("Resources/setup.exe", "W");
    tp.mkdir("Export");
    for (const char *sub : { "Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG" })
        tp.mkdir(QString::fromLatin1(sub));
    tp.write("Data/BookTXT/CDProperty.xml", utf16le(settings("1", "0", "0")));
    tp.write("Data/_xml/aTitle1.xml", utf16le(kHead + leaf("A", "1.htm")));
    tp.write("Data/BookTXT/1.htm", utf16le(page("A", { "a" })));
    ExportResult r = runExport(fs, tp.path(), tp.file("Data"), tp.file("Export"), true);
    QCOMPARE(r.problem, QString());
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(r.readerBooks, 1);
    const QJsonObject b = scriptJson(tp.read("Export/Export 1/Data/reader/data/a1.js"),
        "(window.ZORVEL_BOOKS = window.ZORVEL_BOOKS || {})[\"a1\"]");
    // The printable page made just before is named.
    QCOMPARE(b["pages"].toArray()[0].toObject()["printable"].toString(),
        QStringLiteral("BookTXT/1.html"));

    // A book whose page is gone fails the export with message 28, naming its index.
    QFile::remove(tp.file("Data/BookTXT/1.htm"));
    r = runExport(fs, tp.path(), tp.file("Data"), tp.file("Export"), false);
    QCOMPARE(r.messageCode(), qint16(28));
    QVERIFY2(r.problem.contains("aTitle1.xml"), qPrintable(r.problem));
    QVERIFY(!tp.exists("Export/Export 2/Data/reader/data/library.js"));
}

void TestReaderData::noDataFolderWritesNothing()
{
    TempProgram tp { false };
    FileSystem fs;
    tp.mkdir("out/Other");
    const ReaderDataResult r = writeReaderData(fs, tp.file("out"));
    QVERIFY(!r.written);
    QVERIFY(!tp.exists("out/Data"));
    // A place for the data that cannot be made fails, naming it.
    tp.mkdir("out2/Data");
    tp.write("out2/Data/reader", "a file where the folder goes");
    QVERIFY_THROWS_EXCEPTION(FsError, writeReaderData(fs, tp.file("out2")));
}

void TestReaderData::shippedScriptCarriesTheReader()
{
    // Every file of the reader reaches the CD through the script, and the
    // installer starts the reader's page.
    const QString resources = QStringLiteral(ZORVEL_RESOURCES_DIR);
    const QString script = QString::fromUtf8(TempProgram().read("Resources/Export.inf"));
    QDirIterator it(resources + "/reader", QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString rel = QDir(resources).relativeFilePath(it.next()).replace(u'/', u'\\');
        QVERIFY2(
            script.contains(QStringLiteral("\r\n") + rel + QStringLiteral(" => root\\Data\r\n")),
            qPrintable(rel));
        ++files;
    }
    QVERIFY(files >= 4);
    QVERIFY(script.contains(QStringLiteral("\r\nindex.html => root\r\n")));
    const QString cdInf = QString::fromUtf8(TempProgram().read("Resources/cd.inf"));
    QVERIFY(cdInf.contains(QStringLiteral("[ Run File ]\r\nreader\\index.html\r\n")));

    // Both installers and AutoPlay at the root; the disc is labelled with
    // the name the installers give it.
    for (const char *entry : { "setup", "setup.exe", "autorun.inf", "cd.inf" })
        QVERIFY2(script.contains(QStringLiteral("\r\n%1 => root\r\n").arg(QLatin1String(entry))), entry);
    const QStringList cdLines = cdInf.split(QStringLiteral("\r\n"));
    const qsizetype nameAt = cdLines.indexOf(QStringLiteral("[ CD Name ]"));
    QVERIFY(nameAt >= 0 && nameAt + 1 < cdLines.size());
    const QString autorun = QString::fromUtf8(TempProgram().read("Resources/autorun.inf"));
    QCOMPARE(autorun,
        QStringLiteral("[autorun]\r\nopen=setup.exe\r\nicon=setup.exe,0\r\nlabel=%1\r\n")
            .arg(cdLines.at(nameAt + 1)));
}

QTEST_MAIN(TestReaderData)
#include "test_readerdata.moc"
