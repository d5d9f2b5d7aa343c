// One project from the main window through the workbench, the editor, the
// writer and the export, with the output checked file by file.
#include "core/book/bookwriter.h"
#include "core/book/buildlayout.h"
#include "core/book/paragraphtable.h"
#include "core/book/textrules.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/export/exporter.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"
#include "support/benchfixture.h"
#include "support/filesizelimit.h"
#include "support/screenshot.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form1.h"
#include "ui/shell/form5.h"
#include "ui/workbench/form3.h"
#include <QProgressDialog>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

QStringList filesUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void oneBookFromTextToCdFolder();
    void rewriteAnsweredNoWritesNothing();
    void rewriteAnsweredYesReplacesNameLine();
    void missingBuildSubfoldersStopTheWrite();
    void exportChecksFolders_data();
    void exportChecksFolders();
    void fullDiskOnNextKeepsOldFilesAndNamesThem_data();
    void fullDiskOnNextKeepsOldFilesAndNamesThem();
    void fullDiskOnMakeBookKeepsOldFilesAndNamesThem_data();
    void fullDiskOnMakeBookKeepsOldFilesAndNamesThem();
    void marksSurviveACrash();
    void unfinishedBooksAsked_data();
    void unfinishedBooksAsked();
    void failedSaveStopsTheExport();
    void cancelledExportLeavesNothing();
    void failedSaveStopsTheEpubExport();
    void cancelledEpubExportLeavesNothing();
};

void TestEndToEnd::oneBookFromTextToCdFolder()
{
    const QString raw = QStringLiteral(
        u"نام كتاب\r\nناشر: نمونه\r\nبخش اول\r\nعنوان يك\r\nمتن يك\r\nعنوان دو\r\nمتن دو");
    Bench b([&](TempProgram &tp) {
        tp.write("book.txt", encode1256(raw));
        tp.mkdir("Export");
        // The installer's build puts its program here; the export only copies it.
        tp.write("Resources/setup", "installer program");
        tp.write("Resources/setup.exe", "installer program for Windows");
    });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
    f.Pcheck->setChecked(true);
    QCOMPARE(f.dataName->count(), 1);

    // Next, then the marks.
    Form3 &w = b.open();
    Bench::loadText(w, "book.txt");
    Bench::select(w, QStringLiteral(u"نام كتاب"));
    w.Com_Click(0);
    Bench::select(w, Rep(QStringLiteral(u"ناشر: نمونه")));
    w.Com_Click(1);
    Bench::select(w, QStringLiteral(u"بخش اول"));
    w.Com_Click(9);
    Bench::markParagraph(w, QStringLiteral(u"عنوان يك"), QStringLiteral(u"متن يك"));
    w.Com_Click(10);
    Bench::markParagraph(w, QStringLiteral(u"عنوان دو"), QStringLiteral(u"متن دو"));
    QCOMPARE(w.bindex->count(), 5);

    // The editor: a picture attached to the first paragraph and one inside it.
    b.rec.onModal("zorvel::Form5", [&](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        picker.Dir1->setPath(b.tp.file("Resources"));
        picker.File1->setCurrentItem(
            picker.File1->findItems("MyBack.jpg", Qt::MatchExactly).first());
        picker.btn[0]->click();
    });
    w.parIndex = 2;
    {
        Form6 e(b.ctx);
        e.picB->setText(b.tp.file("Resources/MyBook.jpg"));
        e.matn->setSelStart(0);
        e.picM_Click();
        e.btn_Click(4);
    }
    QVERIFY(w.bindex->item(2)->text().startsWith(QStringLiteral("§ ")));

    // "ساخت فايل"
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16> { 4 });
    QVERIFY(!w.isVisible());
    QCOMPARE(f.dataName->count(), 0);
    QCOMPARE(w.table.parCount(), 0);
    QVERIFY(w.bname->text().isEmpty());

    // The book in the build folder.
    const QString data = b.tp.file("Data");
    const QString tree = FileSystem().readUnicode(data + "/_xml/aTitle1.xml");
    const QRegularExpression srcRe(QStringLiteral("src=\"DATA/BookTXT/([0-9A-Y]{14})\\.htm\""));
    QStringList pages;
    for (const auto &m : srcRe.globalMatch(tree))
        pages << m.captured(1);
    QCOMPARE(pages.size(), 3);
    const QString expectedTree = QStringLiteral(
        u"<?xml version=\"1.0\"?>\r\n<Tree>\r\n"
        u"\t<node label=\"شناسنامه\" src=\"DATA/BookTXT/%1.htm\" mediaStatus=\"000\" />\r\n"
        u"\t<node label=\"بخش اول\">\r\n"
        u"\t\t<node label=\"عنوان يك\" src=\"DATA/BookTXT/%2.htm\" mediaStatus=\"100\" />\r\n"
        u"\t</node>\r\n"
        u"\t<node label=\"عنوان دو\" src=\"DATA/BookTXT/%3.htm\" mediaStatus=\"000\" />\r\n")
                                     .arg(pages[0], pages[1], pages[2]);
    QCOMPARE(readAll(data + "/_xml/aTitle1.xml"), utf16le(expectedTree));
    QCOMPARE(readAll(data + "/_xml/BookTitle.xml"),
        utf16le(QStringLiteral("<strings>\r\n\t") + layout::creditLine()
            + QStringLiteral(u"\r\n\t<aBook1>نام كتاب</aBook1>\r\n")));
    const QString empty2 = QStringLiteral("<pgMain></pgMain>\r\n<pgMain></pgMain>\r\n");
    QCOMPARE(readAll(data + "/BookTXT/" + pages[0] + ".htm"),
        utf16le(QStringLiteral(u"<pgTitle>شناسنامه</pgTitle>\r\n") + empty2
            + QStringLiteral(u"<pgMain>ناشر:\u200C نمونه</pgMain>")));
    QCOMPARE(readAll(data + "/BookTXT/" + pages[1] + ".htm"),
        utf16le(QStringLiteral(u"<pgTitle>عنوان يك</pgTitle>\r\n") + empty2
            + QStringLiteral(u"<IMG src=\"../BookIMG/MyBack.jpg\">\r\n<pgMain>متن يك</pgMain>")));
    QCOMPARE(readAll(data + "/BookTXT/" + pages[1] + ".jpg"), b.tp.read("Resources/MyBook.jpg"));
    QCOMPARE(readAll(data + "/BookIMG/MyBack.jpg"), b.tp.read("Resources/MyBack.jpg"));

    // "خروجي"
    b.rec.clear();
    f.Command10_Click();
    QCOMPARE(b.rec.messages(), QList<qint16> { 29 });
    const QString out = b.tp.file("Export/Export 1");
    QStringList expected
        = { "Data/BookIMG/MyBack.jpg", "Data/BookIMG/aBook1.jpg", "Data/BookTXT/CDProperty.xml",
              "Data/FlashIMG/Back.jpg", "Data/FlashIMG/Sound1.mp3", "Data/FlashIMG/Sound2.mp3",
              "Data/_xml/BookTitle.xml", "Data/_xml/aTitle1.xml", "autorun.inf", "cd.inf", "setup",
              "setup.exe" };
    for (const QString &p : pages)
        expected << "Data/BookTXT/" + p + ".htm"
                 << "Data/BookTXT/" + p + ".html";
    // The reader, its start page and its data.
    for (const QString &rel : filesUnder(b.tp.file("Resources/reader")))
        expected << "Data/reader/" + rel;
    expected << "index.html"
             << "Data/reader/data/library.js"
             << "Data/reader/data/a1.js"
             << "Data/reader/data/a1.search.js";
    expected << "Data/BookTXT/" + pages[1] + ".jpg";
    expected.sort();
    QCOMPARE(filesUnder(out), expected);
    for (const QString &rel : filesUnder(data))
        QCOMPARE(readAll(out + "/Data/" + rel), readAll(data + "/" + rel));
    QCOMPARE(readAll(out + "/setup"), b.tp.read("Resources/setup"));
    QCOMPARE(readAll(out + "/setup.exe"), b.tp.read("Resources/setup.exe"));
    const QString printable = FileSystem().readUnicode(out + "/Data/BookTXT/" + pages[1] + ".html");
    QVERIFY(printable.contains(QStringLiteral(u"<p align=\"right\">متن يك</p>")));
    QVERIFY(printable.contains(QStringLiteral(u"عنوان يك")));
    QVERIFY(!printable.contains(QStringLiteral("%Matn%")));

    // A second export goes beside the first.
    b.rec.clear();
    f.Command10_Click();
    QCOMPARE(b.rec.messages(), QList<qint16> { 29 });
    QVERIFY(QFileInfo(b.tp.file("Export/Export 2/Data/_xml/aTitle1.xml")).exists());

    // "خروجي ISO": a third export and its disc image, whose place is told.
    QVERIFY(f.Command10->actions().contains(f.CommandIso));
    QCOMPARE(f.CommandIso->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    QVERIFY(f.Command10->toolTip().contains(f.CommandIso->text()));
    QVERIFY(f.Command10->toolTip().contains(
        f.CommandIso->shortcut().toString(QKeySequence::NativeText)));
    b.rec.clear();
    f.CommandIso->trigger();
    QCOMPARE(b.rec.messages(), QList<qint16> { 29 });
    const QString image = b.tp.file("Export/Export 3.iso");
    QVERIFY(QFileInfo(image).size() > 0);
    QVERIFY(!QFileInfo::exists(image + ".part"));
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY2(b.rec.notices().first().contains(QDir::toNativeSeparators(image)),
        qPrintable(b.rec.notices().first()));
}

namespace {

// A one-book project with a paragraph marked, ready for "ساخت فايل".
Form3 &oneParagraph(Bench &b, const QString &name)
{
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T", "B");
    w.bname->setText(name);
    return w;
}

} // namespace

void TestEndToEnd::rewriteAnsweredNoWritesNothing()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB"); });
    Form3 &w = oneParagraph(b, "Old");
    b.tp.write("Data/_xml/aTitle1.xml", "finished before");
    b.tp.write("Data/_xml/BookTitle.xml", utf16le("<strings>\r\n\t<aBook1>Old</aBook1>\r\n"));
    const QStringList before = filesUnder(b.tp.file("Data"));
    b.rec.queueAnswers({ false });
    w.Com_Click(11);
    QCOMPARE(b.rec.questions(), QStringList { rewriteQuestion("aTitle1.xml") });
    QVERIFY(
        b.rec.questions().first().startsWith(QStringLiteral(u"فايلي با نام \r\naTitle1.xml\r\n")));
    QCOMPARE(filesUnder(b.tp.file("Data")), before);
    QCOMPARE(b.tp.read("Data/_xml/aTitle1.xml"), QByteArray("finished before"));
    QCOMPARE(
        b.tp.read("Data/_xml/BookTitle.xml"), utf16le("<strings>\r\n\t<aBook1>Old</aBook1>\r\n"));
    // The workbench stays with its table and its text: nothing was written.
    QVERIFY(w.isVisible());
    QCOMPARE(w.table.parCount(), 1);
    QCOMPARE(w.matn->Text(), QStringLiteral("\r\n"));
    QVERIFY(b.rec.messages().isEmpty());
}

void TestEndToEnd::rewriteAnsweredYesReplacesNameLine()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB"); });
    Form3 &w = oneParagraph(b, "New & <better>");
    b.tp.write("Data/_xml/aTitle1.xml", "finished before");
    b.tp.write("Data/_xml/BookTitle.xml",
        utf16le("<strings>\r\n\t<aBook1>Old</aBook1>\r\n\t<aBook2>Other</aBook2>\r\n"));
    b.rec.queueAnswers({ true });
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16> { 4 });
    QCOMPARE(b.tp.read("Data/_xml/BookTitle.xml"),
        utf16le("<strings>\r\n\t<aBook1>New &amp; "
                "&lt;better&gt;</aBook1>\r\n\t<aBook2>Other</aBook2>\r\n"));
    QVERIFY(FileSystem()
                .readUnicode(b.tp.file("Data/_xml/aTitle1.xml"))
                .startsWith(QStringLiteral("<?xml")));
}

void TestEndToEnd::missingBuildSubfoldersStopTheWrite()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB"); });
    Form3 &w = oneParagraph(b, "Name");
    QDir(b.tp.file("Data/_xml")).removeRecursively();
    w.Com_Click(11);
    QCOMPARE(
        b.rec.notices(), QStringList { QStringLiteral("Folder _xml or BookTXT doesn't exist!") });
    QVERIFY(w.isVisible());
    QCOMPARE(w.table.parCount(), 1);
    QCOMPARE(w.bname->text(), QStringLiteral("Name"));
}

void TestEndToEnd::exportChecksFolders_data()
{
    QTest::addColumn<QString>("exportFolder");
    QTest::addColumn<QString>("buildFolder");
    QTest::addColumn<bool>("withScript");
    QTest::addColumn<qint16>("message");
    QTest::newRow("export folder missing") << "NoExport"
                                           << "Data" << true << qint16(26);
    QTest::newRow("build folder missing") << "Export"
                                          << "NoData" << true << qint16(10);
    QTest::newRow("script missing") << "Export"
                                    << "Data" << false << qint16(27);
    QTest::newRow("relative folders made absolute") << "Export"
                                                    << "Data" << true << qint16(29);
}

void TestEndToEnd::exportChecksFolders()
{
    QFETCH(QString, exportFolder);
    QFETCH(QString, buildFolder);
    QFETCH(bool, withScript);
    QFETCH(qint16, message);
    Bench b([](TempProgram &tp) {
        tp.mkdir("Export");
        for (const char *d : { "Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG" })
            tp.mkdir(d);
        tp.write("Resources/setup", "installer program");
        tp.write("Resources/setup.exe", "installer program for Windows");
    });
    if (!withScript)
        QFile::remove(b.tp.file("Resources/Export.inf"));
    Form1 &f = *b.f1;
    f.ExBox->setText(exportFolder);
    f.idir->setText(buildFolder);
    f.Command10_Click();
    QCOMPARE(b.rec.messages(), QList<qint16> { message });
    QCOMPARE(f.ExBox->text(), DoSlash(b.tp.path()) + exportFolder);
    QCOMPARE(f.idir->text(), DoSlash(b.tp.path()) + buildFolder);
    QCOMPARE(QFileInfo(b.tp.file("Export/Export 1")).isDir(), message == 29);
    QVERIFY(b.rec.notices().isEmpty());
}

void TestEndToEnd::fullDiskOnNextKeepsOldFilesAndNamesThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("workbenchOpens");
    // The settings file is about 350 bytes, the book picture 13,622.
    QTest::newRow("settings file") << "BookTXT/CDProperty.xml" << 200 << false;
    QTest::newRow("book picture") << "BookIMG/aBook1.jpg" << 4096 << true;
}

void TestEndToEnd::fullDiskOnNextKeepsOldFilesAndNamesThem()
{
    QFETCH(QString, file);
    QFETCH(int, limit);
    QFETCH(bool, workbenchOpens);
    const QByteArray old = utf16le(buildSettingsText({ "1", "0", "0", true, true, false }));
    Bench b([&](TempProgram &tp) {
        tp.write("t.txt", "T\r\nB");
        tp.write("Data/BookTXT/CDProperty.xml", old);
        tp.write("Data/BookIMG/aBook1.jpg", "old picture");
    });
    const QByteArray before = b.tp.read("Data/" + file);
    {
        FileSizeLimit full(limit);
        b.f1->Command3_Click();
    }
    QCOMPARE(b.tp.read("Data/" + file), before);
    QCOMPARE(b.tp.read("Data/BookTXT/CDProperty.xml"), old);
    QCOMPARE(QDir(b.tp.file("Data/BookTXT")).entryList(QDir::Files | QDir::Hidden),
        QStringList { "CDProperty.xml" });
    const QStringList notices = b.rec.notices();
    QVERIFY(!notices.isEmpty());
    QVERIFY2(notices.first().contains(fileNameOf(file)), qPrintable(notices.join(u'|')));
    QCOMPARE(b.ctx.form3 != nullptr, workbenchOpens);
}

void TestEndToEnd::fullDiskOnMakeBookKeepsOldFilesAndNamesThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<int>("bodyLength");
    QTest::addColumn<int>("oldTitleLines");
    QTest::addColumn<bool>("oldTree");
    // Sizes in the Unicode form: a page of a 1,000-letter body is over 2 KB; the
    // book's line adds 48 bytes to BookTitle.xml; twenty paragraphs make a 3 KB tree.
    QTest::newRow("page") << ".htm" << 1024 << 1 << 1000 << 0 << false;
    QTest::newRow("BookTitle.xml") << "_xml/BookTitle.xml" << 1030 << 2 << 5 << 24 << false;
    QTest::newRow("tree file") << "_xml/aTitle1.xml" << 1500 << 20 << 5 << 1 << true;
}

void TestEndToEnd::fullDiskOnMakeBookKeepsOldFilesAndNamesThem()
{
    QFETCH(QString, file);
    QFETCH(int, limit);
    QFETCH(int, paragraphs);
    QFETCH(int, bodyLength);
    QFETCH(int, oldTitleLines);
    QFETCH(bool, oldTree);
    QByteArray raw;
    for (int i = 0; i < paragraphs; ++i)
        raw += "T" + QByteArray(1, char('A' + i)) + "\r\n" + QByteArray(bodyLength - 1, 'b')
            + char('A' + i) + "\r\n"; // letters: digits get a ZWNJ on loading
    Bench b([&](TempProgram &tp) { tp.write("t.txt", raw); });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    for (int i = 0; i < paragraphs; ++i)
        Bench::markParagraph(w, QStringLiteral("T") + QChar(u'A' + i),
            QString(bodyLength - 1, u'b') + QChar(u'A' + i));
    w.bname->setText(QStringLiteral("Name"));
    QCOMPARE(w.table.parCount(), paragraphs);

    QString titles = QStringLiteral("<strings>\r\n");
    for (int i = 0; i < oldTitleLines; ++i)
        titles += QStringLiteral("\t<cBook%1>old</cBook%1>\r\n").arg(i);
    if (oldTitleLines > 0)
        b.tp.write("Data/_xml/BookTitle.xml", utf16le(titles));
    if (oldTree)
        b.tp.write("Data/_xml/aTitle1.xml", "finished before");
    const QStringList filesBefore = filesUnder(b.tp.file("Data"));
    const QByteArray titleBefore = b.tp.read("Data/_xml/BookTitle.xml");
    b.rec.clear();
    {
        FileSizeLimit full(limit);
        w.Com_Click(11);
    }
    // The build folder holds what it held, byte for byte.
    QCOMPARE(filesUnder(b.tp.file("Data")), filesBefore);
    QCOMPARE(b.tp.read("Data/_xml/BookTitle.xml"), titleBefore);
    QCOMPARE(b.tp.exists("Data/_xml/aTitle1.xml"), oldTree);
    if (oldTree)
        QCOMPARE(b.tp.read("Data/_xml/aTitle1.xml"), QByteArray("finished before"));
    // The operator is told which file, and the marks are still there.
    const QStringList notices = b.rec.notices();
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices.first().contains(fileNameOf(file)), qPrintable(notices.first()));
    QVERIFY(!b.rec.messages().contains(4));
    QVERIFY(w.isVisible());
    QCOMPARE(w.table.parCount(), paragraphs);
    QCOMPARE(b.f1->dataName->count(), 1);
}

namespace {

const QString kCrashText = QStringLiteral(
    u"نام كتاب\r\nناشر: نمونه\r\nبخش اول\r\nعنوان يك\r\nمتن يك\r\nعنوان دو\r\nمتن دو\r\nعنوان سه");

// The marks of one book: name, identity page, a group, two paragraphs (one
// with an attached and an inline picture), and a title still waiting.
void markCrashBook(Bench &b, Form3 &w)
{
    Bench::loadText(w, "book.txt");
    Bench::select(w, QStringLiteral(u"نام كتاب"));
    w.Com_Click(0);
    Bench::select(w, Rep(QStringLiteral(u"ناشر: نمونه")));
    w.Com_Click(1);
    Bench::select(w, QStringLiteral(u"بخش اول"));
    w.Com_Click(9);
    Bench::markParagraph(w, QStringLiteral(u"عنوان يك"), QStringLiteral(u"متن يك"));
    w.Com_Click(10);
    Bench::markParagraph(w, QStringLiteral(u"عنوان دو"), QStringLiteral(u"متن دو"));
    Bench::select(w, QStringLiteral(u"عنوان سه"));
    w.Com_Click(2);
    b.rec.onModal("zorvel::Form5", [&](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        picker.Dir1->setPath(b.tp.file("Resources"));
        picker.File1->setCurrentItem(
            picker.File1->findItems("MyBack.jpg", Qt::MatchExactly).first());
        picker.btn[0]->click();
    });
    w.parIndex = 2;
    Form6 e(b.ctx);
    e.picB->setText(b.tp.file("Resources/MyBook.jpg"));
    e.matn->setSelStart(0);
    e.picM_Click();
    e.btn_Click(4);
}

// The book's files with their page names replaced by their order, so that
// two writes of the same marks compare equal.
QStringList bookFiles(Bench &b)
{
    const QString data = b.tp.file("Data");
    const QString tree = FileSystem().readUnicode(data + "/_xml/aTitle1.xml");
    const QRegularExpression nameRe(QStringLiteral("[0-9A-Y]{14}"));
    QStringList names;
    for (const auto &m : nameRe.globalMatch(tree))
        names << m.captured(0);
    auto byOrder = [&](QString text) {
        for (int i = 0; i < names.size(); ++i)
            text.replace(names[i], QStringLiteral("PAGE%1").arg(i));
        return text;
    };
    QStringList out;
    for (const QString &rel : filesUnder(data)) {
        QString shown = byOrder(rel);
        if (shown.contains(nameRe) || rel.startsWith(QLatin1String("Work")))
            shown = QStringLiteral("stray: ") + rel;
        const QByteArray bytes = readAll(data + u'/' + rel);
        const bool text
            = rel.endsWith(QLatin1String(".xml")) || rel.endsWith(QLatin1String(".htm"));
        out << shown + u' '
                + (text ? byOrder(fromUtf16Le(bytes)) : QString::fromLatin1(bytes.toBase64()));
    }
    out.sort();
    return out;
}

void oneBookCounts(Form1 &f)
{
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
}

} // namespace

void TestEndToEnd::marksSurviveACrash()
{
    auto prepare = [](TempProgram &tp) { tp.write("book.txt", encode1256(kCrashText)); };
    Bench b(prepare);
    oneBookCounts(*b.f1);
    markCrashBook(b, b.open());
    const Form3 &before = *b.ctx.form3;
    const ParagraphTable::Contents table = before.table.contents();
    const QString name = before.bname->text();
    QStringList rows;
    for (int i = 0; i < before.bindex->count(); ++i)
        rows << before.bindex->item(i)->text();
    QCOMPARE(rows.size(), 6);
    QVERIFY(!table.imgList[0].isEmpty());

    // A crash: the windows go without any close handler running.
    delete b.ctx.form3;
    b.f1.reset();
    QVERIFY(!b.ctx.form3 && !b.ctx.form1);

    // A fresh set of windows on the same build folder; Next for the book, Yes.
    b.rec.clear();
    b.f1 = std::make_unique<Form1>(b.ctx);
    QCOMPARE(b.f1->dataName->count(), 1); // the counts were saved by the first Next
    b.rec.queueAnswers({ true });
    Form3 &w = b.open();
    QCOMPARE(b.rec.questions().size(), 1);
    QCOMPARE(w.table.contents(), table);
    QCOMPARE(w.table.imgList, table.imgList);
    QCOMPARE(w.bname->text(), name);
    QStringList rowsAfter;
    for (int i = 0; i < w.bindex->count(); ++i)
        rowsAfter << w.bindex->item(i)->text();
    QCOMPARE(rowsAfter, rows);
    QCOMPARE(w.Com[9]->text(), ParagraphTable::mainCaption(0));
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16> { 4 });

    // The same files as a run that was never interrupted.
    Bench c(prepare);
    oneBookCounts(*c.f1);
    Form3 &u = c.open();
    markCrashBook(c, u);
    u.Com_Click(11);
    QCOMPARE(c.rec.messages(), QList<qint16> { 4 });
    const QStringList crashed = bookFiles(b), uninterrupted = bookFiles(c);
    QCOMPARE(crashed, uninterrupted);
    QVERIFY(!crashed.join(u'|').contains(QStringLiteral("stray")));
}

namespace {

// A project of two places in row 1 with only the first book made.
void halfFinished(Bench &b)
{
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("2"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    Form3 &w = oneParagraph(b, QStringLiteral("Name"));
    w.Com_Click(11);
    f.title->setText(QStringLiteral("2"));
    f.MakeCombo();
    b.rec.clear();
}

} // namespace

// An input text, an export folder and the installer to copy.
static void exportable(TempProgram &tp)
{
    tp.write("t.txt", "T\r\nB");
    tp.mkdir("Export");
    tp.write("Resources/setup", "installer program");
    tp.write("Resources/setup.exe", "installer program for Windows");
}

// One book written, the messages so far forgotten.
static void oneBookMade(Bench &b)
{
    oneParagraph(b, QStringLiteral("Name")).Com_Click(11);
    b.rec.clear();
}

void TestEndToEnd::unfinishedBooksAsked_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("No exports nothing") << false;
    QTest::newRow("Yes exports the finished books") << true;
}

void TestEndToEnd::unfinishedBooksAsked()
{
    QFETCH(bool, answer);
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", "T\r\nB");
        tp.mkdir("Export");
        tp.write("Resources/setup", "installer program");
        tp.write("Resources/setup.exe", "installer program for Windows");
    });
    halfFinished(b);
    const QByteArray settingsBefore = b.tp.read("Data/BookTXT/CDProperty.xml");
    b.f1->Pcheck->setChecked(!b.f1->Pcheck->isChecked()); // a change that No must not save
    b.rec.queueAnswers({ answer });
    b.f1->Command10_Click();
    QCOMPARE(b.rec.questions().size(), 1);
    QCOMPARE(b.rec.questions().first(), unfinishedBooksQuestion({ pickerEntry("a", 2) }));
    QVERIFY(b.rec.questions().first().contains(QStringLiteral("(a2)")));
    QCOMPARE(QFileInfo(b.tp.file("Export/Export 1")).isDir(), answer);
    QCOMPARE(b.rec.messages(), answer ? QList<qint16> { 29 } : QList<qint16> {});
    if (!answer)
        QCOMPARE(b.tp.read("Data/BookTXT/CDProperty.xml"), settingsBefore);
}

void TestEndToEnd::failedSaveStopsTheExport()
{
    Bench b(exportable);
    oneBookMade(b);
    // The settings file cannot be replaced: a folder stands in its place.
    QFile::remove(b.tp.file("Data/BookTXT/CDProperty.xml"));
    b.tp.mkdir("Data/BookTXT/CDProperty.xml");
    b.f1->Command10_Click();
    QCOMPARE(b.rec.messages(), QList<qint16> { 28 });
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY2(b.rec.notices().first().contains(QStringLiteral("CDProperty.xml")),
        qPrintable(b.rec.notices().first()));
    QCOMPARE(QDir(b.tp.file("Export")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

void TestEndToEnd::cancelledExportLeavesNothing()
{
    Bench b(exportable);
    oneBookMade(b);
    b.f1->exportProgressDelayMs = 0;
    // The operator presses the progress window's cancel button as soon as it shows.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto *progress = b.f1->findChild<QProgressDialog *>()) {
            seen = progress->isVisible() && progress->isModal();
            saveShot(progress, QStringLiteral("export-progress"));
            progress->cancel();
        }
    });
    b.f1->Command10_Click();
    QVERIFY(seen);
    QCOMPARE(b.rec.messages(), QList<qint16> { 28 });
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(b.rec.notices().first().contains(QStringLiteral(u"متوقف")));
    QCOMPARE(QDir(b.tp.file("Export")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(!b.f1->findChild<QProgressDialog *>());
}

// The e-book export, from the export button's menu, behaves as the CD export.
void TestEndToEnd::failedSaveStopsTheEpubExport()
{
    Bench b(exportable);
    oneBookMade(b);
    QFile::remove(b.tp.file("Data/BookTXT/CDProperty.xml"));
    b.tp.mkdir("Data/BookTXT/CDProperty.xml");
    b.f1->CommandEpub->trigger();
    QCOMPARE(b.rec.messages(), QList<qint16> { 28 });
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY2(b.rec.notices().first().contains(QStringLiteral("CDProperty.xml")),
        qPrintable(b.rec.notices().first()));
    QCOMPARE(QDir(b.tp.file("Export")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList());
}

void TestEndToEnd::cancelledEpubExportLeavesNothing()
{
    Bench b(exportable);
    oneBookMade(b);
    b.f1->exportProgressDelayMs = 0;
    bool seen = false;
    bool rightToLeft = false;
    QTimer::singleShot(0, [&] {
        if (auto *progress = b.f1->findChild<QProgressDialog *>()) {
            seen = progress->isVisible() && progress->isModal();
            rightToLeft = progress->layoutDirection() == Qt::RightToLeft;
            progress->cancel();
        }
    });
    b.f1->CommandEpub->trigger();
    QVERIFY2(seen, qPrintable(b.rec.notices().join(u'|')));
    QVERIFY(rightToLeft);
    QCOMPARE(b.rec.messages(), QList<qint16> {});
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(b.rec.notices().first().contains(QStringLiteral(u"متوقف")));
    QCOMPARE(QDir(b.tp.file("Export")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList());
    QVERIFY(!b.f1->findChild<QProgressDialog *>());

    // Not stopped, the same command makes the e-book.
    b.rec.clear();
    b.f1->CommandEpub->trigger();
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(QFileInfo(b.tp.file("Export/EPUB 1")).isDir());
}

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
