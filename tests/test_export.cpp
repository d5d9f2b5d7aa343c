// The export: cutting the script's sections, carrying the script out, the
// printable pages, and the shipped Export.inf and Default.html.
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/export/exporter.h"
#include "core/export/exportprogress.h"
#include "core/export/exportscript.h"
#include "core/export/printpages.h"
#include "support/tempprogram.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace zorvel;
using zorvel::testing::TempProgram;
using zorvel::testing::utf16le;

namespace {

QString lines(const QStringList &l, const QString &end = QStringLiteral("\r\n"))
{
    return l.join(end) + end;
}

QByteArray script(const QStringList &l)
{
    return lines(l).toLatin1();
}

const QString kTemplate = QStringLiteral("<html><title>%Title%</title><body>%Matn%</body></html>");

// A program folder with Resources, a build folder "Data" and an export folder "Export".
struct Program {
    TempProgram tp;
    FileSystem fs;
    Program()
    {
        tp.write(QStringLiteral("Resources/setup"), "SETUP");
        tp.write(QStringLiteral("Resources/setup.exe"), "SETUPEXE");
        tp.write(QStringLiteral("Resources/cd.inf"), "CDINF");
        for (const char *sub :
            { "Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG", "Export" })
            tp.mkdir(QString::fromLatin1(sub));
    }
    void setScript(const QByteArray &bytes) const
    {
        tp.write(QStringLiteral("Resources/Export.inf"), bytes);
    }
    void setTemplate(const QString &text) const
    {
        tp.write(QStringLiteral("Resources/Default.html"), utf16le(text));
    }
    QString page(const QString &name, const QString &text) const
    {
        return tp.write(QStringLiteral("Data/BookTXT/") + name, utf16le(text));
    }
    ExportResult run(bool print) const
    {
        return runExport(fs, tp.path(), tp.file(QStringLiteral("Data")),
            tp.file(QStringLiteral("Export")), print);
    }
    QByteArray read(const QString &relative) const
    {
        return tp.read(QStringLiteral("Export/") + relative);
    }
    bool exists(const QString &relative) const
    {
        return tp.exists(QStringLiteral("Export/") + relative);
    }
    QStringList files(const QString &relative) const
    {
        QStringList names = fs.listFiles(tp.file(QStringLiteral("Export/") + relative));
        names.sort();
        return names;
    }
    QStringList folders(const QString &relative) const
    {
        QStringList names = fs.listFolders(tp.file(QStringLiteral("Export/") + relative));
        names.sort();
        return names;
    }
};

// A small script: a Data folder, BookTXT copied into it.
QByteArray pagesScript()
{
    return script({ QStringLiteral("[ Make Folder ]"), QStringLiteral("Data"), QString(),
        QStringLiteral("[ Copy Folder ]"), QStringLiteral("BookTXT => Data\\BookTXT"), QString(),
        QStringLiteral("[ Copy File ]"), QString(), QStringLiteral("[") });
}

// Every folder and file under `root` with its size and hash, to tell that
// nothing was created or changed.
QStringList listing(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString line = QDir(root).relativeFilePath(path);
        if (info.isFile()) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            line += QStringLiteral(" %1 %2").arg(info.size()).arg(QString::fromLatin1(
                QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex()));
        }
        out << line;
    }
    out.sort();
    return out;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void sectionEntries_data();
    void sectionEntries();
    void bareLineFeedsReadLikeCrLf();
    void splitCopyEntry_data();
    void splitCopyEntry();
    void firstFreeOutputFolder();
    void shippedScriptBuildsTheOutput();
    void copyFileTargets_data();
    void copyFileTargets();
    void copyFolderTakesOnlyFiles();
    void outcomesBeforeTheScriptRuns_data();
    void outcomesBeforeTheScriptRuns();
    void scriptFailuresLeaveNoOutput_data();
    void scriptFailuresLeaveNoOutput();
    void hostileEntriesChangeNothing_data();
    void hostileEntriesChangeNothing();
    void sectionWithoutEmptyLineLosesLastEntry();
    void printablePage_data();
    void printablePage();
    void printablePagesBytes();
    void templateWithoutMatnStillWritesEveryPage();
    void malformedPageFailsTheExport_data();
    void malformedPageFailsTheExport();
    void encodingsOfTemplateAndPages_data();
    void encodingsOfTemplateAndPages();
    void persianScriptIn1256();
    void printOptionClearWritesNoPages();
    void emptyPagesFolderEndsWell();
    void twoExportsInARow();
    void leftoverIncompleteKeepsItsNumber();
    void progressCountsAndCancels_data();
    void progressCountsAndCancels();
    void fullDiskLeavesNoFinishedLooking();
    void shippedTemplate();
};

void TestExport::sectionEntries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("entries");
    const QString mf = QStringLiteral("[ Make Folder ]");
    QTest::newRow("entries and one empty line")
        << lines(
               { mf, QStringLiteral("A"), QStringLiteral("B\\C"), QString(), QStringLiteral("[") })
        << mf << true << QStringList({ QStringLiteral("A"), QStringLiteral("B\\C") });
    QTest::newRow("no empty line: last entry lost")
        << lines({ mf, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("[") }) << mf
        << true << QStringList { QStringLiteral("A") };
    QTest::newRow("two empty lines: an empty entry")
        << lines({ mf, QStringLiteral("A"), QString(), QString(), QStringLiteral("[") }) << mf
        << true << QStringList({ QStringLiteral("A"), QString() });
    QTest::newRow("header directly before the next one")
        << lines({ mf, QStringLiteral("[ Copy File ]") }) << mf << true << QStringList();
    QTest::newRow("entries keep their spaces")
        << lines({ mf, QStringLiteral(" A "), QString(), QStringLiteral("[") }) << mf << true
        << QStringList { QStringLiteral(" A ") };
    QTest::newRow("text before the header ignored") << lines(
        { QStringLiteral("; notes"), QStringLiteral("x"), mf, QStringLiteral("A"), QString(),
            QStringLiteral("[") }) << mf << true << QStringList { QStringLiteral("A") };
    QTest::newRow("only the first occurrence counts") << lines(
        { mf, QStringLiteral("A"), QString(), mf, QStringLiteral("B"), QString(),
            QStringLiteral("[") }) << mf << true << QStringList { QStringLiteral("A") };
    QTest::newRow("header spelled otherwise is missing") << lines(
        { QStringLiteral("[Make Folder]"), QStringLiteral("A"), QString(), QStringLiteral("[") })
                                                         << mf << false << QStringList();
    QTest::newRow("no [ after the last section")
        << lines({ mf, QStringLiteral("A"), QString() }) << mf << false << QStringList();
}

void TestExport::sectionEntries()
{
    QFETCH(QString, text);
    QFETCH(QString, header);
    QFETCH(bool, found);
    QFETCH(QStringList, entries);
    const auto got = zorvel::sectionEntries(text, header);
    QCOMPARE(got.has_value(), found);
    if (found)
        QCOMPARE(*got, entries);
}

void TestExport::bareLineFeedsReadLikeCrLf()
{
    const QStringList l = { QStringLiteral("[ Copy File ]"), QStringLiteral("f => root"), QString(),
        QStringLiteral("[ Make Folder ]"), QStringLiteral("Data"), QString(),
        QStringLiteral("[ Copy Folder ]"), QStringLiteral("a => Data\\a"), QString(),
        QStringLiteral("[ End ]") };
    const auto crlf = parseExportScript(lines(l));
    const auto lf = parseExportScript(lines(l, QStringLiteral("\n")));
    QVERIFY(crlf && lf);
    QCOMPARE(lf->makeFolders, QStringList { QStringLiteral("Data") });
    QCOMPARE(lf->copyFolders, QStringList { QStringLiteral("a => Data\\a") });
    QCOMPARE(lf->copyFiles, QStringList { QStringLiteral("f => root") });
    QCOMPARE(crlf->makeFolders, lf->makeFolders);
    QCOMPARE(crlf->copyFolders, lf->copyFolders);
    QCOMPARE(crlf->copyFiles, lf->copyFiles);

    // The same through a whole export.
    Program p;
    p.setScript(
        lines({ QStringLiteral("[ Make Folder ]"), QStringLiteral("Data"), QString(),
                  QStringLiteral("[ Copy Folder ]"), QStringLiteral("BookTXT => Data\\BookTXT"),
                  QString(), QStringLiteral("[ Copy File ]"), QStringLiteral("cd.inf => root"),
                  QString(), QStringLiteral("[") },
            QStringLiteral("\n"))
            .toLatin1());
    p.page(QStringLiteral("P.htm"), QStringLiteral("<pgTitle>t</pgTitle>\r\nb"));
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(p.files(QStringLiteral("Export 1")), QStringList { QStringLiteral("cd.inf") });
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/BookTXT")),
        QStringList({ QStringLiteral("P.htm"), QStringLiteral("P.html") }));
}

void TestExport::splitCopyEntry_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::newRow("no spaces") << QStringLiteral("a=>b") << true << QStringLiteral("a")
                               << QStringLiteral("b");
    QTest::newRow("three spaces each side")
        << QStringLiteral("a   =>   b") << true << QStringLiteral("a") << QStringLiteral("b");
    QTest::newRow("outer spaces") << QStringLiteral("  a b => c d  ") << true
                                  << QStringLiteral("a b") << QStringLiteral("c d");
    QTest::newRow("first arrow splits")
        << QStringLiteral("a => b => c") << true << QStringLiteral("a") << QStringLiteral("b => c");
    QTest::newRow("tabs are not trimmed")
        << QStringLiteral("\ta =>b\t") << true << QStringLiteral("\ta") << QStringLiteral("b\t");
    QTest::newRow("no arrow") << QStringLiteral("a = > b") << false << QString() << QString();
    QTest::newRow("empty line") << QString() << false << QString() << QString();
}

void TestExport::splitCopyEntry()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    QFETCH(QString, source);
    QFETCH(QString, target);
    const auto e = zorvel::splitCopyEntry(line);
    QCOMPARE(e.has_value(), valid);
    if (valid) {
        QCOMPARE(e->source, source);
        QCOMPARE(e->target, target);
    }
}

void TestExport::firstFreeOutputFolder()
{
    Program p;
    const QString e = p.tp.file(QStringLiteral("Export"));
    QCOMPARE(nextOutputFolder(p.fs, e), e + QStringLiteral("/Export 1"));
    p.tp.mkdir(QStringLiteral("Export/Export 1"));
    p.tp.mkdir(QStringLiteral("Export/Export 3"));
    QCOMPARE(nextOutputFolder(p.fs, e), e + QStringLiteral("/Export 2"));
    // A file of that name is not free either.
    p.tp.write(QStringLiteral("Export/Export 2"), "x");
    QCOMPARE(nextOutputFolder(p.fs, e + u'/'), e + QStringLiteral("/Export 4"));

    p.setScript(pagesScript());
    const ExportResult r = p.run(false);
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(r.outputFolder, e + QStringLiteral("/Export 4"));
    QCOMPARE(p.folders(QString()),
        QStringList({ QStringLiteral("Export 1"), QStringLiteral("Export 3"),
            QStringLiteral("Export 4") }));
}

void TestExport::shippedScriptBuildsTheOutput()
{
    Program p; // the shipped Export.inf
    const QString pageText
        = QStringLiteral("<pgTitle>عنوان</pgTitle>\r\n<pgMain></pgMain>\r\n<pgMain>متن</pgMain>");
    p.page(QStringLiteral("0K7Q2Y9A1B3C5D.htm"), pageText);
    p.tp.write(QStringLiteral("Data/BookTXT/0K7Q2Y9A1B3C5D.jpg"), "JPG");
    p.tp.write(QStringLiteral("Data/BookTXT/CDProperty.xml"), utf16le(QStringLiteral("<strings>")));
    p.tp.write(QStringLiteral("Data/_xml/aTitle1.xml"), "TREE");
    p.tp.write(QStringLiteral("Data/_xml/BookTitle.xml"), "TITLES");
    p.tp.write(QStringLiteral("Data/BookIMG/aBook1.jpg"), "BOOK");
    p.tp.write(QStringLiteral("Data/FlashIMG/Back.jpg"), "BACK");
    p.tp.write(QStringLiteral("Data/FlashIMG/Sound1.mp3"), "MUS");

    const ExportResult r = p.run(true);
    QCOMPARE(r.problem, QString());
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(r.printablePages, 1);
    QCOMPARE(p.folders(QString()), QStringList { QStringLiteral("Export 1") });
    QCOMPARE(p.files(QStringLiteral("Export 1")),
        QStringList({ QStringLiteral("autorun.inf"), QStringLiteral("cd.inf"),
            QStringLiteral("index.html"), QStringLiteral("setup"), QStringLiteral("setup.exe") }));
    QCOMPARE(p.read(QStringLiteral("Export 1/setup")), QByteArray("SETUP"));
    QCOMPARE(p.read(QStringLiteral("Export 1/setup.exe")), QByteArray("SETUPEXE"));
    // Windows offers to run the Windows installer when the disc goes in.
    const QString autorun = QString::fromLatin1(p.read(QStringLiteral("Export 1/autorun.inf")));
    QVERIFY2(autorun.startsWith(QLatin1String("[autorun]\r\n")), qPrintable(autorun));
    QVERIFY(autorun.contains(QLatin1String("\r\nopen=setup.exe\r\n")));
    QVERIFY(autorun.contains(QLatin1String("\r\nicon=setup.exe,0\r\n")));
    QCOMPARE(p.read(QStringLiteral("Export 1/cd.inf")), QByteArray("CDINF"));
    QCOMPARE(p.folders(QStringLiteral("Export 1")), QStringList { QStringLiteral("Data") });
    QCOMPARE(p.folders(QStringLiteral("Export 1/Data")),
        QStringList({ QStringLiteral("BookIMG"), QStringLiteral("BookTXT"),
            QStringLiteral("FlashIMG"), QStringLiteral("_xml"), QStringLiteral("reader") }));
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/BookTXT")),
        QStringList({ QStringLiteral("0K7Q2Y9A1B3C5D.htm"), QStringLiteral("0K7Q2Y9A1B3C5D.html"),
            QStringLiteral("0K7Q2Y9A1B3C5D.jpg"), QStringLiteral("CDProperty.xml") }));
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookTXT/0K7Q2Y9A1B3C5D.htm")), utf16le(pageText));
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/_xml")),
        QStringList({ QStringLiteral("BookTitle.xml"), QStringLiteral("aTitle1.xml") }));
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookIMG/aBook1.jpg")), QByteArray("BOOK"));
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/FlashIMG")),
        QStringList({ QStringLiteral("Back.jpg"), QStringLiteral("Sound1.mp3") }));
    const QString printable = p.fs.readUnicode(
        p.tp.file(QStringLiteral("Export/Export 1/Data/BookTXT/0K7Q2Y9A1B3C5D.html")));
    QVERIFY(printable.contains(QStringLiteral("<title>عنوان</title>")));
    QVERIFY(printable.contains(QStringLiteral("<p align=\"right\">متن</p>")));
    // The build folder is left as it was.
    QCOMPARE(p.fs.listFiles(p.tp.file(QStringLiteral("Data/BookTXT"))).size(), 3);
}

void TestExport::copyFileTargets_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("where");
    QTest::newRow("root is the top")
        << QStringLiteral("cd.inf => root") << QStringLiteral("Export 1/cd.inf");
    QTest::newRow("root\\Data") << QStringLiteral("cd.inf => root\\Data")
                                << QStringLiteral("Export 1/Data/cd.inf");
    QTest::newRow("root/Data") << QStringLiteral("cd.inf=>root/Data")
                               << QStringLiteral("Export 1/Data/cd.inf");
    QTest::newRow("spaces around the arrow") << QStringLiteral("cd.inf   =>   root\\Data\\Sub")
                                             << QStringLiteral("Export 1/Data/Sub/cd.inf");
    QTest::newRow("file in a Resources subfolder") << QStringLiteral(
        "player\\run.bin => root\\Data") << QStringLiteral("Export 1/Data/player/run.bin");
    QTest::newRow("only the leading root goes")
        << QStringLiteral("cd.inf => root\\Data\\myroot") << QStringLiteral("Export 1/Data/myroot/cd.inf");
    QTest::newRow("root in every part of the path")
        << QStringLiteral("cd.inf => root/Data/root/rootroot")
        << QStringLiteral("Export 1/Data/root/rootroot/cd.inf");
}

void TestExport::copyFileTargets()
{
    QFETCH(QString, entry);
    QFETCH(QString, where);
    Program p;
    p.tp.write(QStringLiteral("Resources/player/run.bin"), "CDINF");
    p.setScript(script(
        { QStringLiteral("[ Make Folder ]"), QStringLiteral("Data"), QStringLiteral("Data\\Sub"),
            QStringLiteral("Data/player"), QStringLiteral("Data\\myroot"), QStringLiteral("Data\\root"),
            QStringLiteral("Data\\root\\rootroot"), QString(), QStringLiteral("[ Copy Folder ]"), QString(),
            QStringLiteral("[ Copy File ]"), entry, QString(), QStringLiteral("[") }));
    const ExportResult r = p.run(false);
    QCOMPARE(r.problem, QString());
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(p.read(where), QByteArray("CDINF"));
}

void TestExport::copyFolderTakesOnlyFiles()
{
    Program p;
    p.tp.write(QStringLiteral("Data/BookIMG/a.jpg"), "A");
    p.tp.write(QStringLiteral("Data/BookIMG/b.gif"), "B");
    p.tp.write(QStringLiteral("Data/BookIMG/nested/c.jpg"), "C");
    p.setScript(script({ QStringLiteral("[ Copy Folder ]"), QStringLiteral("BookIMG => Pictures"),
        QString(), QStringLiteral("[ Make Folder ]"), QString(), QStringLiteral("[ Copy File ]"),
        QString(), QStringLiteral("[") }));
    QCOMPARE(p.run(false).messageCode(), qint16(29));
    QCOMPARE(p.files(QStringLiteral("Export 1/Pictures")),
        QStringList({ QStringLiteral("a.jpg"), QStringLiteral("b.gif") }));
    QCOMPARE(p.folders(QStringLiteral("Export 1/Pictures")), QStringList());
}

void TestExport::outcomesBeforeTheScriptRuns_data()
{
    QTest::addColumn<QString>("remove");
    QTest::addColumn<int>("code");
    QTest::newRow("export folder missing") << QStringLiteral("Export") << 26;
    QTest::newRow("build folder missing") << QStringLiteral("Data") << 10;
    QTest::newRow("script missing") << QStringLiteral("Resources/Export.inf") << 27;
}

void TestExport::outcomesBeforeTheScriptRuns()
{
    QFETCH(QString, remove);
    QFETCH(int, code);
    Program p;
    const QString path = p.tp.file(remove);
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(code));
    QCOMPARE(r.outputFolder, QString());
    QVERIFY(!p.exists(QStringLiteral("Export 1")));
}

void TestExport::scriptFailuresLeaveNoOutput_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("begun"); // the incomplete folder was made, then removed
    const QString mf = QStringLiteral("[ Make Folder ]");
    const QString cfo = QStringLiteral("[ Copy Folder ]");
    const QString cfi = QStringLiteral("[ Copy File ]");
    QTest::newRow("a header missing: nothing made")
        << script({ mf, QStringLiteral("Data"), QString(), cfo, QString(), QStringLiteral("[") })
        << false;
    QTest::newRow("no [ after the last section: nothing made") << script(
        { mf, QStringLiteral("Data"), QString(), cfo, QString(), cfi, QStringLiteral("x => root"),
            QString() }) << false;
    QTest::newRow("copy folder source missing")
        << script(
               { mf, QStringLiteral("Data"), QString(), cfo, QStringLiteral("Nope => Data\\Nope"),
                   QString(), cfi, QString(), QStringLiteral("[") })
        << true;
    QTest::newRow("copy folder target exists")
        << script({ mf, QStringLiteral("Data"), QStringLiteral("Data\\BookTXT"), QString(), cfo,
               QStringLiteral("BookTXT => Data\\BookTXT"), QString(), cfi, QString(),
               QStringLiteral("[") })
        << true;
    QTest::newRow("entry without arrow") << script({ mf, QStringLiteral("Data"), QString(), cfo,
        QString(), cfi, QStringLiteral("setup root"), QString(), QStringLiteral("[") }) << true;
    QTest::newRow("copy file missing in Resources")
        << script({ mf, QStringLiteral("Data"), QString(), cfo, QString(), cfi,
               QStringLiteral("player.exe => root"), QString(), QStringLiteral("[") })
        << true;
    QTest::newRow("second empty line is an empty entry") << script(
        { mf, QStringLiteral("Data"), QString(), QString(), cfo, QString(), cfi, QString(),
            QStringLiteral("[") }) << true;
    QTest::newRow("target without root refused before anything is made")
        << script({ mf, QStringLiteral("Data"), QString(), cfo, QString(), cfi,
               QStringLiteral("setup => Data"), QString(), QStringLiteral("[") })
        << false;
    QTest::newRow("nested folder without its parent") << script({ mf, QStringLiteral("Data\\Deep"),
        QString(), cfo, QString(), cfi, QString(), QStringLiteral("[") }) << true;
}

void TestExport::scriptFailuresLeaveNoOutput()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, begun);
    Program p;
    p.setScript(text);
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(28));
    QVERIFY(!r.problem.isEmpty());
    // No folder is left that a CD could be burnt from, finished or not, and
    // the operator is told the incomplete one was removed.
    QCOMPARE(p.folders(QString()), QStringList());
    QCOMPARE(r.outputFolder, QString());
    QCOMPARE(r.problem.contains(QStringLiteral("\"Export 1 (incomplete)\"")), begun);
}

void TestExport::hostileEntriesChangeNothing_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("entry");
    QTest::newRow("make folder above the output") << "[ Make Folder ]" << "Data\\..\\..\\escaped";
    QTest::newRow("make folder, absolute") << "[ Make Folder ]" << "/tmp/zorvel-escaped";
    QTest::newRow("make folder, drive letter") << "[ Make Folder ]" << "C:\\escaped";
    QTest::newRow("make folder, leading separator") << "[ Make Folder ]" << "\\escaped";
    QTest::newRow("copy folder from outside the build folder")
        << "[ Copy Folder ]" << "..\\Outside => Data\\Stolen";
    QTest::newRow("copy folder into the export folder") << "[ Copy Folder ]" << "BookTXT => ..\\Leak";
    QTest::newRow("copy file from outside Resources")
        << "[ Copy File ]" << "..\\Data\\BookTXT\\1.htm => root";
    QTest::newRow("copy file over the project's page")
        << "[ Copy File ]" << "setup => root\\..\\..\\..\\Data\\BookTXT";
    QTest::newRow("copy file, target without root") << "[ Copy File ]" << "setup => Data";
    // Only the leading root goes: ".root." stays a folder name, no way out;
    // a way out through a subfolder is still one.
    QTest::newRow("copy file, a way out through a subfolder")
        << "[ Copy File ]" << "setup => root\\Data\\..\\..\\x";
    QTest::newRow("copy file, a word starting with root") << "[ Copy File ]" << "setup => rootData";
    QTest::newRow("copy file, root later in the path only")
        << "[ Copy File ]" << "setup => Data\\root";
}

void TestExport::hostileEntriesChangeNothing()
{
    QFETCH(QString, section);
    QFETCH(QString, entry);
    Program p;
    p.page(QStringLiteral("1.htm"), QStringLiteral("<pgTitle>t</pgTitle>\r\n<pgMain>x</pgMain>"));
    p.tp.write(QStringLiteral("Outside/secret.txt"), "secret");
    QStringList l;
    for (const char *h : { "[ Make Folder ]", "[ Copy Folder ]", "[ Copy File ]" }) {
        l << QString::fromLatin1(h);
        if (section == QLatin1String(h))
            l << entry;
        if (QLatin1String(h) == QLatin1String("[ Make Folder ]"))
            l << QStringLiteral("Data");
        l << QString();
    }
    l << QStringLiteral("[ End ]");
    p.setScript(script(l));
    const QStringList before = listing(p.tp.path());
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(28));
    QVERIFY2(r.problem.contains(entry), qPrintable(r.problem));
    QCOMPARE(r.outputFolder, QString());
    QCOMPARE(listing(p.tp.path()), before);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/zorvel-escaped")));
}

void TestExport::sectionWithoutEmptyLineLosesLastEntry()
{
    Program p;
    p.setScript(script({ QStringLiteral("[ Make Folder ]"), QStringLiteral("A"),
        QStringLiteral("B"), QStringLiteral("[ Copy Folder ]"), QString(),
        QStringLiteral("[ Copy File ]"), QStringLiteral("setup => root"),
        QStringLiteral("cd.inf => root"), QStringLiteral("[") }));
    QCOMPARE(p.run(false).messageCode(), qint16(29));
    QCOMPARE(p.folders(QStringLiteral("Export 1")), QStringList { QStringLiteral("A") });
    QCOMPARE(p.files(QStringLiteral("Export 1")), QStringList { QStringLiteral("setup") });
}

void TestExport::printablePage_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("pageTemplate");
    QTest::addColumn<QString>("printable");
    const QString t = QStringLiteral("[%Title%|%Matn%]");
    QTest::newRow("paragraphs become right-aligned p")
        << QStringLiteral("<pgTitle>T</pgTitle>\r\n<pgMain></pgMain>\r\n<pgMain>x</pgMain>") << t
        << QStringLiteral("[T|\r\n<p align=\"right\"></p>\r\n<p align=\"right\">x</p>]");
    QTest::newRow("page without pgMain keeps its body as text") << QStringLiteral(
        "<pgTitle>T</pgTitle>plain <b>text</b>") << t << QStringLiteral("[T|plain &lt;b&gt;text&lt;/b&gt;]");
    QTest::newRow("template without Matn")
        << QStringLiteral("<pgTitle>T</pgTitle>body") << QStringLiteral("<h1>%Title%</h1>")
        << QStringLiteral("<h1>T</h1>");
    QTest::newRow("placeholders repeated")
        << QStringLiteral("<pgTitle>T</pgTitle>b") << QStringLiteral("%Title%%Matn%%Title%%Matn%")
        << QStringLiteral("TbTb");
    QTest::newRow("first title counts, body after the first closing tag")
        << QStringLiteral("<pgTitle>A</pgTitle>x<pgTitle>B</pgTitle>y") << t
        << QStringLiteral("[A|x&lt;pgTitle&gt;B&lt;/pgTitle&gt;y]");
    QTest::newRow("closing tag without opening: empty title")
        << QStringLiteral("junk</pgTitle>b") << t << QStringLiteral("[|b]");
    QTest::newRow("tags are case-sensitive")
        << QStringLiteral("<pgTitle>T</pgTitle><PGMAIN>x</PGMAIN>") << t
        << QStringLiteral("[T|&lt;PGMAIN&gt;x&lt;/PGMAIN&gt;]");
    QTest::newRow("placeholders in the title or the body stay as they are")
        << QStringLiteral("<pgTitle>%Matn% and %Title%</pgTitle><pgMain>%Title%</pgMain>") << t
        << QStringLiteral("[%Matn% and %Title%|<p align=\"right\">%Title%</p>]");
    QTest::newRow("less-than and greater-than in the text lose no words")
        << QStringLiteral(u"<pgTitle>a<b و c>d</pgTitle><pgMain>a<b و c>d</pgMain>") << t
        << QStringLiteral(u"[a&lt;b و c&gt;d|<p align=\"right\">a&lt;b و c&gt;d</p>]");
    QTest::newRow("markup in a text is shown, never run")
        << QStringLiteral("<pgTitle>T</pgTitle><pgMain><img src=x onerror=alert(1)></pgMain>"
                          "<pgMain><script>x()</script></pgMain>") << t
        << QStringLiteral("[T|<p align=\"right\">&lt;img src=x onerror=alert(1)&gt;</p>"
                          "<p align=\"right\">&lt;script&gt;x()&lt;/script&gt;</p>]");
    QTest::newRow("ampersands and quotes")
        << QStringLiteral("<pgTitle>\"A&B\"</pgTitle><pgMain>&amp; &lt;</pgMain>") << t
        << QStringLiteral("[&quot;A&amp;B&quot;|<p align=\"right\">&amp;amp; &amp;lt;</p>]");
    QTest::newRow("the writer's pictures and line breaks stay")
        << QStringLiteral("<pgTitle>T</pgTitle>\r\n<pgMain>x</pgMain>\r\n<IMG src=\"../BookIMG/a&b.jpg\">"
                          "\r\n<pgMain>y</pgMain>") << t
        << QStringLiteral("[T|\r\n<p align=\"right\">x</p>\r\n<IMG src=\"../BookIMG/a&amp;b.jpg\">"
                          "\r\n<p align=\"right\">y</p>]");
    QTest::newRow("a picture reference out of the pictures folder is text")
        << QStringLiteral("<pgTitle>T</pgTitle><IMG src=\"../BookIMG/../x.jpg\"><IMG src=\"http://e/x\">")
        << t
        << QStringLiteral("[T|&lt;IMG src=&quot;../BookIMG/../x.jpg&quot;&gt;&lt;IMG src=&quot;http://e/x&quot;&gt;]");
}

void TestExport::printablePage()
{
    QFETCH(QString, page);
    QFETCH(QString, pageTemplate);
    QFETCH(QString, printable);
    const auto got = zorvel::printablePage(page, pageTemplate);
    QVERIFY(got.has_value());
    QCOMPARE(*got, printable);
}

void TestExport::printablePagesBytes()
{
    Program p;
    p.setScript(pagesScript());
    p.setTemplate(QStringLiteral("<title>%Title%</title>\r\n\t<div>%Matn%</div>"));
    p.page(QStringLiteral("intro.HTM"),
        QStringLiteral("<pgTitle>\"Q\"</pgTitle>\r\n<pgMain>a\tb</pgMain>"));
    p.page(QStringLiteral("B.htm"), QStringLiteral("<pgTitle>B</pgTitle>"));
    p.page(QStringLiteral("old.html"), QStringLiteral("not a page"));
    p.tp.write(QStringLiteral("Data/BookTXT/x.jpg"), "J");
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(r.printablePages, 2);
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookTXT/intro.HTMl")),
        utf16le(QStringLiteral(
            "<title>&quot;Q&quot;</title>\r\n\t<div>\r\n<p align=\"right\">a\tb</p></div>")));
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookTXT/B.html")),
        utf16le(QStringLiteral("<title>B</title>\r\n\t<div></div>")));
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/BookTXT")),
        QStringList({ QStringLiteral("B.htm"), QStringLiteral("B.html"),
            QStringLiteral("intro.HTM"), QStringLiteral("intro.HTMl"), QStringLiteral("old.html"),
            QStringLiteral("x.jpg") }));
}

void TestExport::templateWithoutMatnStillWritesEveryPage()
{
    Program p;
    p.setScript(pagesScript());
    p.setTemplate(QStringLiteral("<h1>%Title%</h1>"));
    p.page(QStringLiteral("A.htm"), QStringLiteral("<pgTitle>A</pgTitle><pgMain>x</pgMain>"));
    p.page(QStringLiteral("B.htm"), QStringLiteral("<pgTitle>B</pgTitle><pgMain>y</pgMain>"));
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(r.printablePages, 2);
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookTXT/A.html")),
        utf16le(QStringLiteral("<h1>A</h1>")));
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookTXT/B.html")),
        utf16le(QStringLiteral("<h1>B</h1>")));
}

void TestExport::malformedPageFailsTheExport_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("opening tag without closing")
        << QStringLiteral("<pgTitle>T\r\n<pgMain>x</pgMain>");
    QTest::newRow("no closing tag at all") << QStringLiteral("<pgMain>x</pgMain>");
    QTest::newRow("closing tag before the opening") << QStringLiteral("</pgTitle><pgTitle>T");
}

void TestExport::malformedPageFailsTheExport()
{
    QFETCH(QString, text);
    QVERIFY(!zorvel::printablePage(text, kTemplate).has_value());
    Program p;
    p.setScript(pagesScript());
    p.page(QStringLiteral("bad.htm"), text);
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(28));
    QVERIFY(r.problem.contains(QStringLiteral("bad.htm")));
    QCOMPARE(p.folders(QString()), QStringList());
}

void TestExport::encodingsOfTemplateAndPages_data()
{
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::addColumn<QByteArray>("pageBytes");
    QTest::addColumn<QString>("failsNaming"); // empty: the export succeeds
    const QString t = QStringLiteral(u"<p>قالب %Title%</p>%Matn%");
    const QString page = QStringLiteral(u"<pgTitle>عنوان</pgTitle>\r\n<pgMain>متن</pgMain>");
    const QByteArray utf16 = utf16le(page);
    QTest::newRow("UTF-16 with FF FE") << utf16le(t) << utf16 << QString();
    QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBF") + t.toUtf8() << utf16 << QString();
    QTest::newRow("UTF-8 without a mark") << t.toUtf8() << utf16 << "Default.html";
    QTest::newRow("UTF-16 big-endian") << QByteArray("\xFE\xFF") + QByteArray(8, 'x') << utf16 << "Default.html";
    QTest::newRow("UTF-8 mark, invalid bytes") << QByteArray("\xEF\xBB\xBF\xC3\x28") << utf16 << "Default.html";
    QTest::newRow("page without FF FE") << utf16le(t) << utf16le(page, false) << "p.htm";
    QTest::newRow("page with an odd byte count") << utf16le(t) << utf16 + 'x' << "p.htm";
}

void TestExport::encodingsOfTemplateAndPages()
{
    QFETCH(QByteArray, templateBytes);
    QFETCH(QByteArray, pageBytes);
    QFETCH(QString, failsNaming);
    Program p;
    p.setScript(pagesScript());
    p.tp.write(QStringLiteral("Resources/Default.html"), templateBytes);
    p.tp.write(QStringLiteral("Data/BookTXT/p.htm"), pageBytes);
    const ExportResult r = p.run(true);
    if (failsNaming.isEmpty()) {
        QCOMPARE(r.messageCode(), qint16(29));
        QCOMPARE(p.fs.readUnicode(p.tp.file(QStringLiteral("Export/Export 1/Data/BookTXT/p.html"))),
            QStringLiteral(u"<p>قالب عنوان</p>\r\n<p align=\"right\">متن</p>"));
    } else {
        QCOMPARE(r.messageCode(), qint16(28));
        QVERIFY2(r.problem.contains(failsNaming), qPrintable(r.problem));
    }
}

void TestExport::persianScriptIn1256()
{
    // Saved on a Persian Windows: the folder names are Windows-1256 bytes,
    // not valid UTF-8. Valid UTF-8 is read as it is.
    for (const bool utf8 : { false, true }) {
        Program p;
        const QString text = lines({ QStringLiteral("[ Make Folder ]"), QStringLiteral("Data"),
            QStringLiteral(u"Data\\كتابها"), QString(), QStringLiteral("[ Copy Folder ]"),
            QStringLiteral(u"BookTXT => Data\\كتابها\\متن"), QString(),
            QStringLiteral("[ Copy File ]"), QString(), QStringLiteral("[ End ]") });
        p.setScript(utf8 ? text.toUtf8() : encode1256(text));
        const ExportResult r = p.run(false);
        QCOMPARE(r.messageCode(), qint16(29));
        QCOMPARE(p.folders(QStringLiteral("Export 1/Data")),
            (QStringList { QStringLiteral("reader"), QStringLiteral(u"كتابها") }));
        QVERIFY(p.exists(QStringLiteral(u"Export 1/Data/كتابها/متن")));
    }
}

void TestExport::printOptionClearWritesNoPages()
{
    Program p;
    p.setScript(pagesScript());
    p.page(QStringLiteral("A.htm"), QStringLiteral("<pgTitle>T</pgTitle>"));
    p.page(QStringLiteral("bad.htm"), QStringLiteral("no title"));
    const ExportResult r = p.run(false);
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(r.printablePages, 0);
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/BookTXT")),
        QStringList({ QStringLiteral("A.htm"), QStringLiteral("bad.htm") }));
}

void TestExport::emptyPagesFolderEndsWell()
{
    Program p;
    p.setScript(pagesScript());
    QFile::remove(p.tp.file(QStringLiteral("Resources/Default.html"))); // never needed
    const ExportResult r = p.run(true);
    QCOMPARE(r.messageCode(), qint16(29));
    QCOMPARE(p.files(QStringLiteral("Export 1/Data/BookTXT")), QStringList());

    // Without the output's Data/BookTXT the page step fails.
    p.setScript(
        script({ QStringLiteral("[ Make Folder ]"), QString(), QStringLiteral("[ Copy Folder ]"),
            QString(), QStringLiteral("[ Copy File ]"), QString(), QStringLiteral("[") }));
    QCOMPARE(p.run(false).messageCode(), qint16(29));
    QCOMPARE(p.run(true).messageCode(), qint16(28));
    // The failed third export leaves nothing behind.
    QCOMPARE(p.folders(QString()),
        QStringList({ QStringLiteral("Export 1"), QStringLiteral("Export 2") }));
}

void TestExport::twoExportsInARow()
{
    Program p;
    p.setScript(pagesScript());
    p.setTemplate(kTemplate);
    p.page(QStringLiteral("A.htm"), QStringLiteral("<pgTitle>T</pgTitle><pgMain>x</pgMain>"));
    const ExportResult first = p.run(true);
    const ExportResult second = p.run(true);
    QCOMPARE(first.messageCode(), qint16(29));
    QCOMPARE(second.messageCode(), qint16(29));
    QVERIFY(first.outputFolder.endsWith(QStringLiteral("/Export 1")));
    QVERIFY(second.outputFolder.endsWith(QStringLiteral("/Export 2")));
    const QByteArray expected = utf16le(
        QStringLiteral("<html><title>T</title><body><p align=\"right\">x</p></body></html>"));
    QCOMPARE(p.read(QStringLiteral("Export 1/Data/BookTXT/A.html")), expected);
    QCOMPARE(p.read(QStringLiteral("Export 2/Data/BookTXT/A.html")), expected);
    QCOMPARE(p.files(QStringLiteral("Export 2/Data/BookTXT")),
        QStringList({ QStringLiteral("A.htm"), QStringLiteral("A.html") }));
    // The build folder gets no printable page.
    QCOMPARE(p.fs.listFiles(p.tp.file(QStringLiteral("Data/BookTXT"))),
        QStringList { QStringLiteral("A.htm") });
}

void TestExport::shippedTemplate()
{
    FileSystem fs;
    const QString resources = QStringLiteral(ZORVEL_RESOURCES_DIR);
    const QByteArray bytes = fs.readBytes(resources + QStringLiteral("/Default.html"));
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    const QString html = fromUtf16Le(bytes);
    QCOMPARE(utf16le(html), bytes); // nothing but UTF-16 LE after the mark
    for (const char *needle :
        { "dir=\"rtl\"", "lang=\"fa\"", "%Title%", "%Matn%", "@media print", "font-family" })
        QVERIFY2(html.contains(QString::fromLatin1(needle)), needle);
    QVERIFY(!html.contains(QRegularExpression(QStringLiteral("[^\\r]\\n"))));

    const QByteArray inf = fs.readBytes(resources + QStringLiteral("/Export.inf"));
    for (char c : inf)
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
    QVERIFY(!QString::fromLatin1(inf).contains(QRegularExpression(QStringLiteral("[^\\r]\\n"))));
    const auto parsed = parseExportScript(QString::fromLatin1(inf));
    QVERIFY(parsed);
    QCOMPARE(parsed->makeFolders,
        (QStringList { QStringLiteral("Data"), QStringLiteral("Data\\reader"),
            QStringLiteral("Data\\reader\\fonts") }));
    QCOMPARE(parsed->copyFolders.size(), 4);
    // Both installers, AutoPlay, cd.inf, the start page, then the reader's files.
    QCOMPARE(parsed->copyFiles.mid(0, 5),
        (QStringList { QStringLiteral("setup => root"), QStringLiteral("setup.exe => root"),
            QStringLiteral("autorun.inf => root"), QStringLiteral("cd.inf => root"),
            QStringLiteral("index.html => root") }));
    for (const QString &entry : parsed->copyFiles.mid(5))
        QVERIFY2(entry.startsWith(QLatin1String("reader\\")) && entry.endsWith(QLatin1String(" => root\\Data")),
            qPrintable(entry));
}

void TestExport::leftoverIncompleteKeepsItsNumber()
{
    Program p;
    p.setScript(pagesScript());
    p.tp.mkdir(QStringLiteral("Export/Export 1 (incomplete)"));
    const ExportResult r = p.run(false);
    QCOMPARE(r.messageCode(), qint16(29));
    QVERIFY(r.outputFolder.endsWith(QStringLiteral("/Export 2")));
    QCOMPARE(p.folders(QString()),
        QStringList({ QStringLiteral("Export 1 (incomplete)"), QStringLiteral("Export 2") }));
}

namespace {

// Counts the steps and stops the export at step `stopAt` (0: never).
struct CountingProgress : ExportProgress {
    int total = -1;
    int steps = 0;
    int stopAt = 0;
    QStringList seenDuring; // the export folder's content at the first step
    const Program *program = nullptr;
    void begin(int t) override { total = t; }
    bool step() override
    {
        if (++steps == 1 && program)
            seenDuring = program->folders(QString());
        return steps != stopAt;
    }
};

} // namespace

void TestExport::progressCountsAndCancels_data()
{
    // Where the operator stops it: 0 never, 1 at the first file copied, 2 at
    // the first printable page, 3 at the book's data.
    QTest::addColumn<int>("phase");
    QTest::newRow("runs to the end") << 0;
    QTest::newRow("stopped at the first file") << 1;
    QTest::newRow("stopped at a printable page") << 2;
    QTest::newRow("stopped at the reader's data") << 3;
}

void TestExport::progressCountsAndCancels()
{
    QFETCH(int, phase);
    Program p; // the shipped script
    p.page(QStringLiteral("A.htm"), QStringLiteral("<pgTitle>A</pgTitle>\r\n<pgMain>a</pgMain>"));
    p.page(QStringLiteral("B.htm"), QStringLiteral("<pgTitle>B</pgTitle>\r\n<pgMain>b</pgMain>"));
    p.tp.write(QStringLiteral("Data/_xml/aTitle1.xml"),
        utf16le(QStringLiteral("<Tree>\r\n\t<node label=\"A\" src=\"DATA/BookTXT/A.htm\" mediaStatus=\"000\" />\r\n"
                               "\t<node label=\"B\" src=\"DATA/BookTXT/B.htm\" mediaStatus=\"000\" />\r\n")));
    // The script's files: the reader's, the start page, setup, setup.exe,
    // autorun.inf, cd.inf and the build folder's three (two pages and the tree).
    const int scriptFiles = int(p.fs.listFiles(p.tp.file(QStringLiteral("Resources/reader"))).size())
        + int(p.fs.listFiles(p.tp.file(QStringLiteral("Resources/reader/fonts"))).size()) + 5 + 3;
    const int stopAt = phase == 1 ? 1 : phase == 2 ? scriptFiles + 1 : phase == 3 ? scriptFiles + 3 : 0;
    CountingProgress progress;
    progress.stopAt = stopAt;
    progress.program = &p;
    const ExportResult r = runExport(p.fs, p.tp.path(), p.tp.file(QStringLiteral("Data")),
        p.tp.file(QStringLiteral("Export")), true, &progress);
    // While it is built, the output has a name that says so.
    QCOMPARE(progress.seenDuring, QStringList { QStringLiteral("Export 1 (incomplete)") });
    // Then two printable pages and one book.
    QCOMPARE(progress.total, scriptFiles + 2 + 1);
    if (phase == 0) {
        QCOMPARE(r.messageCode(), qint16(29));
        QCOMPARE(progress.steps, progress.total);
        QCOMPARE(p.folders(QString()), QStringList { QStringLiteral("Export 1") });
        return;
    }
    QCOMPARE(r.messageCode(), qint16(28));
    QCOMPARE(progress.steps, stopAt); // nothing more after the stop
    QVERIFY(r.problem.contains(QStringLiteral(u"متوقف")));
    QCOMPARE(p.folders(QString()), QStringList());
}

void TestExport::fullDiskLeavesNoFinishedLooking()
{
    Program p;
    p.page(QStringLiteral("A.htm"), QStringLiteral("<pgTitle>A</pgTitle>\r\n<pgMain>a</pgMain>"));
    p.tp.write(QStringLiteral("Data/BookIMG/big.jpg"), QByteArray(64 * 1024, 'j'));
    // No file may grow beyond 16 KB: the picture's copy fails as on a full disk.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const ExportResult r = p.run(true);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    QCOMPARE(r.messageCode(), qint16(28));
    QVERIFY2(r.problem.contains(QStringLiteral("big.jpg")), qPrintable(r.problem));
    QVERIFY2(r.problem.contains(QStringLiteral("\"Export 1 (incomplete)\"")), qPrintable(r.problem));
    QCOMPARE(p.folders(QString()), QStringList());
    // The build folder is as it was.
    QCOMPARE(p.tp.read(QStringLiteral("Data/BookIMG/big.jpg")).size(), 64 * 1024);
}

QTEST_GUILESS_MAIN(TestExport)
#include "test_export.moc"
