// Word and OpenDocument manuscripts: read by their headings, marked in the
// workbench, written by zorvel-import, exported and read back. The files are
// made once per run by tests/manuscripts/make_manuscripts.py, the Word ones
// by LibreOffice and python-docx.
#include "core/book/inlinepictures.h"
#include "core/book/manuscript.h"
#include "core/book/paragraphtable.h"
#include "core/book/textrules.h"
#include "core/common/filesystem.h"
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_reader.h"
#include "support/benchfixture.h"
#include "ui/richtext/plaintextbox.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QtTest>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

using Kind = ManuscriptEntry::Kind;

QString describe(const Manuscript &m)
{
    QStringList out;
    out << QStringLiteral("name: ") + m.bookName;
    for (const ManuscriptLine &l : m.identity)
        out << QStringLiteral("identity: ") + (l.picture >= 0 ? QStringLiteral("<pic>") : l.text);
    for (const ManuscriptEntry &e : m.entries) {
        if (e.kind == Kind::GroupStart) {
            out << QStringLiteral("open ") + e.title;
        } else if (e.kind == Kind::GroupEnd) {
            out << QStringLiteral("end");
        } else {
            out << QStringLiteral("page ") + e.title;
            for (const ManuscriptLine &l : e.lines)
                out << QStringLiteral("  ")
                        + (l.picture >= 0 ? QStringLiteral("<pic %1>").arg(l.picture) : l.text);
        }
    }
    return out.join(u'\n');
}

// What odt.odt holds, and LibreOffice's DOCX and ODT of it.
const QString kOdtBook = QStringLiteral(u"name: كتاب آزمايشي\n"
                                        u"identity: ناشر: نشر نمونه\n"
                                        u"identity: چاپ اول\n"
                                        u"open فصل اول\n"
                                        u"page فصل اول\n"
                                        u"  پيش درآمد فصل اول.\n"
                                        u"open بخش يك\n"
                                        u"page درس الف\n"
                                        u"  متن درس الف[1] با يك يادداشت.\n"
                                        u"  [1] يادداشت الف\n"
                                        u"page درس ب\n"
                                        u"  پيش از تصوير\n"
                                        u"  <pic 0>\n"
                                        u"  نام | مقدار\n"
                                        u"  آب | ۱۲\n"
                                        u"end\n"
                                        u"page بخش دو\n"
                                        u"  متن بخش دو  با\u200C فاصله و زبانه.\n"
                                        u"end\n"
                                        u"page فصل دوم\n"
                                        u"  متن فصل دوم\n"
                                        u"  سطر دوم.\n"
                                        u"  پس از عنوان خالي.");

} // namespace

class TestManuscript : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void structureByHeadings_data();
    void structureByHeadings();
    void unreadableFilesAreRefused_data();
    void unreadableFilesAreRefused();
    void workbenchMarksAManuscript();
    void workbenchRefusesWithoutChange_data();
    void workbenchRefusesWithoutChange();
    void archiveNamesNeverChooseAPath();
    void importedBookIsWrittenAndExported();
    void commandLine();
    void plainTextCutBySuggestions();

private:
    QString file(const QString &name) const { return m_dir.filePath(name); }
    void needOffice() const;
    QTemporaryDir m_dir;
    bool m_office = false;
};

void TestManuscript::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString script
        = QStringLiteral(ZORVEL_SOURCE_DIR "/tests/manuscripts/make_manuscripts.py");
    QProcess probe;
    probe.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral("-c"), QStringLiteral("import docx") });
    m_office = probe.waitForFinished(30000) && probe.exitCode() == 0
        && !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
    QProcess make;
    QStringList args { script, m_dir.path() };
    if (!m_office)
        args << QStringLiteral("--no-office");
    make.start(QStringLiteral("/usr/bin/python3"), args);
    QVERIFY(make.waitForFinished(600000));
    QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
}

void TestManuscript::needOffice() const
{
    if (!m_office)
        QSKIP("soffice or python3-docx is missing (libreoffice-writer-nogui, python3-docx): "
              "the Word files are not made");
}

void TestManuscript::structureByHeadings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("office");
    QTest::addColumn<QString>("book");
    QTest::addColumn<int>("pictures");
    QTest::newRow("odt of our own") << "odt.odt" << false << kOdtBook << 1;
    QTest::newRow("first heading alone names the book") << "alone.odt" << false
                                                        << QStringLiteral(u"name: نام تنها\n"
                                                                          u"identity: پيش از نام\n"
                                                                          u"identity: زير نام\n"
                                                                          u"page الف\n"
                                                                          u"  متن الف[1]\n"
                                                                          u"  [1] پي نوشت\n"
                                                                          u"page ب\n"
                                                                          u"page ج\n"
                                                                          u"  متن ج")
                                                        << 0;
    QTest::newRow("odt saved by LibreOffice") << "lo.odt" << true << kOdtBook << 1;
    QTest::newRow("docx saved by LibreOffice") << "lo.docx" << true << kOdtBook << 1;
    QTest::newRow("localised style ids, revisions") << "localised.docx" << true
                                                    << QStringLiteral(u"name: كتاب بومي\n"
                                                                      u"identity: شناسنامه بومي\n"
                                                                      u"open گفتار يك\n"
                                                                      u"page گفتار يك\n"
                                                                      u"  درآمد گفتار\n"
                                                                      u"page زير گفتار\n"
                                                                      u"  مي\u200Cخواهم بنويسم\n"
                                                                      u"  سطر تازه \u200F. افزوده\n"
                                                                      u"  1. گام يك\n"
                                                                      u"  2. گام دو\n"
                                                                      u"end\n"
                                                                      u"page گفتار دو\n"
                                                                      u"  متن گفتار دو")
                                                    << 0;
    QTest::newRow("outline levels without heading names")
        << "outline.docx" << true
        << QStringLiteral(u"name: outline\n"
                          u"identity: مقدمه بي عنوان\n"
                          u"open فصل يكم\n"
                          u"page درس نخست\n"
                          u"  متن درس نخست\n"
                          u"page درس دوم\n"
                          u"  متن درس دوم\n"
                          u"page عنوان بند\n"
                          u"  متن بند\n"
                          u"  سرعنوان بدنه شده\n"
                          u"end\n"
                          u"page فصل يكم دوباره\n"
                          u"  متن آخر")
        << 0;
}

void TestManuscript::structureByHeadings()
{
    QFETCH(QString, name);
    QFETCH(bool, office);
    QFETCH(QString, book);
    QFETCH(int, pictures);
    if (office)
        needOffice();
    const ManuscriptRead read = readManuscript(file(name));
    QVERIFY2(read.manuscript, qPrintable(read.problem));
    QCOMPARE(describe(*read.manuscript), book);
    QCOMPARE(read.manuscript->pictures.size(), pictures);
    if (pictures) {
        QCOMPARE(read.manuscript->pictures[0].extension, QStringLiteral("png"));
        QVERIFY(read.manuscript->pictures[0].data.startsWith("\x89PNG"));
    }
    // Every group is closed, and the slots are counted as the table takes them.
    int depth = 0;
    for (const ManuscriptEntry &e : read.manuscript->entries)
        depth += e.kind == Kind::GroupStart ? 1 : e.kind == Kind::GroupEnd ? -1 : 0;
    QCOMPARE(depth, 0);
    ParagraphTable t;
    markManuscript(t, *read.manuscript, QStringList(pictures, QStringLiteral("/p.png")), QString());
    QCOMPARE(t.parCount(), read.manuscript->slotsNeeded());
    QCOMPARE(t.mainDepth(), 0);
}

void TestManuscript::unreadableFilesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a zip") << "bad-notzip.docx" << QStringLiteral("ZIP");
    QTest::newRow("no document.xml")
        << "bad-nodocument.docx" << QStringLiteral("word/document.xml");
    QTest::newRow("malformed XML") << "bad-malformed.docx" << QStringLiteral("XML");
    QTest::newRow("entry over 200 MB") << "bad-huge.docx" << QStringLiteral(u"۲۰۰");
    QTest::newRow("missing file") << "none.odt" << QStringLiteral("none.odt");
}

void TestManuscript::unreadableFilesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    const ManuscriptRead read = readManuscript(file(name));
    QVERIFY(!read.manuscript);
    QVERIFY2(read.problem.contains(name), qPrintable(read.problem));
    QVERIFY2(read.problem.contains(reason), qPrintable(read.problem));
}

void TestManuscript::workbenchMarksAManuscript()
{
    Bench b([&](TempProgram &tp) {
        QFile::copy(file("odt.odt"), tp.file("Book.ODT"));
        tp.write("plain.txt", "x");
    });
    Form3 &w = b.open();
    QCOMPARE(w.books->count(), 2); // .docx and .odt are listed beside .txt, case ignored
    w.Chek->setChecked(false);
    Bench::loadText(w, "Book.ODT");
    QVERIFY2(b.rec.notices().isEmpty(), qPrintable(b.rec.notices().join(u'\n')));
    const Manuscript m = *readManuscript(file("odt.odt")).manuscript;
    QCOMPARE(w.table.parCount(), m.slotsNeeded());
    QCOMPARE(w.bindex->count(), m.slotsNeeded());
    QCOMPARE(w.bname->text(), QStringLiteral(u"كتاب آزمايشي"));
    QCOMPARE(w.table.slot(0).title, markShenas());
    QCOMPARE(w.table.slot(1).title, markMain());
    QCOMPARE(w.table.slot(1).body, QStringLiteral(u"فصل اول"));
    QCOMPARE(w.table.slot(2).title, QStringLiteral(u"فصل اول"));
    QCOMPARE(w.bindex->item(3)->text(), QStringLiteral(u">>> عنوان اصلي   =>   بخش يك"));
    QCOMPARE(rtfToText(w.table.slot(4).body),
        Rep(QStringLiteral(u"متن درس الف[1] با يك يادداشت.\r\n[1] يادداشت الف")));
    // Without "با حذف" the text stays in matn, cleaned as an input text.
    QCOMPARE(w.matn->Text(), Rep(m.plainText()));

    // The picture: kept beside the saved work under a name of our own, and
    // placed as the editor places one, with its number.
    const QString picture = b.tp.file("Data/Work/a1.media/a1-1.png");
    QCOMPARE(w.table.imgList[0], picture);
    QCOMPARE(w.table.imgCount, qint16(1));
    QVERIFY(QFile::exists(picture));
    const QString pageB = w.table.slot(5).body;
    QCOMPARE(rtfToText(pageB),
        Rep(QStringLiteral(u"پيش از تصوير")) + QStringLiteral("\r\n {0}\r\n")
            + Rep(QStringLiteral(u"نام | مقدار\r\nآب | ۱۲")));
    RichTextBox box;
    box.setTextRTF(pageB);
    int objects = 0;
    for (QTextBlock bl = box.document()->begin(); bl.isValid(); bl = bl.next())
        for (auto it = bl.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().hasProperty(kRtfObjectProperty)) {
                QCOMPARE(inlinePictureNumber(
                             it.fragment().charFormat().property(kRtfObjectProperty).toString()),
                    0);
                ++objects;
            }
    QCOMPARE(objects, 1);
    QVERIFY(b.tp.exists("Data/Work/a1.json"));

    // Again with "با حذف": asked first, then the marks are replaced and the
    // text leaves matn as a hand mark's does.
    w.Chek->setChecked(true);
    b.rec.queueAnswers({ true });
    Bench::loadText(w, "Book.ODT");
    QCOMPARE(b.rec.questions().size(), 1);
    QCOMPARE(w.table.parCount(), m.slotsNeeded());
    QCOMPARE(w.matn->Text(), QString());
    QCOMPARE(w.table.imgList[0],
        b.tp.file("Data/Work/a1.media/a1-2.png")); // the first stays for the earlier marks
}

void TestManuscript::workbenchRefusesWithoutChange_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("office");
    QTest::newRow("not a zip") << "bad-notzip.docx" << QStringLiteral("bad-notzip.docx") << false;
    QTest::newRow("malformed") << "bad-malformed.docx" << QStringLiteral("XML") << false;
    QTest::newRow("more than 257 slots") << "big.docx" << QStringLiteral("260") << true;
}

void TestManuscript::workbenchRefusesWithoutChange()
{
    QFETCH(QString, name);
    QFETCH(QString, said);
    QFETCH(bool, office);
    if (office)
        needOffice();
    Bench b([&](TempProgram &tp) {
        QFile::copy(file(name), tp.file(name));
        tp.write("t.txt", QStringLiteral(u"عنوان\r\nمتن").toUtf8());
    });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, QStringLiteral(u"عنوان"), QStringLiteral(u"متن"));
    const ParagraphTable::Contents before = w.table.contents();
    const QString text = w.matn->Text();
    const QByteArray work = b.tp.read("Data/Work/a1.json");
    Bench::loadText(w, name);
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY2(b.rec.notices().first().contains(said), qPrintable(b.rec.notices().first()));
    QVERIFY(b.rec.questions().isEmpty()); // refused before anything is asked
    QVERIFY(w.table.contents() == before);
    QCOMPARE(w.matn->Text(), text);
    QCOMPARE(b.tp.read("Data/Work/a1.json"), work);
    QVERIFY(!b.tp.exists("Data/Work/a1.media"));
}

void TestManuscript::archiveNamesNeverChooseAPath()
{
    Bench b([&](TempProgram &tp) { QFile::copy(file("slip.docx"), tp.file("slip.docx")); });
    Form3 &w = b.open();
    Bench::loadText(w, "slip.docx");
    QVERIFY(b.rec.notices().isEmpty());
    QCOMPARE(w.table.imgCount,
        qint16(0)); // the entry outside the archive's word folder is not its picture
    QDirIterator it(QDir::rootPath() == b.tp.path() ? b.tp.path() : QFileInfo(b.tp.path()).path(),
        { QStringLiteral("evil.png") }, QDir::Files, QDirIterator::Subdirectories);
    QVERIFY(!it.hasNext());
}

void TestManuscript::importedBookIsWrittenAndExported()
{
    needOffice();
    Bench b([&](TempProgram &tp) { QFile::copy(file("lo.docx"), tp.file("lo.docx")); });
    Form3 &w = b.open();
    Bench::loadText(w, "lo.docx");
    QVERIFY(b.rec.notices().isEmpty());
    w.Com_Click(11);
    QCOMPARE(b.rec.messages().last(), qint16(4));
    QVERIFY(b.tp.exists("Data/_xml/aTitle1.xml"));
    QVERIFY(b.tp.exists("Data/BookIMG/a1-1.png"));
    const QString tree = FileSystem().readUnicode(b.tp.file("Data/_xml/aTitle1.xml"));
    QVERIFY(tree.contains(QStringLiteral(u"\t<node label=\"فصل اول\">")));
    QVERIFY(tree.contains(QStringLiteral(u"\t\t\t<node label=\"درس ب\" src=\"DATA/BookTXT/")));
    bool found = false;
    for (const QString &page :
        QDir(b.tp.file("Data/BookTXT")).entryList({ QStringLiteral("*.htm") })) {
        const QString text = FileSystem().readUnicode(b.tp.file("Data/BookTXT/" + page));
        if (text.startsWith(QStringLiteral(u"<pgTitle>درس ب</pgTitle>"))) {
            QVERIFY(text.contains(QStringLiteral("<IMG src=\"../BookIMG/a1-1.png\">")));
            found = true;
        }
    }
    QVERIFY(found);

    // The export's reader data lists the book's titles.
    b.tp.mkdir("Out");
    QProcess exporter;
    exporter.start(
        QStringLiteral(ZORVEL_BIN_DIR "/zorvel-export"), { b.tp.file("Data"), b.tp.file("Out") });
    QVERIFY(exporter.waitForFinished(120000));
    QVERIFY2(exporter.exitCode() == 0, exporter.readAllStandardError().right(600).constData());
    QFile js(b.tp.file("Out/Export 1/Data/reader/data/a1.js"));
    QVERIFY(js.open(QIODevice::ReadOnly));
    const QString data = QString::fromUtf8(js.readAll());
    for (const QString &title :
        { QStringLiteral(u"فصل اول"), QStringLiteral(u"بخش يك"), QStringLiteral(u"درس الف"),
            QStringLiteral(u"درس ب"), QStringLiteral(u"بخش دو"), QStringLiteral(u"فصل دوم") })
        QVERIFY2(data.contains(title), qPrintable(title));
}

void TestManuscript::commandLine()
{
    TempProgram tp;
    for (const char *d : { "Data/BookTXT", "Data/_xml", "Data/BookIMG" })
        tp.mkdir(d);
    QFile::copy(file("odt.odt"), tp.file("m.odt"));
    QFile::copy(file("bad-malformed.docx"), tp.file("bad.docx"));
    tp.write("t.txt",
        QStringLiteral(u"فصل اول\r\n%1\r\nفصل دوم\r\n%1")
            .arg(QStringLiteral(u"متني بلند براي آزمودن كه از هشتاد حرف بيشتر است و با نقطه به "
                                u"پايان ميرسد، چون جمله است."))
            .toUtf8());
    const auto run = [&](const QStringList &args, QString *out = nullptr, QString *err = nullptr) {
        QProcess p;
        p.start(QStringLiteral(ZORVEL_BIN_DIR "/zorvel-import"), args);
        p.waitForFinished(60000);
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    QString out, err;
    QCOMPARE(run({ QStringLiteral("--help") }, &out), 0);
    QVERIFY(out.contains(QStringLiteral("usage")));
    QCOMPARE(run({}), 2);
    QCOMPARE(
        run({ QStringLiteral("--slot"), QStringLiteral("d1"), tp.file("Data"), tp.file("m.odt") }),
        2);
    QCOMPARE(run({ QStringLiteral("--bogus"), tp.file("Data"), tp.file("m.odt") }), 2);

    QCOMPARE(run({ tp.file("Data"), tp.file("bad.docx") }, nullptr, &err), 1);
    QVERIFY(err.contains(QStringLiteral("bad.docx")));
    QVERIFY(!tp.exists("Data/_xml/aTitle1.xml"));

    // The first unfinished book by default.
    QCOMPARE(run({ tp.file("Data"), tp.file("m.odt") }, &out, &err), 0);
    QCOMPARE(out.trimmed(), QStringLiteral("a1: 5 pages, 2 main titles, 1 pictures"));
    QVERIFY(tp.exists("Data/_xml/aTitle1.xml"));
    QVERIFY(tp.exists("Data/BookIMG/a1-1.png"));
    QVERIFY(QString::fromUtf16(
        reinterpret_cast<const char16_t *>(tp.read("Data/_xml/BookTitle.xml").constData() + 2))
                .contains(QStringLiteral(u"<aBook1>كتاب آزمايشي</aBook1>")));
    QCOMPARE(run({ tp.file("Data"), tp.file("t.txt") }, &out), 0);
    QCOMPARE(out.trimmed(), QStringLiteral("a2: 2 pages, 0 main titles, 0 pictures"));

    // A finished book only with --replace.
    QCOMPARE(
        run({ QStringLiteral("--slot"), QStringLiteral("a1"), tp.file("Data"), tp.file("t.txt") },
            nullptr, &err),
        1);
    QVERIFY(err.contains(QStringLiteral("aTitle1.xml")));
    QCOMPARE(run({ QStringLiteral("--slot"), QStringLiteral("a1"), QStringLiteral("--replace"),
                     tp.file("Data"), tp.file("t.txt") },
                 &out),
        0);
    QCOMPARE(out.trimmed(), QStringLiteral("a1: 2 pages, 0 main titles, 0 pictures"));
    const QString tree = FileSystem().readUnicode(tp.file("Data/_xml/aTitle1.xml"));
    QVERIFY(tree.contains(QStringLiteral(u"<node label=\"فصل دوم\"")));

    if (m_office) {
        QFile::copy(file("big.docx"), tp.file("big.docx"));
        QCOMPARE(run({ tp.file("Data"), tp.file("big.docx") }, nullptr, &err), 1);
        QVERIFY(err.contains(QStringLiteral("260")));
        QFile::copy(file("slip.docx"), tp.file("slip.docx"));
        QCOMPARE(run({ tp.file("Data"), tp.file("slip.docx") }, &out), 0);
        QVERIFY(!QFile::exists(QFileInfo(tp.path()).path() + QStringLiteral("/evil.png")));
        QVERIFY(!tp.exists("evil.png"));
    }
}

void TestManuscript::plainTextCutBySuggestions()
{
    const QString body = QStringLiteral(
        u"متني بلند براي آزمودن كه از هشتاد حرف بيشتر است و با نقطه به پايان ميرسد، چون جمله است.");
    const QString text
        = QStringLiteral(u"پيش گفتار كوتاه است.\r\n%1\r\nفصل اول\r\n%1\r\nفصل دوم\r\nدرس 1\r\n%1")
              .arg(body);
    const Manuscript m = manuscriptFromText(text, QStringLiteral("/x/kitab.txt"));
    QCOMPARE(m.bookName, QStringLiteral("kitab"));
    QCOMPARE(describe(m),
        QStringLiteral(u"name: kitab\n"
                       u"identity: پيش گفتار كوتاه است.\n"
                       u"identity: %1\n"
                       u"page فصل اول\n"
                       u"  %1\n"
                       u"  فصل دوم\n" // a title with no text of its own is kept as text
                       u"page درس 1\n"
                       u"  %1")
            .arg(body));
    QCOMPARE(m.text.size(), 7);
}

QTEST_MAIN(TestManuscript)
#include "test_manuscript.moc"
