// The disc image of an export: unpacked again with xorriso, through its Rock
// Ridge names and modes and through its Joliet tree, and read back byte for
// byte; the volume names; a full disk; zorvel-export --iso.
#include "core/export/discimage.h"
#include "support/tempprogram.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace zorvel;
using zorvel::testing::TempProgram;
using zorvel::testing::utf16le;

namespace {

// Every file under `root` by its relative path, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(QDir(root).relativeFilePath(path),
            file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return files;
}

// xorriso unpacking `image` into `folder`; `tree` "rockridge" or "joliet".
bool unpack(const QString &image, const QString &folder, const QString &tree, QString *log)
{
    QStringList args { QStringLiteral("-osirrox"), QStringLiteral("on") };
    if (tree == QLatin1String("joliet"))
        args << QStringLiteral("-rockridge") << QStringLiteral("off") << QStringLiteral("-joliet")
             << QStringLiteral("on");
    args << QStringLiteral("-indev") << image << QStringLiteral("-extract") << QStringLiteral("/")
         << folder;
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QStringLiteral("xorriso"), args);
    const bool done = run.waitForFinished(120000) && run.exitCode() == 0;
    *log = QString::fromLocal8Bit(run.readAll());
    return done;
}

// The volume identifier of the descriptor of `type` (1 primary, 2 Joliet's).
QByteArray volumeIdOf(const QString &image, int type)
{
    QFile file(image);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (int sector = 16; sector < 32; ++sector) {
        file.seek(qint64(sector) * 2048);
        const QByteArray descriptor = file.read(2048);
        if (descriptor.size() < 72 || descriptor.at(0) == char(255))
            break;
        if (descriptor.at(0) == char(type) && descriptor.mid(1, 5) == "CD001")
            return descriptor.mid(40, 32);
    }
    return {};
}

QString ucs2(const QByteArray &bigEndian)
{
    QString text;
    for (qsizetype i = 0; i + 1 < bigEndian.size(); i += 2)
        text += QChar(char16_t((uchar(bigEndian[i]) << 8) | uchar(bigEndian[i + 1])));
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// An export's top: both installers, AutoPlay, cd.inf, and Data with a long
// Persian name, a deep folder and a hidden file.
const QString kLong = QStringLiteral(u"كتاب نمونهٔ يكم با نامي بلندتر از سي و يك حرف.htm");

void writeExport(const TempProgram &tp, const QString &folder)
{
    tp.write(folder + "/setup", "#!/bin/sh\necho setup\n");
    QFile::setPermissions(tp.file(folder + "/setup"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
            | QFileDevice::ExeOther);
    tp.write(folder + "/setup.exe", QByteArray("MZ\x90\0\3\0\0\0", 8));
    tp.write(folder + "/autorun.inf", "[autorun]\r\nopen=setup.exe\r\nicon=setup.exe,0\r\n");
    tp.write(folder + "/cd.inf", QStringLiteral(u"[ CD Name ]\r\nAtlas of Books 2\r\n").toUtf8());
    tp.write(folder + "/Data/BookTXT/" + kLong, utf16le(QStringLiteral(u"متن")));
    tp.write(folder + "/Data/a/b/c/d/e/f/g/h/i/deep.txt", "deep");
    tp.write(folder + "/Data/.hidden", "h");
    QByteArray big(300 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char(i * 31 + i / 97);
    tp.write(folder + "/Data/reader/fonts/big.woff2", big);
}

} // namespace

class TestDiscImage : public QObject {
    Q_OBJECT
private slots:
    void volumeIds_data();
    void volumeIds();
    void cdNameOf();
    void imageUnpacksToTheExport();
    void fullDiskLeavesNoImage();
    void missingFolder();
    void commandLine();
};

void TestDiscImage::volumeIds_data()
{
    QTest::addColumn<QString>("cdName");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("joliet");
    QTest::newRow("Latin") << "Atlas of Books 2"
                           << "ATLAS_OF_BOOKS_2"
                           << "Atlas of Books 2";
    QTest::newRow("longer than both") << "An Atlas of the World's Great Libraries, 2nd edition"
                                      << "AN_ATLAS_OF_THE_WORLD_S_GREAT_LI"
                                      << "An Atlas of the ";
    QTest::newRow("Persian") << QStringLiteral(u"كتابخانه من") << "CD"
                             << QStringLiteral(u"كتابخانه من");
    QTest::newRow("Persian with a number")
        << QStringLiteral(u"كتاب 2") << "_____2" << QStringLiteral(u"كتاب 2");
    QTest::newRow("no half character at the cut")
        << QStringLiteral(u"abcdefghijklmno\U0001F4DA") << "ABCDEFGHIJKLMNO_"
        << "abcdefghijklmno";
}

void TestDiscImage::volumeIds()
{
    QFETCH(QString, cdName);
    QFETCH(QString, iso);
    QFETCH(QString, joliet);
    QCOMPARE(isoVolumeId(cdName), iso);
    QCOMPARE(jolietVolumeId(cdName), joliet);
    QVERIFY(isoVolumeId(cdName).size() <= 32);
}

void TestDiscImage::cdNameOf()
{
    TempProgram tp { false };
    tp.write("a/cd.inf", "[ Def Path ]\r\nC:\\\r\n[ CD Name ]\r\nAtlas\r\n");
    QCOMPARE(zorvel::cdNameOf(tp.file("a")), QStringLiteral("Atlas"));
    QCOMPARE(zorvel::cdNameOf(tp.file("none")), QString());
    QCOMPARE(discImagePath(tp.file("Out/Export 3")), tp.file("Out/Export 3.iso"));
}

void TestDiscImage::imageUnpacksToTheExport()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xorriso")).isEmpty())
        QSKIP("xorriso is not installed");
    TempProgram tp { false };
    writeExport(tp, "Out/Export 1");
    const QString folder = tp.file("Out/Export 1");
    const QString image = discImagePath(folder);
    const DiscImageResult result
        = writeDiscImage(folder, image, QStringLiteral("Atlas of Books 2"));
    QVERIFY2(result.ok(), qPrintable(result.problem));
    QCOMPARE(result.imagePath, image);
    QVERIFY(!QFile::exists(image + ".part"));
    QVERIFY(discImageDoneText(result).contains(image));

    const QMap<QString, QByteArray> expected = filesUnder(folder);
    QString log;
    QVERIFY2(unpack(image, tp.file("rr"), QStringLiteral("rockridge"), &log), qPrintable(log));
    QCOMPARE(filesUnder(tp.file("rr")), expected);
    QVERIFY(QFileInfo(tp.file("rr/setup")).isExecutable());
    QVERIFY(!QFileInfo(tp.file("rr/setup.exe")).isExecutable());
    QVERIFY(QFileInfo::exists(tp.file("rr/autorun.inf")));

    // Joliet: what Windows reads, the same long Unicode names.
    QVERIFY2(unpack(image, tp.file("joliet"), QStringLiteral("joliet"), &log), qPrintable(log));
    QCOMPARE(filesUnder(tp.file("joliet")).keys(), expected.keys());
    QCOMPARE(filesUnder(tp.file("joliet")).value("Data/BookTXT/" + kLong),
        expected.value("Data/BookTXT/" + kLong));

    QCOMPARE(volumeIdOf(image, 1).trimmed(), QByteArray("ATLAS_OF_BOOKS_2"));
    QCOMPARE(ucs2(volumeIdOf(image, 2)), QStringLiteral("Atlas of Books 2"));

    // A second image replaces the first whole.
    tp.write("Out/Export 1/Data/new.txt", "new");
    QVERIFY(writeDiscImage(folder, image, QStringLiteral("Atlas")).ok());
    QVERIFY2(unpack(image, tp.file("again"), QStringLiteral("rockridge"), &log), qPrintable(log));
    QCOMPARE(filesUnder(tp.file("again")), filesUnder(folder));
}

void TestDiscImage::fullDiskLeavesNoImage()
{
    TempProgram tp { false };
    writeExport(tp, "Out/Export 1");
    const QString folder = tp.file("Out/Export 1");
    const QString image = discImagePath(folder);
    tp.write("Out/Export 1.iso", "an earlier image");
    DiscImageResult result;
    bool limited = false;
    {
        // No file of this process grows past 128 KiB; writes fail instead of
        // raising SIGXFSZ.
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit earlier {};
        getrlimit(RLIMIT_FSIZE, &earlier);
        rlimit small = earlier;
        small.rlim_cur = 128 * 1024;
        limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
        result = writeDiscImage(folder, image, QStringLiteral("Atlas"));
        setrlimit(RLIMIT_FSIZE, &earlier);
        std::signal(SIGXFSZ, handler);
    }
    QVERIFY(limited);
    QVERIFY2(!result.ok(), "a full disk was reported as success");
    QVERIFY2(result.problem.contains(image + ".part"), qPrintable(result.problem));
    QVERIFY(result.imagePath.isEmpty());
    QVERIFY(!QFile::exists(image + ".part"));
    QCOMPARE(tp.read("Out/Export 1.iso"), QByteArray("an earlier image"));
    QVERIFY(discImageFailedText(result).contains(result.problem));
}

void TestDiscImage::missingFolder()
{
    TempProgram tp { false };
    const DiscImageResult result
        = writeDiscImage(tp.file("gone"), tp.file("gone.iso"), QStringLiteral("Atlas"));
    QVERIFY(!result.ok());
    QVERIFY(result.problem.contains(tp.file("gone")));
    QVERIFY(!QFile::exists(tp.file("gone.iso")));
}

void TestDiscImage::commandLine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xorriso")).isEmpty())
        QSKIP("xorriso is not installed");
    // The shipped script copies setup.exe, which only a build with mingw-w64 has.
    if (!QFile::exists(QStringLiteral(ZORVEL_BIN_DIR "/Resources/setup.exe")))
        QSKIP("setup.exe was not built (x86_64-w64-mingw32-g++-posix is not installed)");
    TempProgram tp { false };
    tp.write("Data/BookTXT/CDProperty.xml",
        utf16le(QStringLiteral(
            "<strings>\r\n\t<aBookNumber>1</aBookNumber>\r\n\t<bBookNumber>0</bBookNumber>\r\n"
            "\t<cBookNumber>0</cBookNumber>\r\n\t<Olgoo>1</Olgoo>\r\n\t<Music>0</Music>\r\n"
            "\t<Print>0</Print>\r\n</strings>")));
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

    QProcess run;
    run.start(QStringLiteral(ZORVEL_BIN_DIR "/zorvel-export"),
        { QStringLiteral("--iso"), QStringLiteral("--print"), tp.file("Data"), tp.file("Out") });
    QVERIFY(run.waitForFinished(120000));
    const QString err = QString::fromUtf8(run.readAllStandardError());
    QCOMPARE(run.exitCode(), 0);
    const QString folder = tp.file("Out/Export 1");
    QCOMPARE(QString::fromUtf8(run.readAllStandardOutput()),
        folder + u'\n' + folder + QStringLiteral(".iso\n"));
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QVERIFY(tp.exists("Out/Export 1/Data/BookTXT/P.html")); // --print still holds

    QString log;
    QVERIFY2(unpack(folder + ".iso", tp.file("unpacked"), QStringLiteral("rockridge"), &log),
        qPrintable(log));
    QCOMPARE(filesUnder(tp.file("unpacked")), filesUnder(folder));
    for (const char *top : { "autorun.inf", "setup", "setup.exe", "cd.inf", "index.html" })
        QVERIFY2(QFileInfo::exists(tp.file("unpacked/") + QLatin1String(top)), top);
    QVERIFY(QFileInfo(tp.file("unpacked/setup")).isExecutable());
    // The volume is named after the CD Name of the shipped cd.inf.
    QCOMPARE(ucs2(volumeIdOf(folder + ".iso", 2)), jolietVolumeId(zorvel::cdNameOf(folder)));
}

QTEST_GUILESS_MAIN(TestDiscImage)
#include "test_discimage.moc"
