// The work folder: the program folder when it is writable, else ~/Zorvel
// with Data, Export, the sample texts and a link to Resources.
#include "core/common/paths.h"
#include "core/project/workfolder.h"

#include <QtTest>

using namespace zorvel;

class TestWorkFolder : public QObject {
    Q_OBJECT
private slots:
    void writableProgramFolderIsTheWorkFolder();
    void readOnlyProgramFolderGetsHomeFolder();
    void secondStartKeepsWhatTheUserChanged();
    void unusableHomeFallsBackToProgramFolder();

private:
    static void makeProgramFolder(const QString &folder);
    static void write(const QString &path, const QByteArray &bytes);
    static QByteArray read(const QString &path);
};

void TestWorkFolder::write(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TestWorkFolder::read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

void TestWorkFolder::makeProgramFolder(const QString &folder)
{
    write(folder + "/Resources/Export.inf", "export script");
    write(folder + "/Resources/MyBook.jpg", "picture");
    write(folder + "/samples/bagh.txt", "sample one");
    write(folder + "/samples/nan.txt", "sample two");
    write(folder + "/samples/notes.md", "not a text");
}

void TestWorkFolder::writableProgramFolderIsTheWorkFolder()
{
    QTemporaryDir program, home;
    makeProgramFolder(program.path());
    QCOMPARE(chooseWorkFolder(program.path(), true, home.path()), program.path());
    QVERIFY(!QFileInfo::exists(home.path() + "/Zorvel"));
}

void TestWorkFolder::readOnlyProgramFolderGetsHomeFolder()
{
    QTemporaryDir program, home;
    makeProgramFolder(program.path());
    const QString work = chooseWorkFolder(program.path(), false, home.path());
    QCOMPARE(work, home.path() + "/Zorvel");
    QVERIFY(QFileInfo(work + "/Data").isDir());
    QVERIFY(QFileInfo(work + "/Export").isDir());
    QCOMPARE(read(work + "/bagh.txt"), QByteArray("sample one"));
    QCOMPARE(read(work + "/nan.txt"), QByteArray("sample two"));
    QVERIFY(!QFileInfo::exists(work + "/notes.md"));
    // The design value of the cover picture resolves through the link.
    QVERIFY(QFileInfo(work + "/Resources").isSymLink());
    const QString cover = absoluteFieldPath(QStringLiteral("Resources/MyBook.jpg"), work);
    QCOMPARE(read(cover), QByteArray("picture"));
    QCOMPARE(read(work + "/Resources/Export.inf"), QByteArray("export script"));
}

void TestWorkFolder::secondStartKeepsWhatTheUserChanged()
{
    QTemporaryDir program, home;
    makeProgramFolder(program.path());
    const QString work = chooseWorkFolder(program.path(), false, home.path());
    write(work + "/bagh.txt", "edited by the user");
    write(work + "/Data/a1.txt", "a book");
    QVERIFY(QFile::remove(work + "/nan.txt"));
    QCOMPARE(chooseWorkFolder(program.path(), false, home.path()), work);
    QCOMPARE(read(work + "/bagh.txt"), QByteArray("edited by the user"));
    QCOMPARE(read(work + "/Data/a1.txt"), QByteArray("a book"));
    QCOMPARE(read(work + "/nan.txt"), QByteArray("sample two"));
}

void TestWorkFolder::unusableHomeFallsBackToProgramFolder()
{
    QTemporaryDir program, home;
    makeProgramFolder(program.path());
    // home/Zorvel is a file, so no folder can be made there.
    write(home.path() + "/Zorvel", "in the way");
    QCOMPARE(chooseWorkFolder(program.path(), false, home.path()), program.path());
    QCOMPARE(chooseWorkFolder(program.path(), false, QString()), program.path());
}

QTEST_GUILESS_MAIN(TestWorkFolder)
#include "test_workfolder.moc"
