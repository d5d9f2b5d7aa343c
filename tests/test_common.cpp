// File-system service, code pages, path rules and the message catalogue.
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/wholefile.h"
#include "support/filesizelimit.h"
#include "support/tempprogram.h"

#include <QtTest>

#include <unistd.h>

using namespace zorvel;
using zorvel::testing::FileSizeLimit;
using zorvel::testing::TempProgram;

class TestCommon : public QObject {
    Q_OBJECT
private slots:
    void codePage1256_data();
    void codePage1256();
    void codePageUnknownCharactersBecomeQuestionMarks();
    void unicodeFilesCarryMarkOnlyWhenCreated();
    void unicodeReadAcceptsFilesWithAndWithoutMark();
    void savedFileKeepsOldContentWhenWriteFails();
    void fullDiskKeepsOldFilesAndTornFilesNeverStay_data();
    void fullDiskKeepsOldFilesAndTornFilesNeverStay();
    void failuresThrowWithPathAndReason();
    void copyFileReplacesAndKeepsItself();
    void inputTextEncodings_data();
    void inputTextEncodings();
    void doSlashVariants_data();
    void doSlashVariants();
    void absolutePathRule();
    void extensionAndFileName();
    void catalogueTexts_data();
    void catalogueTexts();
};

void TestCommon::codePage1256_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii passes through") << QByteArray("abc 123") << QStringLiteral("abc 123");
    QTest::newRow("persian letters") << QByteArray("\xc8\xc7\xdB") << QStringLiteral(u"باغ");
    QTest::newRow("pe che zhe gaf") << QByteArray("\x81\x8d\x8e\x90") << QStringLiteral(u"پچژگ");
    QTest::newRow("arabic kaf and yeh") << QByteArray("\xdf\xed") << QStringLiteral(u"كي");
    QTest::newRow("zwnj and rlm") << QByteArray("\x9d\xfe") << QStringLiteral(u"\u200C\u200F");
}

void TestCommon::codePage1256()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decode1256(bytes), text);
    bool lossless = false;
    QCOMPARE(encodeCodePage(1256, text, &lossless), bytes);
    QVERIFY(lossless);
}

void TestCommon::codePageUnknownCharactersBecomeQuestionMarks()
{
    bool lossless = true;
    // Farsi yeh (U+06CC) has no byte in 1256; the Arabic yeh has.
    QCOMPARE(encodeCodePage(1256, QStringLiteral(u"\u06CCa"), &lossless), QByteArray("?a"));
    QVERIFY(!lossless);
    QCOMPARE(encodeCodePageChar(1256, QChar(0x064A)), 0xED);
    QCOMPARE(decodeCodePage(1252, "\xe9"), QStringLiteral(u"é"));
    QCOMPARE(codePageForCharset(178), 1256);
    QCOMPARE(codePageForCharset(0), 1252);
}

void TestCommon::unicodeFilesCarryMarkOnlyWhenCreated()
{
    TempProgram tp(false);
    FileSystem fs;
    const QString f = tp.file("a.xml");
    fs.appendUnicode(f, QStringLiteral(u"س\r\n"));
    fs.appendUnicode(f, QStringLiteral("b"));
    QCOMPARE(tp.read("a.xml"), QByteArray("\xff\xfe\x33\x06\r\0\n\0b\0", 10));
    fs.writeUnicode(f, QStringLiteral("x"));
    QCOMPARE(tp.read("a.xml"), QByteArray("\xff\xfex\0", 4));
}

void TestCommon::unicodeReadAcceptsFilesWithAndWithoutMark()
{
    TempProgram tp(false);
    FileSystem fs;
    tp.write("with.txt", QByteArray("\xff\xfe" "a\0b\0", 6));
    tp.write("without.txt", QByteArray("a\0b\0", 4));
    QCOMPARE(fs.readUnicode(tp.file("with.txt")), QStringLiteral("ab"));
    QCOMPARE(fs.readUnicode(tp.file("without.txt")), QStringLiteral("ab"));
}

void TestCommon::savedFileKeepsOldContentWhenWriteFails()
{
    TempProgram tp(false);
    FileSystem fs;
    const QString f = tp.write("keep.xml", "old");
    QFile::setPermissions(tp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    bool threw = false;
    try {
        fs.writeUnicode(f, QStringLiteral("new"));
    } catch (const FsError &) {
        threw = true;
    }
    QFile::setPermissions(tp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    if (!threw && ::geteuid() == 0)
        QSKIP("running as root: permissions do not stop writes");
    QVERIFY(threw);
    QCOMPARE(tp.read("keep.xml"), QByteArray("old"));
}

void TestCommon::fullDiskKeepsOldFilesAndTornFilesNeverStay_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("unicode write over an old file keeps it") << "writeUnicode" << true;
    QTest::newRow("bytes write over an old file keeps it") << "writeBytes" << true;
    QTest::newRow("copy over an old file keeps it") << "copyFile" << true;
    QTest::newRow("append keeps the old content") << "appendUnicode" << true;
    QTest::newRow("new page leaves no file") << "writeWholeUnicode" << false;
    QTest::newRow("page over an old file keeps it") << "writeWholeUnicode" << true;
    QTest::newRow("new media copy leaves no file") << "copyWholeFile" << false;
    QTest::newRow("media copy over an old file keeps it") << "copyWholeFile" << true;
}

void TestCommon::fullDiskKeepsOldFilesAndTornFilesNeverStay()
{
    QFETCH(QString, operation);
    QFETCH(bool, targetExists);
    TempProgram tp(false);
    FileSystem fs;
    const QByteArray old(300, 'o');
    const QString source = tp.write("in/picture.jpg", QByteArray(13622, 'p'));
    const QString target = tp.file("out/target");
    tp.mkdir("out");
    if (targetExists)
        tp.write("out/target", old);
    const QString text(3000, u'n'); // 6 KB in the Unicode form

    QString failedPath;
    {
        FileSizeLimit full(4096);
        try {
            if (operation == "writeUnicode")
                fs.writeUnicode(target, text);
            else if (operation == "writeBytes")
                fs.writeBytes(target, QByteArray(18000, 'b'));
            else if (operation == "copyFile")
                fs.copyFile(source, target);
            else if (operation == "appendUnicode")
                fs.appendUnicode(target, text + text);
            else if (operation == "writeWholeUnicode")
                writeWholeUnicode(target, text + text);
            else if (operation == "copyWholeFile")
                copyWholeFile(source, target);
        } catch (const FsError &e) {
            failedPath = e.path();
        }
    }
    QCOMPARE(failedPath, target);
    if (targetExists) {
        QCOMPARE(tp.read("out/target"), old);
        QCOMPARE(QDir(tp.file("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"target"});
    } else {
        QCOMPARE(QDir(tp.file("out")).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    // The limit is gone again: the same write now succeeds.
    fs.writeUnicode(target, text);
    QCOMPARE(fs.readUnicode(target), text);
}

void TestCommon::failuresThrowWithPathAndReason()
{
    TempProgram tp(false);
    FileSystem fs;
    const QString missing = tp.file("nope/none.txt");
    try {
        fs.readBytes(missing);
        QFAIL("reading a missing file must throw");
    } catch (const FsError &e) {
        QCOMPARE(e.path(), missing);
        QVERIFY(!e.reason().isEmpty());
        QVERIFY(e.describe().contains(QStringLiteral("none.txt")));
    }
    QVERIFY_THROWS_EXCEPTION(FsError, fs.createFolder(tp.file("a/b")));
    fs.createFolder(tp.file("a"));
    QVERIFY_THROWS_EXCEPTION(FsError, fs.createFolder(tp.file("a")));
    QVERIFY_THROWS_EXCEPTION(FsError, fs.copyFile(tp.file("x"), tp.file("y")));
    QVERIFY_THROWS_EXCEPTION(FsError, fs.deleteFile(tp.file("x")));
    QVERIFY_THROWS_EXCEPTION(FsError, fs.listFiles(tp.file("x")));
}

void TestCommon::copyFileReplacesAndKeepsItself()
{
    TempProgram tp(false);
    FileSystem fs;
    tp.write("src/one.txt", "1");
    tp.write("dst/one.txt", "old");
    fs.copyFile(tp.file("src/one.txt"), tp.file("dst/one.txt"));
    QCOMPARE(tp.read("dst/one.txt"), QByteArray("1"));
    fs.copyFile(tp.file("dst/one.txt"), tp.file("dst/one.txt")); // onto itself: unchanged
    QCOMPARE(tp.read("dst/one.txt"), QByteArray("1"));
}

void TestCommon::inputTextEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString persian = QStringLiteral(u"نان");
    QTest::newRow("windows-1256") << QByteArray("\xe4\xc7\xe4") << persian;
    QTest::newRow("utf-8 with mark") << (QByteArray("\xef\xbb\xbf") + persian.toUtf8()) << persian;
    QTest::newRow("utf-8 without mark") << persian.toUtf8() << persian;
    QTest::newRow("utf-16 le") << toUtf16Le(persian, true) << persian;
    QTest::newRow("utf-16 be") << QByteArray("\xfe\xff\x06\x46\x06\x27\x06\x46", 8) << persian;
    QTest::newRow("ascii") << QByteArray("plain") << QStringLiteral("plain");
    QTest::newRow("empty") << QByteArray() << QString();
    // Bytes that are not valid UTF-8 fall back to 1256 even when some look like it.
    QTest::newRow("utf-8 cut short is 1256") << QByteArray("ab\xd8") << QStringLiteral(u"abط");
    QTest::newRow("overlong utf-8 is 1256") << QByteArray("\xe0\x80\xaf") << QStringLiteral(u"\u00E0\u20AC\u00AF");
    QTest::newRow("invalid utf-8 is 1256") << QByteArray("\xd8\xa8\xc8") << QStringLiteral(u"ط\u00A8ب");
}

void TestCommon::inputTextEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeInputText(bytes), text);
}

void TestCommon::doSlashVariants_data()
{
    const QString s = QString(folderSeparator());
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("always");
    QTest::newRow("folder gets separator") << "C:" + s + "Data" << "C:" + s + "Data" + s
                                           << "C:" + s + "Data" + s;
    QTest::newRow("already terminated") << "C:" + s + "Data" + s << "C:" + s + "Data" + s
                                        << "C:" + s + "Data" + s;
    QTest::newRow("one character") << "C" << "C" << "C" + s;
    QTest::newRow("empty") << "" << "" << s;
}

void TestCommon::doSlashVariants()
{
    QFETCH(QString, path);
    QFETCH(QString, main);
    QFETCH(QString, always);
    QCOMPARE(DoSlash(path), main);
    QCOMPARE(DoSlashAlways(path), always);
}

void TestCommon::absolutePathRule()
{
    const QString s = QString(folderSeparator());
#ifdef Q_OS_WIN
    QVERIFY(isAbsoluteFieldPath("C:\\Books"));
    QCOMPARE(absoluteFieldPath("D:\\x", "C:\\Prog"), QStringLiteral("D:\\x"));
#else
    QVERIFY(isAbsoluteFieldPath("/books"));
    QVERIFY(!isAbsoluteFieldPath("C:/Books"));
    QCOMPARE(absoluteFieldPath("/x", "/prog"), QStringLiteral("/x"));
#endif
    QVERIFY(!isAbsoluteFieldPath("Data"));
    QVERIFY(!isAbsoluteFieldPath(""));
    QCOMPARE(absoluteFieldPath("Data", s + "prog"), s + "prog" + s + "Data");
    QCOMPARE(absoluteFieldPath("Data", s + "prog" + s), s + "prog" + s + "Data");
}

void TestCommon::extensionAndFileName()
{
    QCOMPARE(extensionOf("a.b.TXT"), QStringLiteral("TXT"));
    QCOMPARE(extensionOf("txt"), QStringLiteral("txt"));
    QCOMPARE(extensionOf("notes."), QString());
    QCOMPARE(fileNameOf("C:\\x\\photo.jpg"), QStringLiteral("photo.jpg"));
    QCOMPARE(fileNameOf("/x/y/photo.jpg"), QStringLiteral("photo.jpg"));
    QCOMPARE(fileNameOf("photo.jpg"), QStringLiteral("photo.jpg"));
}

void TestCommon::catalogueTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const QString catchAll = QStringLiteral(u"بروز اشكال غير قابل كنترل!\u200F");
    QTest::newRow("0 is the catch-all") << 0 << catchAll;
    QTest::newRow("30 is the catch-all") << 30 << catchAll;
    QTest::newRow("-1 is the catch-all") << -1 << catchAll;
    QTest::newRow("1 with mark inside") << 1 << QStringLiteral(u"فايل\u200Fهاي ورودي پيدا نشد!\u200F");
    QTest::newRow("4") << 4 << QStringLiteral(u"فايل ساخته شد!\u200F");
    QTest::newRow("14") << 14 << QStringLiteral(u"تصوير پيش\u200Fزمينه يافت نشد!\u200F");
    QTest::newRow("15") << 15
        << QStringLiteral(u"بر اساس تعداد كتاب انتخاب شده در رديف\u200Fها، متني براي تبديل وجود ندارد!\u200F");
    QTest::newRow("24") << 24 << QStringLiteral(u"مسير تصوير پيش\u200Fزمينه وارد نشده است!\u200F");
    QTest::newRow("27") << 27 << QStringLiteral(u"شيوه\u200Fنامه گرفتن خروجي يافت نشد!\u200F");
    QTest::newRow("29 success with zwnj")
        << 29 << QStringLiteral(u"خروجي گرفته شده آماده رايت بر روي سي\u200Cدي است!\u200F");
}

void TestCommon::catalogueTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    const QString shown = messageText(static_cast<qint16>(code));
    QCOMPARE(toUtf16Le(shown, false), toUtf16Le(text, false));
}

QTEST_GUILESS_MAIN(TestCommon)
#include "test_common.moc"
