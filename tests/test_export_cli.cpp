// zorvel-export, run as a publisher's build script runs it.
#include "core/common/messages.h"
#include "support/tempprogram.h"

#include <QProcess>
#include <QtTest>

using namespace zorvel;
using zorvel::testing::TempProgram;
using zorvel::testing::utf16le;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QStringList &args, const QString &program = QStringLiteral("zorvel-export"),
    const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZORVEL_BIN_DIR "/") + program, args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A build folder with one finished book; `print` is the saved print option.
void project(const TempProgram &tp, bool print)
{
    tp.write("Data/BookTXT/CDProperty.xml",
        utf16le(QStringLiteral(
            "<strings>\r\n\t<aBookNumber>1</aBookNumber>\r\n\t<bBookNumber>0</bBookNumber>\r\n"
            "\t<cBookNumber>0</cBookNumber>\r\n\t<Olgoo>1</Olgoo>\r\n\t<Music>0</Music>\r\n"
            "\t<Print>%1</Print>\r\n</strings>")
                    .arg(print ? 1 : 0)));
    tp.write("Data/BookTXT/P.htm",
        utf16le(QStringLiteral(u"<pgTitle>عنوان</pgTitle>\r\n<pgMain>متن</pgMain>")));
    tp.write("Data/_xml/aTitle1.xml",
        utf16le(QStringLiteral(u"<?xml version=\"1.0\"?>\r\n<Tree>\r\n\t<node label=\"عنوان\" "
                               u"src=\"DATA/BookTXT/P.htm\" mediaStatus=\"000\" />\r\n")));
    tp.write("Data/_xml/BookTitle.xml",
        utf16le(QStringLiteral(u"<strings>\r\n\t<aBook1>كتاب</aBook1>\r\n")));
    tp.mkdir("Data/BookIMG");
    tp.mkdir("Data/FlashIMG");
    tp.mkdir("Out");
}

} // namespace

class TestExportCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportsAndPrintsTheFolder_data();
    void exportsAndPrintsTheFolder();
    void failuresExitOne_data();
    void failuresExitOne();
    void helpAndVersion_data();
    void helpAndVersion();
    void noFinishedBookIsOneLine();
    void deepIndexIsRefusedNotCrashed_data();
    void deepIndexIsRefusedNotCrashed();
};

void TestExportCli::initTestCase()
{
    // The shipped script copies setup.exe, which only a build with mingw-w64 has.
    if (!QFile::exists(QStringLiteral(ZORVEL_BIN_DIR "/Resources/setup.exe")))
        QSKIP("setup.exe was not built (x86_64-w64-mingw32-g++-posix is not installed)");
}

void TestExportCli::exportsAndPrintsTheFolder_data()
{
    QTest::addColumn<bool>("savedPrint");
    QTest::addColumn<bool>("printFlag");
    QTest::addColumn<bool>("pages");
    QTest::newRow("saved print option clear") << false << false << false;
    QTest::newRow("--print") << false << true << true;
    QTest::newRow("saved print option set") << true << false << true;
}

void TestExportCli::exportsAndPrintsTheFolder()
{
    QFETCH(bool, savedPrint);
    QFETCH(bool, printFlag);
    QFETCH(bool, pages);
    TempProgram tp { false };
    project(tp, savedPrint);
    QStringList args { tp.file("Data"), tp.file("Out") };
    if (printFlag)
        args.prepend("--print");
    Run r = run(args);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, tp.file("Out/Export 1") + u'\n');
    QCOMPARE(tp.exists("Out/Export 1/Data/BookTXT/P.html"), pages);
    QVERIFY(tp.exists("Out/Export 1/Data/reader/data/a1.js"));
    QVERIFY(tp.exists("Out/Export 1/Data/reader/index.html"));
    // The next run takes the next number.
    r = run(args);
    QCOMPARE(r.out, tp.file("Out/Export 2") + u'\n');
}

void TestExportCli::failuresExitOne_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("no build folder") << "Nothing"
                                     << "Out" << 1 << messageText(10);
    QTest::newRow("no export folder") << "Data"
                                      << "Nowhere" << 1 << messageText(26);
    QTest::newRow("broken book") << "Broken"
                                 << "Out" << 1 << messageText(28);
    QTest::newRow("usage") << QString() << "Out" << 2 << "usage: zorvel-export";
}

void TestExportCli::failuresExitOne()
{
    QFETCH(QString, build);
    QFETCH(QString, out);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    TempProgram tp { false };
    project(tp, false);
    // A book whose index names a page that is not there.
    tp.write("Broken/_xml/aTitle1.xml", tp.read("Data/_xml/aTitle1.xml"));
    tp.write("Broken/BookTXT/CDProperty.xml", tp.read("Data/BookTXT/CDProperty.xml"));
    tp.mkdir("Broken/BookIMG");
    tp.mkdir("Broken/FlashIMG");
    QStringList args { tp.file(out) };
    if (!build.isEmpty())
        args.prepend(tp.file(build));
    const Run r = run(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    if (build == "Broken")
        QVERIFY2(r.err.contains("aTitle1.xml"), qPrintable(r.err));
}

void TestExportCli::helpAndVersion_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("said");
    QTest::newRow("export --help") << "zorvel-export" << "--help" << "usage: zorvel-export";
    QTest::newRow("export -h") << "zorvel-export" << "-h" << "usage: zorvel-export";
    QTest::newRow("export --version") << "zorvel-export" << "--version" << "zorvel-export " ZORVEL_VERSION;
    QTest::newRow("program --help") << "Zorvel" << "--help" << "usage: Zorvel";
    QTest::newRow("program -h") << "Zorvel" << "-h" << "usage: Zorvel";
    QTest::newRow("program --version") << "Zorvel" << "--version" << "Zorvel " ZORVEL_VERSION;
}

void TestExportCli::helpAndVersion()
{
    QFETCH(QString, program);
    QFETCH(QString, flag);
    QFETCH(QString, said);
    // No display of any kind: asking for help must not need one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        env.remove(QString::fromLatin1(name));
    const Run r = run({ flag }, program, env);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.startsWith(said), qPrintable(r.out));
    QCOMPARE(r.err, QString());
}

void TestExportCli::noFinishedBookIsOneLine()
{
    TempProgram tp { false };
    project(tp, false);
    QFile::remove(tp.file("Data/_xml/aTitle1.xml"));
    const Run r = run({ tp.file("Data"), tp.file("Out") });
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err,
        QStringLiteral(u"در اين پوشه هيچ كتاب ساخته شده\u200Cاي نيست: ")
            + QDir::toNativeSeparators(tp.file("Data")) + u'\n');
    QCOMPARE(QDir(tp.file("Out")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void TestExportCli::deepIndexIsRefusedNotCrashed_data()
{
    QTest::addColumn<bool>("epub");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("export, 20000 levels") << false << 20000 << 1;
    QTest::newRow("e-book, 20000 levels") << true << 20000 << 1;
    QTest::newRow("export, 258 levels") << false << 258 << 1;
    // As deep as the writer can nest: every slot a main title but the page.
    QTest::newRow("export, 256 levels") << false << 256 << 0;
    QTest::newRow("e-book, 256 levels") << true << 256 << 0;
}

void TestExportCli::deepIndexIsRefusedNotCrashed()
{
    QFETCH(bool, epub);
    QFETCH(int, depth);
    QFETCH(int, exitCode);
    TempProgram tp { false };
    project(tp, false);
    QString tree = QStringLiteral("<?xml version=\"1.0\"?>\r\n<Tree>\r\n");
    for (int i = 0; i < depth; ++i)
        tree += QStringLiteral("<node label=\"M\">");
    tree += QStringLiteral("<node label=\"P\" src=\"DATA/BookTXT/P.htm\" mediaStatus=\"000\" />");
    for (int i = 0; i < depth; ++i)
        tree += QStringLiteral("</node>");
    tp.write("Data/_xml/aTitle1.xml", utf16le(tree));
    QStringList args { tp.file("Data"), tp.file("Out") };
    if (epub)
        args.prepend("--epub");
    const Run r = run(args);
    QCOMPARE(r.exitCode, exitCode);
    if (exitCode != 0) {
        // The export's failure message, or the e-book export's own.
        const QString failed
            = epub ? QStringLiteral(u"بروز اشكال در گرفتن خروجي EPUB!") : messageText(28);
        QVERIFY2(r.err.contains(failed), qPrintable(r.err));
        QVERIFY2(r.err.contains("aTitle1.xml"), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }
}

QTEST_MAIN(TestExportCli)
#include "test_export_cli.moc"
