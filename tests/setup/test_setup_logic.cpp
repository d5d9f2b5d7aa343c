// The installer's logic without a window: cd.inf, paths, copying, marker.
#include "cd_inf.h"
#include "folder_copy.h"
#include "folder_rows.h"
#include "install.h"
#include "install_paths.h"
#include "messages.h"
#include "text_files.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <QTemporaryDir>
#include <QtTest>

using namespace setup;

namespace {

QByteArray system8bit(const QString &text)
{
    QStringEncoder encode(QStringConverter::System);
    return encode(text);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

QString cdInf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

class TestSetupLogic : public QObject {
    Q_OBJECT

private slots:
    void splitLines_data();
    void splitLines();
    void parseCdInf_data();
    void parseCdInf();
    void readCdInf_systemCodePage();
    void sampleCdInf();

    void installFolder_data();
    void installFolder();
    void infPath_data();
    void infPath();
    void sourceFolder_data();
    void sourceFolder();
    void destinationBase_data();
    void destinationBase();
    void marker_data();
    void marker();

    void copyFolder_copiesTree();
    void copyFolder_replacesEarlierFiles();
    void copyFolder_createsMissingParents();
    void copyFolder_readOnlyOriginalsStayReplaceable();
    void copyFolder_failurePartWay();
    void copyFolder_refusesTargetInsideSource();
    void copyFolder_missingSource();

    void markerRoundTrip();
    void rememberedProgram_data();
    void rememberedProgram();

    void folderRows();
    void volumeRoots();
};

void TestSetupLogic::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << "a\r\nb\r\n" << QStringList { "a", "b" };
    QTest::newRow("bare LF") << "a\nb\n" << QStringList { "a", "b" };
    QTest::newRow("lone CR") << "a\rb" << QStringList { "a", "b" };
    QTest::newRow("no final line end") << "a\r\nb" << QStringList { "a", "b" };
    QTest::newRow("empty lines kept") << "a\r\n\r\n\r\nb\r\n" << QStringList { "a", "", "", "b" };
    QTest::newRow("empty text") << "" << QStringList {};
    QTest::newRow("spaces kept") << "  a  \r\n" << QStringList { "  a  " };
}

void TestSetupLogic::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(setup::splitLines(text), lines);
}

void TestSetupLogic::parseCdInf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values"); // cdName, defPath, folderName, runFile
    QTest::addColumn<QString>("missing");

    const QStringList atlas { "Atlas", "C:\\Programs", "Data", "start.exe" };
    QTest::newRow("usual order") << cdInf({ "[ CD Name ]", "Atlas", "[ Def Path ]", "C:\\Programs",
        "[ Folder Name ]", "Data", "[ Run File ]", "start.exe" })
                                 << atlas << "";
    QTest::newRow("order Run File, Folder Name, Def Path, CD Name") << cdInf(
        { "[ Run File ]", "start.exe", "[ Folder Name ]", "Data", "[ Def Path ]", "C:\\Programs",
            "[ CD Name ]", "Atlas" }) << atlas << "";
    QTest::newRow("other lines ignored") << cdInf(
        { "; made for the Atlas CD", "[ Def Path ]", "C:\\Programs", "", "[ CD Name ]", "Atlas",
            "junk", "[ Folder Name ]", "Data", "[ Run File ]", "start.exe", "trailing words" })
                                         << atlas << "";
    QTest::newRow("value verbatim, spaces kept")
        << cdInf({ "[ CD Name ]", "  Big Atlas ", "[ Def Path ]", "C:\\Programs", "[ Folder Name ]",
               "Data", "[ Run File ]", "start.exe" })
        << QStringList { "  Big Atlas ", "C:\\Programs", "Data", "start.exe" } << "";
    QTest::newRow("empty value line") << cdInf({ "[ CD Name ]", "Atlas", "[ Def Path ]",
        "C:\\Programs", "[ Folder Name ]", "Data", "[ Run File ]", "" })
                                      << QStringList { "Atlas", "C:\\Programs", "Data", "" } << "";
    QTest::newRow("first of two markers counts")
        << cdInf({ "[ CD Name ]", "Atlas", "[ CD Name ]", "Other", "[ Def Path ]", "C:\\Programs",
               "[ Folder Name ]", "Data", "[ Run File ]", "start.exe" })
        << atlas << "";
    QTest::newRow("value that looks like a marker is still a value")
        << cdInf({ "[ CD Name ]", "[ Def Path ]", "C:\\Programs", "[ Folder Name ]", "Data",
               "[ Run File ]", "start.exe" })
        << QStringList { "[ Def Path ]", "C:\\Programs", "Data", "start.exe" } << "";
    QTest::newRow("bare LF line ends")
        << QString("[ CD Name ]\nAtlas\n[ Def Path ]\nC:\\Programs\n[ Folder Name ]\nData\n"
                   "[ Run File ]\nstart.exe")
        << atlas << "";
    QTest::newRow("marker without inner spaces not recognised")
        << cdInf({ "[CD Name]", "Atlas", "[ Def Path ]", "C:\\Programs", "[ Folder Name ]", "Data",
               "[ Run File ]", "start.exe" })
        << QStringList { "", "C:\\Programs", "Data", "start.exe" } << "[ CD Name ]";
    QTest::newRow("marker in other case not recognised")
        << cdInf({ "[ CD Name ]", "Atlas", "[ def path ]", "C:\\Programs", "[ Folder Name ]",
               "Data", "[ Run File ]", "start.exe" })
        << QStringList { "Atlas", "", "Data", "start.exe" } << "[ Def Path ]";
    QTest::newRow("marker with a trailing space not recognised")
        << cdInf({ "[ CD Name ]", "Atlas", "[ Def Path ]", "C:\\Programs", "[ Folder Name ] ",
               "Data", "[ Run File ]", "start.exe" })
        << QStringList { "Atlas", "C:\\Programs", "", "start.exe" } << "[ Folder Name ]";
    QTest::newRow("marker on the last line has no value")
        << cdInf({ "[ CD Name ]", "Atlas", "[ Def Path ]", "C:\\Programs", "[ Folder Name ]",
               "Data", "[ Run File ]" })
        << QStringList { "Atlas", "C:\\Programs", "Data", "" } << "[ Run File ]";
    QTest::newRow("first missing in reading order is named")
        << cdInf({ "[ CD Name ]", "Atlas", "[ Run File ]", "start.exe" })
        << QStringList { "Atlas", "", "", "start.exe" } << "[ Def Path ]";
    QTest::newRow("empty file") << "" << QStringList { "", "", "", "" } << "[ CD Name ]";
}

void TestSetupLogic::parseCdInf()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QFETCH(QString, missing);
    const CdInfReading reading = setup::parseCdInf(text);
    QCOMPARE(reading.missingMarker, missing);
    QCOMPARE(reading.complete(), missing.isEmpty());
    const QStringList got { reading.values.cdName, reading.values.defPath,
        reading.values.folderName, reading.values.runFile };
    QCOMPARE(got, values);
}

void TestSetupLogic::readCdInf_systemCodePage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cd.inf");
    const QString name = QString::fromUtf8("Atlas é");
    writeBytes(path,
        system8bit(cdInf({ "[ CD Name ]", name, "[ Def Path ]", "/opt", "[ Folder Name ]", "Data",
            "[ Run File ]", "run" })));
    const CdInfReading reading = setup::readCdInf(path);
    QVERIFY(reading.complete());
    QCOMPARE(reading.values.cdName, name);

    QVERIFY_THROWS_EXCEPTION(FileError, setup::readCdInf(dir.filePath("absent.inf")));
}

void TestSetupLogic::sampleCdInf()
{
    const QByteArray bytes = readBytes(QStringLiteral(SETUP_SAMPLE_CD_INF));
    QVERIFY(bytes.contains("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n")); // every line ends in CR LF
    for (const char c : bytes)
        QVERIFY2(uchar(c) < 0x80, "plain ASCII reads the same in every code page");
    const CdInfReading reading = setup::readCdInf(QStringLiteral(SETUP_SAMPLE_CD_INF));
    QVERIFY(reading.complete());
    QVERIFY(!reading.values.cdName.isEmpty());
    QCOMPARE(reading.values.folderName, QStringLiteral("Data"));
    QVERIFY(!reading.values.runFile.isEmpty());
    // Usable as a base on this system, whatever was written for another.
    QVERIFY(QDir::isAbsolutePath(
        QDir::fromNativeSeparators(setup::destinationBase(reading.values.defPath))));
}

void TestSetupLogic::installFolder_data()
{
    QTest::addColumn<QString>("defPath");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("drive folder") << "C:\\Programs" << QChar('\\') << "C:\\Programs\\Atlas";
    QTest::newRow("drive folder with trailing separator")
        << "C:\\Programs\\" << QChar('\\') << "C:\\Programs\\Atlas";
    QTest::newRow("drive root") << "D:\\" << QChar('\\') << "D:\\Atlas";
    QTest::newRow("folder") << "/opt/books" << QChar('/') << "/opt/books/Atlas";
    QTest::newRow("folder with trailing separator")
        << "/opt/books/" << QChar('/') << "/opt/books/Atlas";
    QTest::newRow("root") << "/" << QChar('/') << "/Atlas";
}

void TestSetupLogic::installFolder()
{
    QFETCH(QString, defPath);
    QFETCH(QChar, sep);
    QFETCH(QString, expected);
    QCOMPARE(setup::installFolder(defPath, QStringLiteral("Atlas"), sep), expected);
}

void TestSetupLogic::infPath_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("drive root") << "D:\\" << QChar('\\') << "D:\\cd.inf";
    QTest::newRow("drive folder") << "D:\\Setup" << QChar('\\') << "D:\\Setup\\cd.inf";
    QTest::newRow("root") << "/" << QChar('/') << "/cd.inf";
    QTest::newRow("mount point") << "/media/cdrom" << QChar('/') << "/media/cdrom/cd.inf";
}

void TestSetupLogic::infPath()
{
    QFETCH(QString, programFolder);
    QFETCH(QChar, sep);
    QFETCH(QString, expected);
    QCOMPARE(setup::infPathFor(programFolder, sep), expected);
}

void TestSetupLogic::sourceFolder_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("volumeRoot");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("setup at the drive root") << "D:\\"
                                             << "D:\\"
                                             << "Data" << QChar('\\') << "D:\\Data";
    QTest::newRow("setup one folder down") << "D:\\Setup"
                                           << "D:\\"
                                           << "Data" << QChar('\\') << "D:\\Data";
    QTest::newRow("setup two folders down") << "D:\\Setup\\Bin"
                                            << "D:\\"
                                            << "Data" << QChar('\\') << "D:\\Setup\\Data";
    QTest::newRow("setup at the mount point") << "/media/cdrom"
                                              << "/media/cdrom"
                                              << "Data" << QChar('/') << "/media/cdrom/Data";
    QTest::newRow("mount point given with separator")
        << "/media/cdrom/"
        << "/media/cdrom"
        << "Data" << QChar('/') << "/media/cdrom/Data";
    QTest::newRow("setup under the mount point") << "/media/cdrom/setup"
                                                 << "/media/cdrom"
                                                 << "Data" << QChar('/') << "/media/cdrom/Data";
    QTest::newRow("setup in /") << "/"
                                << "/"
                                << "Data" << QChar('/') << "/Data";
    QTest::newRow("folder name with backslash")
        << "/media/cdrom"
        << "/media/cdrom"
        << "Data\\Books" << QChar('/') << "/media/cdrom/Data/Books";
}

void TestSetupLogic::sourceFolder()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, volumeRoot);
    QFETCH(QString, folderName);
    QFETCH(QChar, sep);
    QFETCH(QString, expected);
    QCOMPARE(setup::sourceFolder(programFolder, folderName, volumeRoot, sep), expected);
}

void TestSetupLogic::destinationBase_data()
{
    QTest::addColumn<QString>("defPath");
    QTest::addColumn<QString>("expected");
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    QTest::newRow("empty means home") << "" << home;
    QTest::newRow("relative means home") << "Programs" << home;
#ifdef Q_OS_WIN
    QTest::newRow("drive path kept") << "C:\\Program Files\\"
                                     << "C:\\Program Files\\";
#else
    QTest::newRow("drive path elsewhere means home") << "C:\\Program Files\\" << home;
    QTest::newRow("absolute path kept") << "/opt/books/"
                                        << "/opt/books/";
#endif
}

void TestSetupLogic::destinationBase()
{
    QFETCH(QString, defPath);
    QFETCH(QString, expected);
    QCOMPARE(setup::destinationBase(defPath), expected);
}

void TestSetupLogic::marker_data()
{
    QTest::addColumn<QString>("markerFolder");
    QTest::addColumn<QString>("installFolder");
    QTest::addColumn<QString>("runFile");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::newRow("root of drive C") << "c:\\"
                                     << "C:\\Programs\\Atlas"
                                     << "start.exe" << QChar('\\') << "c:\\Atlas.txt"
                                     << "C:\\Programs\\Atlas\\start.exe\r\n";
    QTest::newRow("home folder") << "/home/ann"
                                 << "/home/ann/Atlas"
                                 << "start" << QChar('/') << "/home/ann/Atlas.txt"
                                 << "/home/ann/Atlas/start\r\n";
    QTest::newRow("run file in a subfolder") << "/home/ann"
                                             << "/home/ann/Atlas"
                                             << "bin\\start" << QChar('/') << "/home/ann/Atlas.txt"
                                             << "/home/ann/Atlas/bin/start\r\n";
}

void TestSetupLogic::marker()
{
    QFETCH(QString, markerFolder);
    QFETCH(QString, installFolder);
    QFETCH(QString, runFile);
    QFETCH(QChar, sep);
    QFETCH(QString, path);
    QFETCH(QString, text);
    QCOMPARE(setup::markerFilePath(markerFolder, QStringLiteral("Atlas"), sep), path);
    QCOMPARE(setup::markerText(installFolder, runFile, sep), text);
}

void TestSetupLogic::copyFolder_copiesTree()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("src/a.txt"), "alpha");
    writeBytes(dir.filePath("src/sub/deeper/b.bin"), QByteArray("\0\1\2", 3));
    writeBytes(dir.filePath("src/.hidden"), "h");
    QDir().mkpath(dir.filePath("src/empty"));
    setup::copyFolder(dir.filePath("src"), dir.filePath("dst"));
    QCOMPARE(readBytes(dir.filePath("dst/a.txt")), QByteArray("alpha"));
    QCOMPARE(readBytes(dir.filePath("dst/sub/deeper/b.bin")), QByteArray("\0\1\2", 3));
    QCOMPARE(readBytes(dir.filePath("dst/.hidden")), QByteArray("h"));
    QVERIFY(QFileInfo(dir.filePath("dst/empty")).isDir());
    QVERIFY(!QFileInfo::exists(dir.filePath("dst/src"))); // content, not the folder itself
}

void TestSetupLogic::copyFolder_replacesEarlierFiles()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("src/a.txt"), "new and longer");
    writeBytes(dir.filePath("src/sub/b.txt"), "new b");
    writeBytes(dir.filePath("dst/a.txt"), "old");
    writeBytes(dir.filePath("dst/sub/b.txt"), "old b that was longer than the new one");
    writeBytes(dir.filePath("dst/mine.txt"), "kept");
    setup::copyFolder(dir.filePath("src"), dir.filePath("dst"));
    QCOMPARE(readBytes(dir.filePath("dst/a.txt")), QByteArray("new and longer"));
    QCOMPARE(readBytes(dir.filePath("dst/sub/b.txt")), QByteArray("new b"));
    QCOMPARE(readBytes(dir.filePath("dst/mine.txt")), QByteArray("kept"));
}

void TestSetupLogic::copyFolder_createsMissingParents()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("src/a.txt"), "a");
    setup::copyFolder(dir.filePath("src"), dir.filePath("x/y/z/Atlas"));
    QCOMPARE(readBytes(dir.filePath("x/y/z/Atlas/a.txt")), QByteArray("a"));
}

void TestSetupLogic::copyFolder_readOnlyOriginalsStayReplaceable()
{
    QTemporaryDir dir;
    const QString original = dir.filePath("src/run.sh");
    writeBytes(original, "#!/bin/sh\n");
    QFile::setPermissions(original,
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
            | QFileDevice::ReadOther);
    setup::copyFolder(dir.filePath("src"), dir.filePath("dst"));
    const QFileInfo copy(dir.filePath("dst/run.sh"));
    QVERIFY(copy.permissions() & QFileDevice::WriteOwner);
    QVERIFY(copy.permissions() & QFileDevice::ExeOwner); // still startable
    QFile::setPermissions(original, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    writeBytes(original, "second");
    setup::copyFolder(dir.filePath("src"), dir.filePath("dst"));
    QCOMPARE(readBytes(dir.filePath("dst/run.sh")), QByteArray("second"));
}

void TestSetupLogic::copyFolder_failurePartWay()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("src/a.txt"), "new a");
    writeBytes(dir.filePath("src/b.txt"), "new b");
    writeBytes(dir.filePath("src/c.txt"), "new c");
    QDir().mkpath(dir.filePath("dst/b.txt")); // a folder where a file has to go
    writeBytes(dir.filePath("dst/c.txt"), "old c");
    try {
        setup::copyFolder(dir.filePath("src"), dir.filePath("dst"));
        QFAIL("copy reported success");
    } catch (const FileError &error) {
        QCOMPARE(QDir::cleanPath(error.path()), QDir::cleanPath(dir.filePath("dst/b.txt")));
        QVERIFY(setup::copyFailedText(error).contains(error.path()));
    }
    QCOMPARE(readBytes(dir.filePath("dst/a.txt")), QByteArray("new a"));
    QCOMPARE(readBytes(dir.filePath("dst/c.txt")), QByteArray("old c"));

    // An installation folder that cannot be made (a file stands in its way).
    writeBytes(dir.filePath("blocked"), "file");
    QVERIFY_THROWS_EXCEPTION(
        FileError, setup::copyFolder(dir.filePath("src"), dir.filePath("blocked/Atlas")));
}

void TestSetupLogic::copyFolder_refusesTargetInsideSource()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("src/a.txt"), "a");
    QVERIFY_THROWS_EXCEPTION(
        FileError, setup::copyFolder(dir.filePath("src"), dir.filePath("src/inner/Atlas")));
    QVERIFY(!QFileInfo::exists(dir.filePath("src/inner")));
    QVERIFY_THROWS_EXCEPTION(
        FileError, setup::copyFolder(dir.filePath("src"), dir.filePath("src")));
    QCOMPARE(readBytes(dir.filePath("src/a.txt")), QByteArray("a"));
}

void TestSetupLogic::copyFolder_missingSource()
{
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(
        FileError, setup::copyFolder(dir.filePath("nothing"), dir.filePath("dst")));
    QVERIFY(!QFileInfo::exists(dir.filePath("dst")));
}



void TestSetupLogic::markerRoundTrip()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("disk/Atlas é/start"), "x");
    InstallPlan plan;
    plan.installFolder = QDir::toNativeSeparators(dir.filePath(QString::fromUtf8("disk/Atlas é")));
    plan.runFile = "start";
    plan.markerPath = dir.filePath("Atlas.txt");
    writeBytes(plan.markerPath, "an earlier, longer marker line that is replaced\r\n");
    setup::writeMarker(plan);
    QCOMPARE(readBytes(plan.markerPath),
        system8bit(plan.installFolder + QDir::separator() + "start\r\n"));
    QCOMPARE(setup::rememberedProgram(plan.markerPath), setup::programPath(plan));
}


void TestSetupLogic::rememberedProgram_data()
{
    QTest::addColumn<QByteArray>("marker"); // %1 is the temporary folder; empty: no marker
    QTest::addColumn<QString>("expected");
    QTest::newRow("program present") << QByteArray("%1/prog\r\n") << "%1/prog";
    QTest::newRow("only the first line counts") << QByteArray("%1/gone\r\n%1/prog\r\n") << "";
    QTest::newRow("program removed since") << QByteArray("%1/gone\r\n") << "";
    QTest::newRow("marker names a folder") << QByteArray("%1/folder\r\n") << "";
    QTest::newRow("empty marker") << QByteArray("") << "";
    QTest::newRow("no marker file") << QByteArray() << "";
}

void TestSetupLogic::rememberedProgram()
{
    QFETCH(QByteArray, marker);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString root = dir.path();
    writeBytes(dir.filePath("prog"), "p");
    QDir().mkpath(dir.filePath("folder"));
    const QString markerPath = dir.filePath("Atlas.txt");
    if (!marker.isNull())
        writeBytes(markerPath, QString::fromLatin1(marker).replace("%1", root).toLocal8Bit());
    QCOMPARE(setup::rememberedProgram(markerPath), QString(expected).replace("%1", root));
}

void TestSetupLogic::folderRows()
{
    QTemporaryDir dir;
    for (const char *name : { "b", "A", "C", ".hidden" })
        QDir().mkpath(dir.filePath(name));
    writeBytes(dir.filePath("file.txt"), "not a folder");
    const QString open = QDir::toNativeSeparators(QDir::cleanPath(dir.path()));
    const QList<FolderRow> rows = setup::folderRows(dir.path());

    qsizetype at = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).path == open)
            at = i;
    }
    QVERIFY(at > 0);
    QCOMPARE(rows.first().depth, 0);
    QVERIFY(rows.first().open);
    QVERIFY(QDir(QDir::fromNativeSeparators(rows.first().path)).isRoot());
    for (qsizetype i = 0; i <= at; ++i) {
        QVERIFY(rows.at(i).open);
        QCOMPARE(rows.at(i).depth, int(i));
        QVERIFY(open.startsWith(rows.at(i).path));
    }
    QStringList labels;
    for (qsizetype i = at + 1; i < rows.size(); ++i) {
        QVERIFY(!rows.at(i).open);
        QCOMPARE(rows.at(i).depth, int(at + 1));
        labels << rows.at(i).label;
    }
    QCOMPARE(labels, (QStringList { "A", "b", "C" }));
    QCOMPARE(rows.at(at).label, QFileInfo(dir.path()).fileName());
}

void TestSetupLogic::volumeRoots()
{
    const QStringList roots = setup::volumeRoots();
    QVERIFY(!roots.isEmpty());
#ifndef Q_OS_WIN
    QCOMPARE(roots.first(), QStringLiteral("/"));
    QCOMPARE(roots.count("/"), 1);
#endif
    for (const QString &root : roots)
        QVERIFY2(QFileInfo(root).isDir(), qPrintable(root));
}

QTEST_GUILESS_MAIN(TestSetupLogic)
#include "test_setup_logic.moc"
