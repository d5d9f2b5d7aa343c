// The book file writer: page names, line wrapping, inline pictures, and the
// files of one book checked byte for byte.
#include "core/book/bookwriter.h"
#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "support/filesizelimit.h"
#include "support/foldersnapshot.h"
#include "support/tempprogram.h"

#include <QtTest>

using namespace zorvel;
using zorvel::testing::FileSizeLimit;
using zorvel::testing::folderSnapshot;
using zorvel::testing::snapshotDifference;
using zorvel::testing::TempProgram;
using zorvel::testing::utf16le;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Every name drawn is 14 times the same character, one name after another
// taking the characters 0, 1, 2, ...
RandomSource namesInOrder()
{
    auto calls = std::make_shared<int>(0);
    return [calls]() { return double((*calls)++ / 14 % 35) / 34.0; };
}

QString treeHead()
{
    return QStringLiteral("<?xml version=\"1.0\"?>\r\n<Tree>\r\n");
}

QString titleHead()
{
    return QStringLiteral("<strings>\r\n\t") + layout::creditLine() + kCrLf;
}

ParagraphSlot paragraph(const QString &title, const QString &body, const QString &pic = {},
    const QString &sound = {}, const QString &film = {})
{
    return ParagraphSlot { title, body, pic, sound, film };
}

QString nodeLine(int depth, const QString &label, const QString &page, const QString &digits)
{
    return QString(depth, u'\t') + QStringLiteral("<node label=\"") + label
        + QStringLiteral("\" src=\"DATA/BookTXT/") + page + QStringLiteral("\" mediaStatus=\"")
        + digits + QStringLiteral("\" />\r\n");
}

// A build folder with the four subfolders.
struct Build {
    TempProgram tp { false };
    FileSystem fs;
    Build()
    {
        for (const char *sub : { "Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG" })
            tp.mkdir(QString::fromLatin1(sub));
    }
    QString folder() const { return tp.file(QStringLiteral("Data")); }
    QByteArray read(const QString &relative) const
    {
        return tp.read(QStringLiteral("Data/") + relative);
    }
    QStringList files(const QString &sub) const
    {
        QStringList names = fs.listFiles(folder() + u'/' + sub);
        names.sort();
        return names;
    }
    BookRequest request(
        const QList<ParagraphSlot> &paragraphs, const QString &name = QStringLiteral("ABC")) const
    {
        BookRequest r;
        r.buildFolder = folder();
        r.rowLetter = QStringLiteral("a");
        r.bookNo = QStringLiteral("3");
        r.bookName = name;
        r.paragraphs = paragraphs;
        return r;
    }
};

QString page(const QString &title, const QString &body)
{
    return QStringLiteral("<pgTitle>") + title + QStringLiteral("</pgTitle>\r\n") + body;
}

} // namespace

class TestBookWriter : public QObject {
    Q_OBJECT
private slots:
    void remCrLf_data();
    void remCrLf();
    void setMatnWrapsEveryLine_data();
    void setMatnWrapsEveryLine();
    void randNRoundsHalvesToEven_data();
    void randNRoundsHalvesToEven();
    void newNJoinsFourteenUpperCaseCharacters();
    void toImg_data();
    void toImg();
    void toImgCopiesEachPictureOnce();
    void inlinePictureNames_data();
    void inlinePictureNames();
    void texts();
    void emptyTableWritesTitleLineAndTreeHead();
    void depthRulesAndIdentityPage();
    void mainTitleDepth_data();
    void mainTitleDepth();
    void titleWithLineBreak();
    void inlinePictureOnTwoPages();
    void mediaStatusAndCopies_data();
    void mediaStatusAndCopies();
    void missingSourcesAreAskedAboutAndLeftOut();
    void mediaCopyThatFailsFailsTheWholeBook();
    void fullDiskFailsTheWholeBook_data();
    void fullDiskFailsTheWholeBook();
    void rewriteAnsweredYes();
    void rewriteAnsweredNoWritesNothing();
    void titleLineOfOtherSlotsIsKept();
    void xmlSpecialCharactersAreEscapedOutsidePages();
    void pageNamesAreDrawnUntilFree();
    void missingFoldersAreReported();
    void failedPageWriteNamesFileAndLeavesBookUnfinished();
    void everyGivenSlotIsWrittenUpToSlot256();
};

void TestBookWriter::remCrLf_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("line break becomes a space")
        << QStringLiteral("a\r\nb") << QStringLiteral("a b");
    QTest::newRow("two breaks make one space")
        << QStringLiteral("a\r\n\r\nb") << QStringLiteral("a b");
    QTest::newRow("four spaces halved once") << QStringLiteral("a    b") << QStringLiteral("a  b");
    QTest::newRow("three spaces become two") << QStringLiteral("a   b") << QStringLiteral("a  b");
    QTest::newRow("outer spaces removed") << QStringLiteral("  a b \r\n") << QStringLiteral("a b");
    QTest::newRow("tabs and bare LF stay")
        << QStringLiteral("\ta\nb\t") << QStringLiteral("\ta\nb\t");
    QTest::newRow("empty") << QString() << QString();
}

void TestBookWriter::remCrLf()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(RemCrLf(in), out);
}

void TestBookWriter::setMatnWrapsEveryLine_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    const QString e = QStringLiteral("<pgMain></pgMain>\r\n");
    QTest::newRow("two lines") << QStringLiteral("First\r\nSecond")
                               << e + e
            + QStringLiteral("<pgMain>First</pgMain>\r\n<pgMain>Second</pgMain>");
    QTest::newRow("one line") << QStringLiteral("Only")
                              << e + e + QStringLiteral("<pgMain>Only</pgMain>");
    QTest::newRow("empty body") << QString() << e + e + QStringLiteral("<pgMain></pgMain>");
    QTest::newRow("trailing break gives an empty last line") << QStringLiteral(
        "A\r\n") << e + e + QStringLiteral("<pgMain>A</pgMain>\r\n<pgMain></pgMain>");
    QTest::newRow("bare LF is not a line break")
        << QStringLiteral("A\nB") << e + e + QStringLiteral("<pgMain>A\nB</pgMain>");
}

void TestBookWriter::setMatnWrapsEveryLine()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(SetMatn(in), out);
    QCOMPARE(SetShenas(in), out);
}

void TestBookWriter::randNRoundsHalvesToEven_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<QChar>("ch");
    QTest::newRow("zero") << 0.0 << QChar(u'0');
    QTest::newRow("4.25 down to 4") << 0.125 << QChar(u'4');
    QTest::newRow("8.5 down to even 8") << 0.25 << QChar(u'8');
    QTest::newRow("9.52 up to 9") << 0.28 << QChar(u'a');
    QTest::newRow("10.625 up to 11") << 0.3125 << QChar(u'b');
    QTest::newRow("17 is h") << 0.5 << QChar(u'h');
    QTest::newRow("25.5 up to even 26") << 0.75 << QChar(u'q');
    QTest::newRow("just below one gives y") << 0.9999 << QChar(u'y');
}

void TestBookWriter::randNRoundsHalvesToEven()
{
    QFETCH(double, r);
    QFETCH(QChar, ch);
    QCOMPARE(RandN([r]() { return r; }), ch);
}

void TestBookWriter::newNJoinsFourteenUpperCaseCharacters()
{
    const QList<double> draws = { 0.0, 0.3125, 0.5, 0.75, 0.9999, 0.125, 0.25, 0.0, 0.3125, 0.5,
        0.75, 0.9999, 0.125, 0.25 };
    int i = 0;
    QCOMPARE(NewN([&]() { return draws.at(i++); }), QStringLiteral("0BHQY480BHQY48"));
    QCOMPARE(i, 14);

    const QRegularExpression shape(QStringLiteral("^[0-9A-Y]{14}$"));
    for (int n = 0; n < 200; ++n)
        QVERIFY(shape.match(NewN()).hasMatch());
}

void TestBookWriter::toImg_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("converted");
    QTest::addColumn<QStringList>("copied");
    const QString e = QStringLiteral("<pgMain></pgMain>\r\n");
    QTest::newRow("picture 2 becomes its reference")
        << e + QStringLiteral("<pgMain>x</pgMain>\r\n<pgMain> {2}</pgMain>\r\n<pgMain>y</pgMain>")
        << e
            + QStringLiteral(
                "<pgMain>x</pgMain>\r\n<IMG src=\"../BookIMG/a.jpg\">\r\n<pgMain>y</pgMain>")
        << QStringList { QStringLiteral("a.jpg") };
    QTest::newRow("same picture twice, both replaced")
        << QStringLiteral("<pgMain> {2}</pgMain>\r\n<pgMain> {2}</pgMain>")
        << QStringLiteral("<IMG src=\"../BookIMG/a.jpg\">\r\n<IMG src=\"../BookIMG/a.jpg\">")
        << QStringList { QStringLiteral("a.jpg") };
    QTest::newRow("two pictures")
        << QStringLiteral("<pgMain> {2}</pgMain><pgMain> {0}</pgMain>")
        << QStringLiteral("<IMG src=\"../BookIMG/a.jpg\"><IMG src=\"../BookIMG/b.png\">")
        << QStringList { QStringLiteral("a.jpg"), QStringLiteral("b.png") };
    QTest::newRow("empty slot refers to the folder, no copy")
        << QStringLiteral("<pgMain> {7}</pgMain>") << QStringLiteral("<IMG src=\"../BookIMG/\">")
        << QStringList();
    QTest::newRow("no closing marker leaves the body")
        << QStringLiteral("<pgMain> {2}</p>") << QStringLiteral("<pgMain> {2}</p>")
        << QStringList();
    QTest::newRow("not a number stops, later markers stay")
        << QStringLiteral("<pgMain> {2}</pgMain><pgMain> {x}</pgMain><pgMain> {0}</pgMain>")
        << QStringLiteral(
               "<IMG src=\"../BookIMG/a.jpg\"><pgMain> {x}</pgMain><pgMain> {0}</pgMain>")
        << QStringList { QStringLiteral("a.jpg") };
    QTest::newRow("number 513 is out of range")
        << QStringLiteral("<pgMain> {513}</pgMain>") << QStringLiteral("<pgMain> {513}</pgMain>")
        << QStringList();
    QTest::newRow("text paragraph with braces untouched")
        << QStringLiteral("<pgMain>a {2}</pgMain>") << QStringLiteral("<pgMain>a {2}</pgMain>")
        << QStringList();
}

void TestBookWriter::toImg()
{
    QFETCH(QString, body);
    QFETCH(QString, converted);
    QFETCH(QStringList, copied);
    Build b;
    QStringList imgList(kInlinePictureCount);
    imgList[2] = b.tp.write(QStringLiteral("pics/a.jpg"), "JPEG-A");
    imgList[0] = b.tp.write(QStringLiteral("other/b.png"), "PNG-B");
    QStringList notCopied;
    QCOMPARE(ToIMG(body, imgList, b.folder(), b.fs, &notCopied), converted);
    QCOMPARE(b.files(QStringLiteral("BookIMG")), copied);
    QCOMPARE(notCopied, QStringList());
}

void TestBookWriter::toImgCopiesEachPictureOnce()
{
    Build b;
    QStringList imgList(kInlinePictureCount);
    imgList[1] = b.tp.write(QStringLiteral("pics/a.jpg"), "NEW");
    b.tp.write(QStringLiteral("Data/BookIMG/a.jpg"), "OLD");
    imgList[3] = b.tp.file(QStringLiteral("pics/gone.jpg"));
    QStringList notCopied;
    const QString out = ToIMG(QStringLiteral("<pgMain> {1}</pgMain><pgMain> {3}</pgMain>"), imgList,
        b.folder(), b.fs, &notCopied);
    // A different picture of a taken name gets a free one; the old file stays.
    QCOMPARE(
        out, QStringLiteral("<IMG src=\"../BookIMG/a-2.jpg\"><IMG src=\"../BookIMG/gone.jpg\">"));
    QCOMPARE(b.read(QStringLiteral("BookIMG/a.jpg")), QByteArray("OLD"));
    QCOMPARE(b.read(QStringLiteral("BookIMG/a-2.jpg")), QByteArray("NEW"));
    QCOMPARE(notCopied, QStringList { imgList[3] });
    // The same picture again, in this book or a later one, is the copy already there.
    QCOMPARE(ToIMG(QStringLiteral("<pgMain> {1}</pgMain>"), imgList, b.folder(), b.fs),
        QStringLiteral("<IMG src=\"../BookIMG/a-2.jpg\">"));
    QCOMPARE(b.files(QStringLiteral("BookIMG")), (QStringList { "a-2.jpg", "a.jpg" }));
}

void TestBookWriter::inlinePictureNames_data()
{
    QTest::addColumn<QStringList>("pictures"); // content of each picture, by number
    QTest::addColumn<QStringList>("folders"); // where each lies
    QTest::addColumn<QStringList>("names"); // the names the page refers to
    QTest::newRow("one file twice is one copy")
        << QStringList { "A", "A" } << QStringList { "x", "x" } << QStringList { "p.jpg", "p.jpg" };
    QTest::newRow("two files of one name")
        << QStringList { "A", "B" } << QStringList { "x", "y" } << QStringList { "p.jpg", "p-2.jpg" };
    QTest::newRow("equal content from two folders is one copy")
        << QStringList { "A", "A" } << QStringList { "x", "y" } << QStringList { "p.jpg", "p.jpg" };
    QTest::newRow("three of one name")
        << QStringList { "A", "B", "C", "B" } << QStringList { "x", "y", "z", "y" }
        << QStringList { "p.jpg", "p-2.jpg", "p-3.jpg", "p-2.jpg" };
}

void TestBookWriter::inlinePictureNames()
{
    QFETCH(QStringList, pictures);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, names);
    Build b;
    QStringList imgList(kInlinePictureCount);
    QString body, expected;
    for (int i = 0; i < pictures.size(); ++i) {
        imgList[i] = b.tp.write(folders[i] + QStringLiteral("/p.jpg"), pictures[i].toLatin1());
        body += QStringLiteral("<pgMain> {%1}</pgMain>").arg(i);
        expected += QStringLiteral("<IMG src=\"../BookIMG/") + names[i] + QStringLiteral("\">");
    }
    QCOMPARE(ToIMG(body, imgList, b.folder(), b.fs), expected);
    for (int i = 0; i < pictures.size(); ++i)
        QCOMPARE(b.read(QStringLiteral("BookIMG/") + names[i]), pictures[i].toLatin1());
    QStringList distinct = names;
    distinct.removeDuplicates();
    distinct.sort();
    QCOMPARE(b.files(QStringLiteral("BookIMG")), distinct);
}

void TestBookWriter::texts()
{
    QCOMPARE(missingFoldersMessage(), QStringLiteral("Folder _xml or BookTXT doesn't exist!"));
    QCOMPARE(rewriteQuestion(QStringLiteral("aTitle3.xml")),
        QStringLiteral(
            u"فايلي با نام \r\naTitle3.xml\r\n در حال حاضر موجود است.\r\n\r\n آيا حذف شود؟"));
    QVERIFY(layout::creditLine().startsWith(QStringLiteral("<aBook0>")));
    QVERIFY(layout::creditLine().endsWith(QStringLiteral("</aBook0>")));
    QVERIFY(layout::creditLine().contains(QStringLiteral("Zorvel")));
}

void TestBookWriter::emptyTableWritesTitleLineAndTreeHead()
{
    Build b;
    const BookResult r = writeBook(b.fs, b.request({}), false);
    QCOMPARE(r.pages, QStringList());
    QCOMPARE(b.read(QStringLiteral("_xml/BookTitle.xml")),
        utf16le(titleHead() + QStringLiteral("\t<aBook3>ABC</aBook3>\r\n")));
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")), utf16le(treeHead()));
    QCOMPARE(b.files(QStringLiteral("BookTXT")), QStringList());
}

void TestBookWriter::depthRulesAndIdentityPage()
{
    Build b;
    BookRequest req = b.request({ paragraph(markShenas(), QStringLiteral("Publisher\r\nYear")),
        paragraph(markMain(), QStringLiteral("M")),
        paragraph(QStringLiteral("P"), QStringLiteral("Body of P")),
        paragraph(markEnd(), QStringLiteral("M")),
        paragraph(QStringLiteral("R"), QStringLiteral("Body of R")) });
    // A stand-in for the workbench's ToTXT that shows it was called.
    req.toText = [](const QString &rtf) { return rtf.toUpper(); };
    const BookResult r = writeBook(b.fs, req, false);
    QCOMPARE(r.pages.size(), 3);
    const QString e = QStringLiteral("<pgMain></pgMain>\r\n");
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")),
        utf16le(treeHead() + nodeLine(1, markShenas(), r.pages[0], QStringLiteral("000"))
            + QStringLiteral("\t<node label=\"M\">\r\n")
            + nodeLine(2, QStringLiteral("P"), r.pages[1], QStringLiteral("000"))
            + QStringLiteral("\t</node>\r\n")
            + nodeLine(1, QStringLiteral("R"), r.pages[2], QStringLiteral("000"))));
    QCOMPARE(b.read(QStringLiteral("BookTXT/") + r.pages[0]),
        utf16le(page(markShenas(),
            e + e + QStringLiteral("<pgMain>PUBLISHER</pgMain>\r\n<pgMain>YEAR</pgMain>"))));
    QCOMPARE(b.read(QStringLiteral("BookTXT/") + r.pages[1]),
        utf16le(page(QStringLiteral("P"), e + e + QStringLiteral("<pgMain>BODY OF P</pgMain>"))));
    QStringList sorted = r.pages;
    sorted.sort();
    QCOMPARE(b.files(QStringLiteral("BookTXT")), sorted);
    for (const QString &name : r.pages)
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-Y]{14}\\.htm$")).match(name).hasMatch());
}

void TestBookWriter::mainTitleDepth_data()
{
    QTest::addColumn<QList<ParagraphSlot>>("table");
    QTest::addColumn<QString>("lines");
    const ParagraphSlot end = paragraph(markEnd(), QStringLiteral("B"));
    QTest::newRow("nested main titles")
        << QList<ParagraphSlot> { paragraph(markMain(), QStringLiteral("A")),
               paragraph(markMain(), QStringLiteral("B")), end, end }
        << QStringLiteral(
               "\t<node label=\"A\">\r\n\t\t<node label=\"B\">\r\n\t\t</node>\r\n\t</node>\r\n");
    QTest::newRow("main title left open gets no closing line")
        << QList<ParagraphSlot> { paragraph(markMain(), QStringLiteral("A")) }
        << QStringLiteral("\t<node label=\"A\">\r\n");
    QTest::newRow("main title text on one line")
        << QList<ParagraphSlot> { paragraph(markMain(), QStringLiteral(" A\r\nB  C ")), end }
        << QStringLiteral("\t<node label=\"A B C\">\r\n\t</node>\r\n");
    QTest::newRow("end entry without an open main title is left out")
        << QList<ParagraphSlot> { end, paragraph(markMain(), QStringLiteral("A")), end, end }
        << QStringLiteral("\t<node label=\"A\">\r\n\t</node>\r\n");
}

void TestBookWriter::mainTitleDepth()
{
    QFETCH(QList<ParagraphSlot>, table);
    QFETCH(QString, lines);
    Build b;
    const BookResult r = writeBook(b.fs, b.request(table), false);
    QCOMPARE(r.pages, QStringList());
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")), utf16le(treeHead() + lines));
}

void TestBookWriter::titleWithLineBreak()
{
    Build b;
    const QString title = QStringLiteral("Line one\r\nline two");
    const BookResult r
        = writeBook(b.fs, b.request({ paragraph(title, QStringLiteral("x")) }), false);
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")),
        utf16le(treeHead()
            + nodeLine(1, QStringLiteral("Line one line two"), r.pages[0], QStringLiteral("000"))));
    QVERIFY(
        b.read(QStringLiteral("BookTXT/") + r.pages[0])
            .startsWith(utf16le(QStringLiteral("<pgTitle>Line one\r\nline two</pgTitle>\r\n"))));
}

void TestBookWriter::inlinePictureOnTwoPages()
{
    Build b;
    BookRequest req = b.request({ paragraph(QStringLiteral("One"), QStringLiteral("Text\r\n {2}")),
        paragraph(QStringLiteral("Two"), QStringLiteral(" {2}\r\nMore")) });
    req.imgList = QStringList(kInlinePictureCount);
    req.imgList[2] = b.tp.write(QStringLiteral("somewhere/a.jpg"), "JPEG");
    const BookResult r = writeBook(b.fs, req, false);
    const QString e = QStringLiteral("<pgMain></pgMain>\r\n");
    const QString img = QStringLiteral("<IMG src=\"../BookIMG/a.jpg\">");
    QCOMPARE(b.read(QStringLiteral("BookTXT/") + r.pages[0]),
        utf16le(page(
            QStringLiteral("One"), e + e + QStringLiteral("<pgMain>Text</pgMain>\r\n") + img)));
    QCOMPARE(b.read(QStringLiteral("BookTXT/") + r.pages[1]),
        utf16le(page(
            QStringLiteral("Two"), e + e + img + QStringLiteral("\r\n<pgMain>More</pgMain>"))));
    QCOMPARE(b.files(QStringLiteral("BookIMG")), QStringList { QStringLiteral("a.jpg") });
    QCOMPARE(b.read(QStringLiteral("BookIMG/a.jpg")), QByteArray("JPEG"));
    QCOMPARE(r.leftOut, QStringList());
}

void TestBookWriter::mediaStatusAndCopies_data()
{
    QTest::addColumn<bool>("pic");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<bool>("film");
    QTest::addColumn<QString>("digits");
    QTest::newRow("nothing attached") << false << false << false << QStringLiteral("000");
    QTest::newRow("only a picture") << true << false << false << QStringLiteral("100");
    QTest::newRow("only a sound") << false << true << false << QStringLiteral("010");
    QTest::newRow("only a film") << false << false << true << QStringLiteral("001");
    QTest::newRow("picture and film") << true << false << true << QStringLiteral("101");
    QTest::newRow("all three") << true << true << true << QStringLiteral("111");
}

void TestBookWriter::mediaStatusAndCopies()
{
    QFETCH(bool, pic);
    QFETCH(bool, sound);
    QFETCH(bool, film);
    QFETCH(QString, digits);
    Build b;
    const QString picPath
        = pic ? b.tp.write(QStringLiteral("media.d/photo.jpg"), "PIC") : QString();
    const QString soundPath
        = sound ? b.tp.write(QStringLiteral("media.d/voice.MP3"), "SND") : QString();
    const QString filmPath
        = film ? b.tp.write(QStringLiteral("media.d/clip.x.avi"), "FLM") : QString();
    const BookResult r = writeBook(b.fs,
        b.request(
            { paragraph(QStringLiteral("T"), QStringLiteral("b"), picPath, soundPath, filmPath) }),
        false);
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")),
        utf16le(treeHead() + nodeLine(1, QStringLiteral("T"), r.pages[0], digits)));
    const QString stem = r.pages[0].chopped(4);
    QStringList expected { r.pages[0] };
    if (pic)
        expected << stem + QStringLiteral(".jpg");
    if (sound)
        expected << stem + QStringLiteral(".MP3");
    if (film)
        expected << stem + QStringLiteral(".avi");
    expected.sort();
    QCOMPARE(b.files(QStringLiteral("BookTXT")), expected);
    if (pic)
        QCOMPARE(
            b.read(QStringLiteral("BookTXT/") + stem + QStringLiteral(".jpg")), QByteArray("PIC"));
    if (film)
        QCOMPARE(
            b.read(QStringLiteral("BookTXT/") + stem + QStringLiteral(".avi")), QByteArray("FLM"));
    QCOMPARE(r.leftOut, QStringList());
}

void TestBookWriter::missingSourcesAreAskedAboutAndLeftOut()
{
    Build b;
    const QString gone = b.tp.file(QStringLiteral("gone.jpg"));
    const QString noDot = b.tp.write(QStringLiteral("media.d/noextension"), "X");
    const QString sound = b.tp.write(QStringLiteral("s.mp3"), "S");
    const QString goneInline = b.tp.file(QStringLiteral("pics/gone-inline.gif"));
    BookRequest req
        = b.request({ paragraph(QStringLiteral("A"), QStringLiteral("a\r\n {1}"), gone, sound, noDot),
            paragraph(QStringLiteral("B"), QStringLiteral("b"), gone) });
    req.imgList = QStringList(kInlinePictureCount);
    req.imgList[1] = goneInline;
    // A picture number taken but not on any page is not asked about.
    req.imgList[2] = b.tp.file(QStringLiteral("pics/unused.gif"));
    const QStringList missing = missingSources(b.fs, req);
    QCOMPARE(missing, QStringList({ goneInline, gone, noDot }));
    const QString question = missingSourcesQuestion(missing);
    for (const QString &path : missing)
        QVERIFY(question.contains(QDir::toNativeSeparators(path)));

    // Not agreed to: nothing at all is written.
    const auto before = folderSnapshot(b.folder());
    QVERIFY_THROWS_EXCEPTION(FsError, writeBook(b.fs, req, false));
    QCOMPARE(snapshotDifference(before, folderSnapshot(b.folder())), QString());

    // Agreed to: the book has what is there, and its tree says only that.
    req.leaveOutMissing = true;
    const BookResult r = writeBook(b.fs, req, false);
    QCOMPARE(r.leftOut, QStringList({ goneInline, gone, noDot }));
    QCOMPARE(r.pages.size(), 2);
    const QString stem = r.pages[0].chopped(4);
    QStringList expected { r.pages[0], stem + QStringLiteral(".mp3"), r.pages[1] };
    expected.sort();
    QCOMPARE(b.files(QStringLiteral("BookTXT")), expected);
    const QString e = QStringLiteral("<pgMain></pgMain>");
    QCOMPARE(b.read(QStringLiteral("BookTXT/") + r.pages[0]),
        utf16le(page(QStringLiteral("A"),
            e + kCrLf + e + kCrLf + QStringLiteral("<pgMain>a</pgMain>") + kCrLf + e)));
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")),
        utf16le(treeHead() + nodeLine(1, QStringLiteral("A"), r.pages[0], QStringLiteral("010"))
            + nodeLine(1, QStringLiteral("B"), r.pages[1], QStringLiteral("000"))));
}

void TestBookWriter::mediaCopyThatFailsFailsTheWholeBook()
{
    Build b;
    b.tp.write(QStringLiteral("Data/_xml/BookTitle.xml"),
        utf16le(titleHead() + QStringLiteral("\t<bBook1>Other</bBook1>\r\n")));
    const QString pic = b.tp.write(QStringLiteral("p.jpg"), "P");
    const QString sound = b.tp.write(QStringLiteral("s.mp3"), "S");
    // A folder where the sound's copy would go, after the picture's copy.
    const QString blocked = QString(14, u'0') + QStringLiteral(".mp3");
    b.tp.mkdir(QStringLiteral("Data/BookTXT/") + blocked);
    BookRequest req = b.request({ paragraph(QStringLiteral("A"), QStringLiteral("a"), pic, sound) });
    req.random = namesInOrder();
    const auto before = folderSnapshot(b.folder());
    try {
        writeBook(b.fs, req, false);
        QFAIL("the book was reported made");
    } catch (const FsError &e) {
        QCOMPARE(e.path(), b.folder() + QStringLiteral("/BookTXT/") + blocked);
        QVERIFY2(e.reason().contains(QLatin1String("folder")), qPrintable(e.reason()));
    }
    // No tree, no title line, no page, no copy of the picture.
    QCOMPARE(snapshotDifference(before, folderSnapshot(b.folder())), QString());
}

void TestBookWriter::fullDiskFailsTheWholeBook_data()
{
    QTest::addColumn<bool>("inlinePicture");
    QTest::addColumn<bool>("rewrite");
    QTest::newRow("attached picture, new book") << false << false;
    QTest::newRow("attached picture, book written before") << false << true;
    QTest::newRow("inline picture, new book") << true << false;
    QTest::newRow("inline picture, book written before") << true << true;
}

void TestBookWriter::fullDiskFailsTheWholeBook()
{
    QFETCH(bool, inlinePicture);
    QFETCH(bool, rewrite);
    Build b;
    if (rewrite)
        writeBook(b.fs, b.request({ paragraph(QStringLiteral("Old"), QStringLiteral("o")) }), false);
    // Pages and the tree are small; the picture does not fit on the disk.
    const QString big = b.tp.write(QStringLiteral("pics/big.jpg"), QByteArray(64 * 1024, 'J'));
    BookRequest req = b.request({ paragraph(QStringLiteral("A"), QStringLiteral("a")),
        paragraph(QStringLiteral("B"), inlinePicture ? QStringLiteral(" {0}") : QStringLiteral("b"),
            inlinePicture ? QString() : big) });
    req.imgList = QStringList(kInlinePictureCount);
    if (inlinePicture)
        req.imgList[0] = big;
    QVERIFY(missingSources(b.fs, req).isEmpty());
    const auto before = folderSnapshot(b.folder());
    QString reason;
    {
        FileSizeLimit full(16 * 1024);
        try {
            writeBook(b.fs, req, rewrite);
        } catch (const FsError &e) {
            reason = e.reason();
        }
    }
    QVERIFY2(reason.contains(QLatin1String("File too large")), qPrintable(reason));
    QCOMPARE(snapshotDifference(before, folderSnapshot(b.folder())), QString());
}

void TestBookWriter::rewriteAnsweredYes()
{
    Build b;
    const BookResult first = writeBook(b.fs,
        b.request({ paragraph(QStringLiteral("Old"), QStringLiteral("o")) },
            QStringLiteral("First name")),
        false);
    const BookTarget t
        = checkBookTarget(b.fs, b.folder(), QStringLiteral("a"), QStringLiteral("3"));
    QVERIFY(t.foldersExist);
    QVERIFY(t.treeFileExists);
    QCOMPARE(t.treeFileName, QStringLiteral("aTitle3.xml"));

    const BookResult second = writeBook(b.fs,
        b.request({ paragraph(QStringLiteral("New"), QStringLiteral("n")),
                      paragraph(QStringLiteral("Z"), QStringLiteral("z")) },
            QStringLiteral("Second name")),
        true);
    QCOMPARE(b.read(QStringLiteral("_xml/BookTitle.xml")),
        utf16le(titleHead() + QStringLiteral("\t<aBook3>Second name</aBook3>\r\n")));
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")),
        utf16le(treeHead()
            + nodeLine(1, QStringLiteral("New"), second.pages[0], QStringLiteral("000"))
            + nodeLine(1, QStringLiteral("Z"), second.pages[1], QStringLiteral("000"))));
    // The old page stays beside the new ones.
    QStringList all = first.pages + second.pages;
    all.sort();
    QCOMPARE(b.files(QStringLiteral("BookTXT")), all);
}

void TestBookWriter::rewriteAnsweredNoWritesNothing()
{
    Build b;
    writeBook(b.fs, b.request({ paragraph(QStringLiteral("Old"), QStringLiteral("o")) }), false);
    const QByteArray titles = b.read(QStringLiteral("_xml/BookTitle.xml"));
    const QByteArray tree = b.read(QStringLiteral("_xml/aTitle3.xml"));
    const QStringList pages = b.files(QStringLiteral("BookTXT"));

    // The window asks before writing; a writer called without leave refuses
    // before touching anything.
    QVERIFY(
        checkBookTarget(b.fs, b.folder(), QStringLiteral("a"), QStringLiteral("3")).treeFileExists);
    QVERIFY_THROWS_EXCEPTION(FsError,
        writeBook(b.fs,
            b.request(
                { paragraph(QStringLiteral("New"), QStringLiteral("n")) }, QStringLiteral("Other")),
            false));
    QCOMPARE(b.read(QStringLiteral("_xml/BookTitle.xml")), titles);
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")), tree);
    QCOMPARE(b.files(QStringLiteral("BookTXT")), pages);
}

void TestBookWriter::titleLineOfOtherSlotsIsKept()
{
    Build b;
    // A list written earlier, with a stale duplicate line for a3.
    const QString before = titleHead()
        + QStringLiteral("\t<aBook1>One</aBook1>\r\n\t<aBook3>Old</aBook3>\r\n")
        + QStringLiteral("\t<aBook10>Ten</aBook10>\r\n\t<aBook3>Older</aBook3>\r\n");
    b.tp.write(QStringLiteral("Data/_xml/BookTitle.xml"), utf16le(before));
    writeBook(b.fs, b.request({}, QStringLiteral("New")), false);
    QCOMPARE(b.read(QStringLiteral("_xml/BookTitle.xml")),
        utf16le(titleHead() + QStringLiteral("\t<aBook1>One</aBook1>\r\n\t<aBook3>New</aBook3>\r\n")
            + QStringLiteral("\t<aBook10>Ten</aBook10>\r\n")));

    // Book 1 must not take the line of book 10; a slot without a line is appended.
    BookRequest ten = b.request({}, QStringLiteral("Ten again"));
    ten.bookNo = QStringLiteral("1");
    ten.rowLetter = QStringLiteral("b");
    writeBook(b.fs, ten, false);
    QCOMPARE(b.read(QStringLiteral("_xml/BookTitle.xml")),
        utf16le(titleHead() + QStringLiteral("\t<aBook1>One</aBook1>\r\n\t<aBook3>New</aBook3>\r\n")
            + QStringLiteral("\t<aBook10>Ten</aBook10>\r\n\t<bBook1>Ten again</bBook1>\r\n")));
}

void TestBookWriter::xmlSpecialCharactersAreEscapedOutsidePages()
{
    Build b;
    const QString title = QStringLiteral("Tom & \"Jerry\" <1>");
    const BookResult r = writeBook(b.fs,
        b.request({ paragraph(markMain(), QStringLiteral("A<B")),
                      paragraph(title, QStringLiteral("x < y & z")) },
            QStringLiteral("R&D \"<>\"")),
        false);
    QCOMPARE(b.read(QStringLiteral("_xml/BookTitle.xml")),
        utf16le(
            titleHead() + QStringLiteral("\t<aBook3>R&amp;D &quot;&lt;&gt;&quot;</aBook3>\r\n")));
    QCOMPARE(b.read(QStringLiteral("_xml/aTitle3.xml")),
        utf16le(treeHead() + QStringLiteral("\t<node label=\"A&lt;B\">\r\n")
            + nodeLine(2, QStringLiteral("Tom &amp; &quot;Jerry&quot; &lt;1&gt;"), r.pages[0],
                QStringLiteral("000"))));
    const QString e = QStringLiteral("<pgMain></pgMain>\r\n");
    QCOMPARE(b.read(QStringLiteral("BookTXT/") + r.pages[0]),
        utf16le(page(title, e + e + QStringLiteral("<pgMain>x < y & z</pgMain>"))));
}

void TestBookWriter::pageNamesAreDrawnUntilFree()
{
    Build b;
    const QString zeros(14, u'0');
    b.tp.write(QStringLiteral("Data/BookTXT/") + zeros + QStringLiteral(".htm"), "taken");
    BookRequest req = b.request({ paragraph(QStringLiteral("A"), QStringLiteral("a")),
        paragraph(QStringLiteral("B"), QStringLiteral("b")) });
    req.random = namesInOrder();
    const BookResult r = writeBook(b.fs, req, false);
    QCOMPARE(r.pages,
        QStringList({ QString(14, u'1') + QStringLiteral(".htm"),
            QString(14, u'2') + QStringLiteral(".htm") }));
    QCOMPARE(
        b.read(QStringLiteral("BookTXT/") + zeros + QStringLiteral(".htm")), QByteArray("taken"));

    // A source that never yields a free name ends with an error, not a hang.
    BookRequest stuck = b.request({ paragraph(QStringLiteral("C"), QStringLiteral("c")) });
    stuck.random = []() { return 0.0; };
    stuck.rowLetter = QStringLiteral("c");
    QVERIFY_THROWS_EXCEPTION(FsError, writeBook(b.fs, stuck, false));
    QVERIFY(!b.tp.exists(QStringLiteral("Data/_xml/cTitle3.xml")));
}

void TestBookWriter::missingFoldersAreReported()
{
    TempProgram tp(false);
    FileSystem fs;
    tp.mkdir(QStringLiteral("Data/BookTXT"));
    const BookTarget t = checkBookTarget(
        fs, tp.file(QStringLiteral("Data")), QStringLiteral("b"), QStringLiteral("10"));
    QVERIFY(!t.foldersExist);
    QCOMPARE(t.treeFileName, QStringLiteral("bTitle10.xml"));
    BookRequest req;
    req.buildFolder = tp.file(QStringLiteral("Data"));
    req.rowLetter = QStringLiteral("b");
    req.bookNo = QStringLiteral("10");
    QVERIFY_THROWS_EXCEPTION(FsError, writeBook(fs, req, false));
    QCOMPARE(fs.listFiles(tp.file(QStringLiteral("Data/BookTXT"))), QStringList());
}

void TestBookWriter::failedPageWriteNamesFileAndLeavesBookUnfinished()
{
    Build b;
    // A folder where the first page would go makes its write fail.
    const QString blocked = QString(14, u'0') + QStringLiteral(".htm");
    b.tp.mkdir(QStringLiteral("Data/BookTXT/") + blocked);
    BookRequest req = b.request({ paragraph(QStringLiteral("A"), QStringLiteral("a")) });
    req.random = namesInOrder();
    QString failedPath;
    try {
        writeBook(b.fs, req, false);
    } catch (const FsError &e) {
        failedPath = e.path();
        QVERIFY(e.describe().contains(blocked));
    }
    QCOMPARE(failedPath, b.folder() + QStringLiteral("/BookTXT/") + blocked);
    QVERIFY(!b.tp.exists(QStringLiteral("Data/_xml/aTitle3.xml")));
    QVERIFY(!b.tp.exists(QStringLiteral("Data/_xml/BookTitle.xml")));

    // A tree file that cannot be written is named too.
    Build c;
    c.tp.mkdir(QStringLiteral("Data/_xml/aTitle3.xml"));
    try {
        writeBook(c.fs, c.request({}), false);
        QFAIL("no error");
    } catch (const FsError &e) {
        QCOMPARE(e.path(), c.folder() + QStringLiteral("/_xml/aTitle3.xml"));
    }
}

void TestBookWriter::everyGivenSlotIsWrittenUpToSlot256()
{
    Build b;
    QList<ParagraphSlot> full;
    for (int i = 0; i < kSlotCount + 3; ++i)
        full << paragraph(QStringLiteral("T%1").arg(i), QStringLiteral("b"));
    QCOMPARE(writeBook(b.fs, b.request(full), false).pages.size(), kSlotCount);

    // A slot without a title does not end the book: what follows it is written too.
    Build c;
    const BookResult r = writeBook(c.fs,
        c.request({ paragraph(QStringLiteral("A"), QStringLiteral("a")), paragraph({}, QStringLiteral("b")),
            paragraph(QStringLiteral("C"), QStringLiteral("c")) }),
        false);
    QCOMPARE(r.pages.size(), 3);
    QCOMPARE(c.read(QStringLiteral("BookTXT/") + r.pages[2]),
        utf16le(page(QStringLiteral("C"), SetMatn(QStringLiteral("c")))));
}

QTEST_GUILESS_MAIN(TestBookWriter)
#include "test_bookwriter.moc"
