// The installer's logic without a window: cd.inf, paths, copying, marker.
#include "cd_inf.h"
#include "disk_checks.h"
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

QString clean(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
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
    void unsafeSection_data();
    void unsafeSection();

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
    void copyFile_fullDisk_data();
    void copyFile_fullDisk();
    void writeSystem8bit_fullDisk();

    void firstMissingFolder_data();
    void firstMissingFolder();
    void install_fullDisk_data();
    void install_fullDisk();
    void install_sourceLinkedOutsideCd();

    void markerRoundTrip();
    void writeMarker_makesItsFolder();
    void writeMarker_stampFailsTakesMarkerBack();
    void defaultMarkerFolder_data();
    void defaultMarkerFolder();
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

    // Saved on a Persian Windows: Windows-1256 bytes, not valid UTF-8 here.
    // "\xC7\xD8\xE1\xD3" is اطلس, "\xCF\xC7\xCF\xE5" داده.
    const QString persian = dir.filePath("persian.inf");
    writeBytes(persian,
        QByteArray("[ CD Name ]\r\n\xC7\xD8\xE1\xD3\r\n[ Def Path ]\r\n/opt\r\n"
                   "[ Folder Name ]\r\n\xCF\xC7\xCF\xE5\r\n[ Run File ]\r\nrun\r\n"));
    const CdInfReading fromWindows = setup::readCdInf(persian);
    QVERIFY(fromWindows.complete());
    QCOMPARE(fromWindows.values.cdName, QString::fromUtf8("اطلس"));
    QCOMPARE(fromWindows.values.folderName, QString::fromUtf8("داده"));
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

void TestSetupLogic::unsafeSection_data()
{
    QTest::addColumn<QString>("cdName");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("runFile");
    QTest::addColumn<QString>("unsafe"); // the section refused, empty when none
    const QString cd = markerCdName;
    const QString folder = markerFolderName;
    const QString run = markerRunFile;
    const QString none;

    // What the CD and earlier CDs use stays allowed.
    QTest::newRow("usual values") << "Atlas" << "Data" << "start.exe" << none;
    QTest::newRow("run file in a subfolder") << "Zorvel Books" << "Data" << "reader\\index.html"
                                             << none;
    QTest::newRow("run file with forward separators") << "Atlas" << "Data" << "reader/index.html"
                                                      << none;
    QTest::newRow("folder name a subfolder") << "Atlas" << "Data\\Books" << "start.exe" << none;
    QTest::newRow("current-folder parts") << "Atlas" << "./Data" << ".\\bin\\.\\start.exe" << none;
    QTest::newRow("no run file") << "Atlas" << "Data" << "" << none;
    QTest::newRow("dots and spaces inside names")
        << " Atlas 2.. " << "Data..old" << "start..exe" << none;
    QTest::newRow("Persian names") << QString::fromUtf8("اطلس") << QString::fromUtf8("داده")
                                   << QString::fromUtf8("شروع.exe") << none;

    QTest::newRow("CD name: parent path") << "../../escaped" << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: parent path with backslashes")
        << "..\\..\\escaped" << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: parent") << ".." << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: current folder") << "." << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: dots Windows trims") << "..." << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: only spaces") << "  " << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: empty") << "" << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: subfolder") << "Books/Atlas" << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: absolute") << "/tmp/escaped" << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: drive letter") << "C:escaped" << "Data" << "start.exe" << cd;
    QTest::newRow("CD name: NUL cuts it to a parent")
        << QString::fromUtf16(u"..\0Atlas", 8) << "Data" << "start.exe" << cd;

    QTest::newRow("folder name: parent path") << "Atlas" << "../outside" << "start.exe" << folder;
    QTest::newRow("folder name: parent path with backslash")
        << "Atlas" << "..\\outside" << "start.exe" << folder;
    QTest::newRow("folder name: parent inside the path")
        << "Atlas" << "Data/../../outside" << "start.exe" << folder;
    QTest::newRow("folder name: absolute") << "Atlas" << "/home" << "start.exe" << folder;
    QTest::newRow("folder name: leading backslash") << "Atlas" << "\\outside" << "start.exe"
                                                    << folder;
    QTest::newRow("folder name: share") << "Atlas" << "\\\\server\\share" << "start.exe" << folder;
    QTest::newRow("folder name: drive letter") << "Atlas" << "C:\\outside" << "start.exe" << folder;
    QTest::newRow("folder name: drive-relative") << "Atlas" << "C:outside" << "start.exe" << folder;
    QTest::newRow("folder name: empty is the whole CD") << "Atlas" << "" << "start.exe" << folder;
    QTest::newRow("folder name: current folder") << "Atlas" << "./" << "start.exe" << folder;

    QTest::newRow("run file: parent path") << "Atlas" << "Data" << "../../../bin/true" << run;
    QTest::newRow("run file: parent path with backslashes")
        << "Atlas" << "Data" << "..\\..\\outside\\evil.exe" << run;
    QTest::newRow("run file: parent inside the path")
        << "Atlas" << "Data" << "reader/../../evil.exe" << run;
    QTest::newRow("run file: absolute") << "Atlas" << "Data" << "/bin/true" << run;
    QTest::newRow("run file: leading backslash") << "Atlas" << "Data" << "\\bin\\true" << run;
    QTest::newRow("run file: drive letter")
        << "Atlas" << "Data" << "C:\\Windows\\notepad.exe" << run;
    QTest::newRow("run file: the installation folder itself") << "Atlas" << "Data" << "." << run;
    QTest::newRow("run file: dots Windows trims") << "Atlas" << "Data" << "bin\\...\\x" << run;

    QTest::newRow("the first unsafe section is named")
        << "../x" << "../y" << "../z" << cd;
}

void TestSetupLogic::unsafeSection()
{
    QFETCH(QString, cdName);
    QFETCH(QString, folderName);
    QFETCH(QString, runFile);
    QFETCH(QString, unsafe);
    const CdInf values { cdName, QStringLiteral("C:\\Programs"), folderName, runFile };
    QCOMPARE(setup::unsafeSection(values), unsafe);
    if (!unsafe.isEmpty()) {
        const QString text = unsafeSectionText("cd.inf", unsafe, sectionOf(values, unsafe));
        QVERIFY2(text.contains('"' + unsafe + '"'), qPrintable(text));
        QVERIFY2(!text.contains(QChar(0)), "a NUL would cut the message short");
    }
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
    QTest::newRow("local application data on Windows")
        << "C:\\Users\\ann\\AppData\\Local\\zorvel-setup"
        << "C:\\Programs\\Atlas"
        << "start.exe" << QChar('\\') << "C:\\Users\\ann\\AppData\\Local\\zorvel-setup\\Atlas.txt"
        << "C:\\Programs\\Atlas\\start.exe\r\nC:\\Programs\\Atlas\r\n";
    QTest::newRow("data folder") << "/home/ann/.local/share/zorvel-setup"
                                 << "/home/ann/Atlas"
                                 << "start" << QChar('/')
                                 << "/home/ann/.local/share/zorvel-setup/Atlas.txt"
                                 << "/home/ann/Atlas/start\r\n/home/ann/Atlas\r\n";
    QTest::newRow("run file in a subfolder") << "/home/ann"
                                             << "/home/ann/Atlas"
                                             << "bin\\start" << QChar('/') << "/home/ann/Atlas.txt"
                                             << "/home/ann/Atlas/bin/start\r\n/home/ann/Atlas\r\n";
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



void TestSetupLogic::copyFile_fullDisk_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QByteArray>("earlier"); // null: no earlier file
    QTest::addColumn<bool>("fits");
    const qint64 limit = 64 * 1024;
    QTest::newRow("exactly the room left fits") << limit << QByteArray() << true;
    QTest::newRow("one byte over, nothing there before") << limit + 1 << QByteArray() << false;
    QTest::newRow("one byte over keeps the earlier file")
        << limit + 1 << QByteArray("earlier copy") << false;
    QTest::newRow("over by several chunks") << qint64(3 << 20) << QByteArray() << false;
}

void TestSetupLogic::copyFile_fullDisk()
{
    QFETCH(qint64, size);
    QFETCH(QByteArray, earlier);
    QFETCH(bool, fits);
    QTemporaryDir dir;
    const QByteArray content = pattern(size);
    writeBytes(dir.filePath("cd/file.bin"), content);
    const QString target = dir.filePath("disk/file.bin");
    QDir().mkpath(dir.filePath("disk"));
    if (!earlier.isNull())
        writeBytes(target, earlier);
    const auto before = treeListing(dir.filePath("disk"));

    std::optional<FileError> error;
    bool limited = false;
    {
        FullDisk disk(64 * 1024);
        limited = disk.active();
        try {
            setup::copyFile(dir.filePath("cd/file.bin"), target);
        } catch (const FileError &e) {
            error = e;
        }
    }
    QVERIFY(limited);
    if (fits) {
        QVERIFY2(!error, error ? qPrintable(error->describe()) : "");
        QCOMPARE(readBytes(target), content);
        return;
    }
    QVERIFY(error);
    QCOMPARE(clean(error->path()), clean(target));
    // The earlier file whole, or none, and no half-written file beside it.
    const auto after = treeListing(dir.filePath("disk"));
    QVERIFY2(after == before, qPrintable(listingChanges(before, after)));
}

void TestSetupLogic::writeSystem8bit_fullDisk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Atlas.txt");
    writeBytes(path, "/old/Atlas/start\r\n");
    const auto before = treeListing(dir.path());
    std::optional<FileError> error;
    {
        FullDisk disk(8);
        try {
            setup::writeSystem8bit(path, QStringLiteral("/a/longer/path/to/Atlas/start\r\n"));
        } catch (const FileError &e) {
            error = e;
        }
    }
    QVERIFY(error);
    QCOMPARE(error->path(), path);
    const auto after = treeListing(dir.path());
    QVERIFY2(after == before, qPrintable(listingChanges(before, after)));
}

void TestSetupLogic::firstMissingFolder_data()
{
    QTest::addColumn<QString>("made"); // folder made below the temporary folder
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected"); // empty: the folder exists
    QTest::newRow("folder exists") << "a/b" << "a/b" << "";
    QTest::newRow("last part missing") << "a" << "a/b" << "a/b";
    QTest::newRow("several parts missing") << "a" << "a/b/c/d" << "a/b";
    QTest::newRow("trailing separator") << "a" << "a/b/" << "a/b";
    QTest::newRow("a file in the way is not claimed") << "a/file" << "a/file/b" << "a/file/b";
}

void TestSetupLogic::firstMissingFolder()
{
    QFETCH(QString, made);
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    if (made.endsWith("file"))
        writeBytes(dir.filePath(made), "f");
    else
        QDir().mkpath(dir.filePath(made));
    const QString got = setup::firstMissingFolder(QDir::toNativeSeparators(dir.filePath(folder)));
    QCOMPARE(clean(got), expected.isEmpty() ? QString() : clean(dir.filePath(expected)));
}

void TestSetupLogic::install_fullDisk_data()
{
    QTest::addColumn<QString>("base"); // below the temporary folder
    QTest::addColumn<bool>("existed"); // an earlier installation is there
    QTest::addColumn<qint64>("bigSize"); // a large file on the CD; 0: none
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("failing"); // the file the message names
    QTest::newRow("a file does not fit; the new folder goes")
        << "disk" << false << qint64(256 * 1024) << qint64(64 * 1024) << "disk/Atlas/big.bin";
    QTest::newRow("its new parents go too")
        << "disk/new/parents" << false << qint64(256 * 1024) << qint64(64 * 1024)
        << "disk/new/parents/Atlas/big.bin";
    QTest::newRow("a file does not fit; an earlier installation stays")
        << "disk" << true << qint64(256 * 1024) << qint64(64 * 1024) << "disk/Atlas/big.bin";
    QTest::newRow("every file fits but the marker")
        << "disk" << false << qint64(0) << qint64(16) << "home/Atlas.txt";
}

void TestSetupLogic::install_fullDisk()
{
    QFETCH(QString, base);
    QFETCH(bool, existed);
    QFETCH(qint64, bigSize);
    QFETCH(qint64, limit);
    QFETCH(QString, failing);
    QTemporaryDir dir;
    writeBytes(dir.filePath("cd/Data/start.sh"), "#!/bin/sh\n");
    writeBytes(dir.filePath("cd/Data/BookTXT/1.htm"), "page one");
    if (bigSize > 0)
        writeBytes(dir.filePath("cd/Data/big.bin"), pattern(bigSize));
    QDir().mkpath(dir.filePath("disk"));
    QDir().mkpath(dir.filePath("home"));
    const QString installed = base + "/Atlas";
    if (existed) {
        writeBytes(dir.filePath(installed + "/start.sh"), "#!/bin/sh\necho earlier\n");
        writeBytes(dir.filePath(installed + "/BookTXT/1.htm"), "earlier page one");
        writeBytes(dir.filePath(installed + "/notes.txt"), "the operator's own");
    }
    InstallPlan plan;
    plan.cdFolder = QDir::toNativeSeparators(dir.filePath("cd"));
    plan.sourceFolder = QDir::toNativeSeparators(dir.filePath("cd/Data"));
    plan.installFolder = QDir::toNativeSeparators(dir.filePath(installed));
    plan.runFile = "start.sh";
    plan.markerPath = QDir::toNativeSeparators(dir.filePath("home/Atlas.txt"));
    const auto before = treeListing(dir.path());

    std::optional<QString> problem;
    bool limited = false;
    {
        FullDisk disk { rlim_t(limit) };
        limited = disk.active();
        problem = setup::install(plan);
    }
    QVERIFY(limited);
    QVERIFY2(problem, "a full disk was reported as success");
    QVERIFY2(problem->contains(QDir::toNativeSeparators(dir.filePath(failing))),
        qPrintable(*problem));
    QVERIFY(!QFileInfo::exists(plan.markerPath));
    const auto after = treeListing(dir.path());
    if (!existed) {
        // The disk as it was: the folders made for the installation are gone.
        QVERIFY2(after == before, qPrintable(listingChanges(before, after)));
        const QString made = QDir::toNativeSeparators(dir.filePath(base.section('/', 0, 1)));
        QVERIFY2(problem->contains(removedFolderText(base == "disk" ? plan.installFolder : made)),
            qPrintable(*problem));
        return;
    }
    QVERIFY2(listingOutside(after, installed) == listingOutside(before, installed),
        qPrintable(listingChanges(before, after)));
    QVERIFY2(problem->contains(keptFolderText(plan.installFolder)), qPrintable(*problem));
    // Each file there is whole: its earlier content or the CD's, nothing else.
    const auto source = treeListing(plan.sourceFolder);
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!it.key().startsWith(installed + '/'))
            continue;
        const QString name = it.key().mid(installed.size() + 1);
        QVERIFY2(it.value() == before.value(it.key()) || it.value() == source.value(name),
            qPrintable(it.key()));
    }
    QCOMPARE(after.value(installed + "/notes.txt"), before.value(installed + "/notes.txt"));
}

void TestSetupLogic::install_sourceLinkedOutsideCd()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("outside/start.sh"), "#!/bin/sh\necho not from the CD\n");
    writeBytes(dir.filePath("cd/Real/start.sh"), "#!/bin/sh\n");
    QDir().mkpath(dir.filePath("disk"));
    QVERIFY(QFile::link(dir.filePath("outside"), dir.filePath("cd/Data")));
    QVERIFY(QFile::link(dir.filePath("cd/Real"), dir.filePath("cd/Inner")));
    InstallPlan plan;
    plan.cdFolder = QDir::toNativeSeparators(dir.filePath("cd"));
    plan.sourceFolder = QDir::toNativeSeparators(dir.filePath("cd/Data"));
    plan.installFolder = QDir::toNativeSeparators(dir.filePath("disk/Atlas"));
    plan.runFile = "start.sh";
    plan.markerPath = QDir::toNativeSeparators(dir.filePath("Atlas.txt"));
    const auto before = treeListing(dir.path());
    const std::optional<QString> problem = setup::install(plan);
    QCOMPARE(problem.value_or(QString()), sourceOutsideText(plan.sourceFolder, plan.cdFolder));
    const auto after = treeListing(dir.path());
    QVERIFY2(after == before, qPrintable(listingChanges(before, after)));

    // A link that stays on the CD is followed.
    plan.sourceFolder = QDir::toNativeSeparators(dir.filePath("cd/Inner"));
    QCOMPARE(setup::install(plan), std::nullopt);
    QCOMPARE(readBytes(dir.filePath("disk/Atlas/start.sh")), QByteArray("#!/bin/sh\n"));
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
    const QByteArray text
        = system8bit(plan.installFolder + QDir::separator() + "start\r\n" + plan.installFolder + "\r\n");
    QCOMPARE(readBytes(plan.markerPath), text);
    QCOMPARE(readBytes(setup::stampPath(plan.installFolder)), text);
    QCOMPARE(setup::rememberedProgram(plan.markerPath), setup::programPath(plan));
}

void TestSetupLogic::writeMarker_makesItsFolder()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("disk/Atlas/start"), "x");
    InstallPlan plan;
    plan.installFolder = QDir::toNativeSeparators(dir.filePath("disk/Atlas"));
    plan.runFile = "start";
    plan.markerPath = QDir::toNativeSeparators(dir.filePath("data/zorvel-setup/Atlas.txt"));
    setup::writeMarker(plan);
    QCOMPARE(setup::rememberedProgram(plan.markerPath), setup::programPath(plan));

    // A file where the folder should be: reported, nothing written.
    writeBytes(dir.filePath("blocked"), "a file of the user's");
    plan.markerPath = QDir::toNativeSeparators(dir.filePath("blocked/Atlas.txt"));
    QVERIFY_THROWS_EXCEPTION(FileError, setup::writeMarker(plan));
    QCOMPARE(readBytes(dir.filePath("blocked")), QByteArray("a file of the user's"));
}

void TestSetupLogic::writeMarker_stampFailsTakesMarkerBack()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("disk/Atlas/start"), "x");
    // A folder where the stamp should go.
    QDir().mkpath(dir.filePath("disk/Atlas/") + stampFileName);
    InstallPlan plan;
    plan.installFolder = QDir::toNativeSeparators(dir.filePath("disk/Atlas"));
    plan.runFile = "start";
    plan.markerPath = QDir::toNativeSeparators(dir.filePath("Atlas.txt"));
    QVERIFY_THROWS_EXCEPTION(FileError, setup::writeMarker(plan));
    QVERIFY(!QFileInfo::exists(plan.markerPath));

    // An earlier marker comes back as it was.
    writeBytes(plan.markerPath, "an earlier marker\r\n");
    QVERIFY_THROWS_EXCEPTION(FileError, setup::writeMarker(plan));
    QCOMPARE(readBytes(plan.markerPath), QByteArray("an earlier marker\r\n"));
}

void TestSetupLogic::defaultMarkerFolder_data()
{
    QTest::addColumn<QByteArray>("dataHome"); // null: unset
    QTest::addColumn<QString>("expected"); // %h: the home folder
    QTest::newRow("unset") << QByteArray() << "%h/.local/share/zorvel-setup";
    QTest::newRow("empty") << QByteArray("") << "%h/.local/share/zorvel-setup";
    QTest::newRow("relative is ignored") << QByteArray("data") << "%h/.local/share/zorvel-setup";
    QTest::newRow("absolute") << QByteArray("/srv/ann/data") << "/srv/ann/data/zorvel-setup";
}

void TestSetupLogic::defaultMarkerFolder()
{
#ifdef Q_OS_WIN
    QSKIP("the Windows folder comes from LOCALAPPDATA");
#endif
    QFETCH(QByteArray, dataHome);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    if (dataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome);
    const QString got = setup::defaultMarkerFolder();
    if (wasSet)
        qputenv("XDG_DATA_HOME", saved);
    else
        qunsetenv("XDG_DATA_HOME");
    QCOMPARE(got, QString(expected).replace("%h", QDir::homePath()));
    // Never the home folder itself, where the user's own files are.
    QVERIFY(got != QDir::homePath());
}


void TestSetupLogic::rememberedProgram_data()
{
    // %1 is the temporary folder, which holds the installation folder Atlas
    // with the program prog, a folder sub, and a program outside at %1/prog.
    QTest::addColumn<QByteArray>("marker"); // null: no marker file
    QTest::addColumn<QByteArray>("stamp"); // null: no stamp; "=": the marker's text
    QTest::addColumn<QString>("expected");
    const QByteArray usual = "%1/Atlas/prog\r\n%1/Atlas\r\n";
    QTest::newRow("program in its stamped folder") << usual << QByteArray("=") << "%1/Atlas/prog";
    QTest::newRow("no stamp") << usual << QByteArray() << "";
    QTest::newRow("stamp of another marker")
        << usual << QByteArray("%1/Atlas/other\r\n%1/Atlas\r\n") << "";
    QTest::newRow("program outside the folder it names")
        << QByteArray("%1/prog\r\n%1/Atlas\r\n") << QByteArray("=") << "";
    QTest::newRow("program lifted out by dots")
        << QByteArray("%1/Atlas/../prog\r\n%1/Atlas\r\n") << QByteArray("=") << "";
    QTest::newRow("the folder itself") << QByteArray("%1/Atlas\r\n%1/Atlas\r\n")
                                       << QByteArray("=") << "";
    QTest::newRow("a folder, not a program") << QByteArray("%1/Atlas/sub\r\n%1/Atlas\r\n")
                                             << QByteArray("=") << "";
    QTest::newRow("program removed since")
        << QByteArray("%1/Atlas/gone\r\n%1/Atlas\r\n") << QByteArray("=") << "";
    // What the user keeps at the marker's place: one line naming a program.
    QTest::newRow("one line, as a user's note") << QByteArray("%1/Atlas/prog\r\n")
                                                << QByteArray("=") << "";
    QTest::newRow("empty marker") << QByteArray("") << QByteArray("=") << "";
    QTest::newRow("no marker file") << QByteArray() << QByteArray() << "";
}

void TestSetupLogic::rememberedProgram()
{
    QFETCH(QByteArray, marker);
    QFETCH(QByteArray, stamp);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString root = dir.path();
    writeBytes(dir.filePath("prog"), "p");
    writeBytes(dir.filePath("Atlas/prog"), "p");
    QDir().mkpath(dir.filePath("Atlas/sub"));
    const auto filled = [&](const QByteArray &text) {
        return QString::fromLatin1(text).replace("%1", root).toLocal8Bit();
    };
    const QString markerPath = dir.filePath("Atlas.txt");
    if (!marker.isNull())
        writeBytes(markerPath, filled(marker));
    if (!stamp.isNull())
        writeBytes(setup::stampPath(dir.filePath("Atlas")), filled(stamp == "=" ? marker : stamp));
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
