// The installer's windows, offscreen, with a recording host in place of
// message boxes, the modal picker, program starts and the end of setup.
#include "cd_inf.h"
#include "disk_checks.h"
#include "drive_list.h"
#include "environment.h"
#include "folder_list.h"
#include "form1.h"
#include "form2.h"
#include "host.h"
#include "install_paths.h"
#include "messages.h"
#include "picture_button.h"
#include "qt_host.h"
#include "recording_host.h"
#include "setup_fixture.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringConverter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace setup;

namespace {

// Visible pictures and buttons, as "P0 B0 B2".
QString shown(const Form1 &form)
{
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        if (form.Pic[i]->isVisible())
            parts << QStringLiteral("P%1").arg(i);
    }
    for (int i = 0; i < 3; ++i) {
        if (form.btn[i]->isVisible())
            parts << QStringLiteral("B%1").arg(i);
    }
    return parts.join(u' ');
}

} // namespace

class TestSetupWindows : public QObject {
    Q_OBJECT

private slots:
    void load_cdInfMissing();
    void load_sectionMissing_data();
    void load_sectionMissing();
    void load_sectionsInAnyOrder();
    void load_layout();

    void pages_nextBackNextInstall();
    void pages_outOfRangeIgnored();
    void destination_trailingSeparator_data();
    void destination_trailingSeparator();

    void picker_opensAtDestination();
    void picker_rootChosen();
    void picker_highlightedRowIsNotChosen();
    void picker_closedChangesNothing();
    void picker_driveChangeOpensItsRoot();

    void install_copiesWritesMarkerStartsAndEnds();
    void install_setupAtDriveRoot();
    void install_twiceReplacesFiles();
    void install_secondRunStartsRememberedProgram();
    void install_rememberedProgramGone();
    void install_missingParentsCreated();
    void install_withoutRunFile();
    void install_sourceMissing();
    void install_copyFailsPartWay();
    void install_runFileMissingAfterCopy();
    void install_markerNotWritable();
    void install_markerFolderMade();
    void install_untrustedMarkerIgnored_data();
    void install_untrustedMarkerIgnored();
    void install_readerWithoutBrowser();
    void qtHost_noBrowser();
    void install_startFails();
    void install_exitBeforeCopy();
    void exitButtonEnds();

    void hostileCdInf_data();
    void hostileCdInf();
    void cdInfInside_data();
    void cdInfInside();
    void install_fullDisk_data();
    void install_fullDisk();

    void qtHost_startsInOwnFolder();
    void screenshots();
};

void TestSetupWindows::load_cdInfMissing()
{
    Fixture fixture;
    Setup setup(fixture);
    QVERIFY(!setup.loaded);
    QCOMPARE(setup.host.messages.size(), 1);
    const QString infPath = fixture.programFolder + QDir::separator() + "cd.inf";
    QCOMPARE(setup.host.messages.first().text, infPath + " file dosn't exist!");
    QCOMPARE(setup.host.messages.first().title, QStringLiteral("Error!"));
    QCOMPARE(setup.host.messages.first().icon, Host::Icon::Critical);
    QCOMPARE(setup.host.endCount, 1);
    QVERIFY(setup.host.starts.isEmpty());
}

void TestSetupWindows::load_sectionMissing_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("missing");
    QTest::newRow("no CD Name") << QStringList { "[ Def Path ]", "/x", "[ Folder Name ]", "Data",
        "[ Run File ]", "start.sh" }
                                << "[ CD Name ]";
    QTest::newRow("CD Name without inner spaces") << QStringList { "[CD Name]", "Atlas",
        "[ Def Path ]", "/x", "[ Folder Name ]", "Data", "[ Run File ]", "start.sh" }
                                                  << "[ CD Name ]";
    QTest::newRow("no Folder Name") << QStringList { "[ CD Name ]", "Atlas", "[ Def Path ]", "/x",
        "[ Run File ]", "start.sh" } << "[ Folder Name ]";
    QTest::newRow("Run File without value line") << QStringList { "[ CD Name ]", "Atlas",
        "[ Def Path ]", "/x", "[ Folder Name ]", "Data", "[ Run File ]" }
                                                 << "[ Run File ]";
}

void TestSetupWindows::load_sectionMissing()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, missing);
    Fixture fixture;
    fixture.writeCdInf(lines);
    Setup setup(fixture);
    QVERIFY(!setup.loaded);
    QCOMPARE(setup.host.messages.size(), 1);
    QVERIFY2(setup.host.messages.first().text.contains('"' + missing + '"'),
        qPrintable(setup.host.messages.first().text));
    QCOMPARE(setup.host.endCount, 1);
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(!QFileInfo::exists(fixture.marker()));
}

void TestSetupWindows::load_sectionsInAnyOrder()
{
    Fixture fixture;
    fixture.writeCdInf({ "[ Run File ]", "start.sh", "[ Folder Name ]", "Data", "[ Def Path ]",
        fixture.disk(), "[ CD Name ]", "Atlas" });
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    QVERIFY(setup.host.messages.isEmpty());
    QCOMPARE(setup.form->windowTitle(), QStringLiteral("Atlas Installer"));
    QCOMPARE(setup.form->cdName, QStringLiteral("Atlas"));
    QCOMPARE(setup.form->defPath, fixture.disk());
    QCOMPARE(setup.form->folderName, QStringLiteral("Data"));
    QCOMPARE(setup.form->runFile, QStringLiteral("start.sh"));
    QCOMPARE(setup.form->page, qint16(0));
    QCOMPARE(shown(*setup.form), QStringLiteral("P0 B0 B2"));
}

void TestSetupWindows::load_layout()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    Form1 &form = *setup.form;
    QCOMPARE(form.size(), QSize(337, 147));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(form.Pic[i]->geometry(), QRect(0, 0, 337, 105));
    QCOMPARE(form.Text1->parentWidget(), form.Pic[1]);
    QCOMPARE(form.Text1->geometry(), QRect(24, 56, 257, 25));
    QCOMPARE(form.bro->geometry(), QRect(288, 56, 25, 25));
    QCOMPARE(form.btn[0]->geometry(), QRect(256, 112, 73, 26));
    QCOMPARE(form.btn[1]->geometry(), QRect(176, 112, 73, 26));
    QCOMPARE(form.btn[2]->geometry(), QRect(8, 112, 49, 26));
    QCOMPARE(form.Timer1->interval(), 500);
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(form.form2->windowTitle(), QStringLiteral("Select folder"));
    QCOMPARE(form.form2->size(), QSize(234, 292));
    QCOMPARE(form.form2->Drive1->geometry(), QRect(8, 8, 217, 21));
    QCOMPARE(form.form2->Dir1->geometry(), QRect(8, 32, 217, 201));
    QCOMPARE(form.form2->btn[0]->geometry(), QRect(64, 256, 105, 26));
}

void TestSetupWindows::pages_nextBackNextInstall()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    Form1 &form = *setup.form;
    QCOMPARE(shown(form), QStringLiteral("P0 B0 B2"));

    QTest::mouseClick(form.btn[0], Qt::LeftButton);
    QCOMPARE(form.page, qint16(1));
    QCOMPARE(shown(form), QStringLiteral("P1 B0 B1 B2"));
    QVERIFY(form.Text1->isVisible());
    QVERIFY(form.bro->isVisible());
    QCOMPARE(form.Text1->text(), fixture.installed());

    QTest::mouseClick(form.btn[1], Qt::LeftButton);
    QCOMPARE(form.page, qint16(0));
    QCOMPARE(shown(form), QStringLiteral("P0 B0 B2"));
    QVERIFY(!form.Text1->isVisible());

    QTest::mouseClick(form.btn[0], Qt::LeftButton);
    QCOMPARE(form.page, qint16(1));
    QCOMPARE(shown(form), QStringLiteral("P1 B0 B1 B2"));

    QVERIFY(!QFileInfo::exists(fixture.installed())); // nothing copied before page 2
    QTest::mouseClick(form.btn[0], Qt::LeftButton);
    QCOMPARE(form.page, qint16(2));
    QCOMPARE(shown(form), QStringLiteral("P2 B2"));
    QVERIFY(QFileInfo::exists(fixture.program()));
}

void TestSetupWindows::pages_outOfRangeIgnored()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    Form1 &form = *setup.form;
    form.getto(-1);
    QCOMPARE(form.page, qint16(0));
    QCOMPARE(shown(form), QStringLiteral("P0 B0 B2"));
    form.getto(3);
    QCOMPARE(form.page, qint16(0));
    QCOMPARE(shown(form), QStringLiteral("P0 B0 B2"));
    QVERIFY(!QFileInfo::exists(fixture.installed()));
}

void TestSetupWindows::destination_trailingSeparator_data()
{
    QTest::addColumn<bool>("trailing");
    QTest::newRow("without trailing separator") << false;
    QTest::newRow("with trailing separator") << true;
}

void TestSetupWindows::destination_trailingSeparator()
{
    QFETCH(bool, trailing);
    Fixture fixture;
    const QString programs = native(fixture.disk() + "/Programs");
    fixture.writeUsualCdInf(trailing ? programs + QDir::separator() : programs);
    Setup setup(fixture);
    setup.form->btn_Click(0);
    QCOMPARE(setup.form->Text1->text(), native(programs + "/Atlas"));
}

void TestSetupWindows::picker_opensAtDestination()
{
    Fixture fixture;
    QDir().mkpath(fixture.disk() + "/Programs");
    fixture.writeUsualCdInf(native(fixture.disk() + "/Programs"));
    Setup setup(fixture);
    setup.form->btn_Click(0);
    QString openedAt;
    QString drive;
    setup.host.onModal = [&](QDialog &dialog) {
        auto &picker = static_cast<Form2 &>(dialog);
        openedAt = picker.Dir1->path();
        drive = picker.Drive1->drive();
    };
    QTest::mouseClick(setup.form->bro, Qt::LeftButton);
    QCOMPARE(setup.host.modalCount, 1);
    QCOMPARE(openedAt, native(fixture.disk() + "/Programs"));
    QCOMPARE(drive, fixture.environment().volumeRootOf(openedAt));
}

void TestSetupWindows::picker_rootChosen()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->btn_Click(0);
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    setup.host.onModal = [&](QDialog &dialog) {
        auto &picker = static_cast<Form2 &>(dialog);
        QVERIFY(picker.Dir1->setPath(root));
        QTest::mouseClick(picker.btn[0], Qt::LeftButton);
        QVERIFY(!picker.isVisible());
    };
    setup.form->bro_Click();
    QCOMPARE(setup.form->defPath, root);
    QCOMPARE(setup.form->Text1->text(), root + "Atlas"); // one separator, not two
    QCOMPARE(setup.form->itit(), root + "Atlas");

    // Every return to the destination page shows the chosen place.
    setup.form->btn_Click(1);
    setup.form->btn_Click(0);
    QCOMPARE(setup.form->Text1->text(), root + "Atlas");
}

void TestSetupWindows::picker_highlightedRowIsNotChosen()
{
    Fixture fixture;
    QDir().mkpath(fixture.disk() + "/Chosen/Highlighted");
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->btn_Click(0);
    setup.host.onModal = [&](QDialog &dialog) {
        auto &picker = static_cast<Form2 &>(dialog);
        // A double click opens "Chosen"; a single click only highlights its subfolder.
        const auto open = picker.Dir1->findItems("Chosen", Qt::MatchExactly);
        QCOMPARE(open.size(), 1);
        emit picker.Dir1->itemActivated(open.first());
        QCOMPARE(picker.Dir1->path(), native(fixture.disk() + "/Chosen"));
        const auto inner = picker.Dir1->findItems("Highlighted", Qt::MatchExactly);
        QCOMPARE(inner.size(), 1);
        picker.Dir1->setCurrentItem(inner.first());
        QTest::mouseClick(picker.btn[0], Qt::LeftButton);
    };
    setup.form->bro_Click();
    QCOMPARE(setup.form->defPath, native(fixture.disk() + "/Chosen"));
    QCOMPARE(setup.form->Text1->text(), native(fixture.disk() + "/Chosen/Atlas"));
}

void TestSetupWindows::picker_closedChangesNothing()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->btn_Click(0);
    setup.host.onModal = [&](QDialog &dialog) {
        auto &picker = static_cast<Form2 &>(dialog);
        picker.Dir1->setPath(QDir::rootPath());
        picker.close();
    };
    setup.form->bro_Click();
    QCOMPARE(setup.form->defPath, fixture.disk());
    QCOMPARE(setup.form->Text1->text(), fixture.installed());
}

void TestSetupWindows::picker_driveChangeOpensItsRoot()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    Form2 &picker = *setup.form->form2;
    picker.Drive1->setRoots({ QDir::toNativeSeparators(QDir::rootPath()), fixture.cd() });
    picker.Dir1->setPath(fixture.disk());
    picker.Drive1->setCurrentIndex(1);
    QCOMPARE(picker.Dir1->path(), fixture.cd());
    picker.Drive1->setCurrentIndex(0);
    QCOMPARE(picker.Dir1->path(), QDir::toNativeSeparators(QDir::rootPath()));
    // A root the list lacks is added and opened.
    picker.Drive1->setDrive(fixture.home());
    QCOMPARE(picker.Drive1->drive(), fixture.home());
    QCOMPARE(picker.Dir1->path(), fixture.home());
}

void TestSetupWindows::install_copiesWritesMarkerStartsAndEnds()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->getto(1);
    setup.form->getto(2);
    QVERIFY(setup.host.messages.isEmpty());
    QCOMPARE(readBytes(fixture.installed() + "/BookTXT/1.htm"), QByteArray("page one"));
    QCOMPARE(readBytes(fixture.marker()), fixture.markerBytes());
    QCOMPARE(setup.host.starts.size(), 1);
    QCOMPARE(setup.host.starts.first().program, fixture.program());
    QCOMPARE(setup.host.starts.first().folder, fixture.installed());
    QVERIFY(setup.form->Timer1->isActive());
    QCOMPARE(setup.host.endCount, 0);
    QTRY_COMPARE_WITH_TIMEOUT(setup.host.endCount, 1, 3000);
    QVERIFY(!setup.form->Timer1->isActive());
}

void TestSetupWindows::install_setupAtDriveRoot()
{
    Fixture fixture(true);
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    QCOMPARE(setup.form->infPath, native(fixture.cd() + "/cd.inf"));
    QCOMPARE(setup.form->plan().sourceFolder, native(fixture.cd() + "/Data"));
    setup.form->getto(2);
    QVERIFY(setup.host.messages.isEmpty());
    QCOMPARE(readBytes(fixture.installed() + "/BookTXT/1.htm"), QByteArray("page one"));
    QCOMPARE(setup.host.starts.size(), 1);
}

void TestSetupWindows::install_twiceReplacesFiles()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    {
        Setup first(fixture);
        first.form->getto(2);
        QCOMPARE(readBytes(fixture.installed() + "/BookTXT/1.htm"), QByteArray("page one"));
    }
    // A newer CD over the same folder, with the earlier program gone.
    writeBytes(fixture.dir.filePath("cd/Data/BookTXT/1.htm"), "page one, second edition");
    QFile::remove(fixture.program());
    Setup second(fixture);
    QVERIFY(second.host.starts.isEmpty());
    second.form->getto(1);
    second.form->getto(2);
    QVERIFY(second.host.messages.isEmpty());
    QCOMPARE(
        readBytes(fixture.installed() + "/BookTXT/1.htm"), QByteArray("page one, second edition"));
    QCOMPARE(second.host.starts.size(), 1);
}

void TestSetupWindows::install_secondRunStartsRememberedProgram()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    {
        Setup first(fixture);
        first.form->getto(2);
    }
    writeBytes(fixture.dir.filePath("cd/Data/BookTXT/1.htm"), "changed on the CD");
    writeBytes(fixture.dir.filePath("cd/Data/new.txt"), "new");

    Setup second(fixture);
    QVERIFY(second.loaded);
    QVERIFY(second.host.messages.isEmpty());
    QCOMPARE(second.host.starts.size(), 1);
    QCOMPARE(second.host.starts.first().program, fixture.program());
    QCOMPARE(second.host.starts.first().folder, fixture.installed());
    QVERIFY(second.form->Timer1->isActive());
    QCOMPARE(second.form->page, qint16(0));
    QTRY_COMPARE_WITH_TIMEOUT(second.host.endCount, 1, 3000);
    QCOMPARE(readBytes(fixture.installed() + "/BookTXT/1.htm"), QByteArray("page one"));
    QVERIFY(!QFileInfo::exists(fixture.installed() + "/new.txt"));
}

void TestSetupWindows::install_rememberedProgramGone()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    writeBytes(fixture.marker(), system8bit(fixture.program() + "\r\n"));
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(setup.host.messages.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
    QCOMPARE(shown(*setup.form), QStringLiteral("P0 B0 B2"));
}

void TestSetupWindows::install_missingParentsCreated()
{
    Fixture fixture;
    const QString base = native(fixture.disk() + "/not/yet/there");
    fixture.writeUsualCdInf(base);
    Setup setup(fixture);
    setup.form->getto(2);
    QVERIFY(setup.host.messages.isEmpty());
    QCOMPARE(readBytes(base + "/Atlas/BookTXT/1.htm"), QByteArray("page one"));
    QCOMPARE(setup.host.starts.size(), 1);
}

void TestSetupWindows::install_withoutRunFile()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk(), QString());
    Setup setup(fixture);
    setup.form->getto(2);
    QVERIFY(setup.host.messages.isEmpty());
    QVERIFY(QFileInfo::exists(fixture.installed() + "/BookTXT/1.htm"));
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
    QCOMPARE(readBytes(fixture.marker()),
        system8bit(fixture.installed() + QDir::separator() + "\r\n" + fixture.installed() + "\r\n"));
    QCOMPARE(shown(*setup.form), QStringLiteral("P2 B2"));
    QTest::qWait(600);
    QCOMPARE(setup.host.endCount, 0);
}

void TestSetupWindows::install_sourceMissing()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    QDir(fixture.dir.filePath("cd/Data")).removeRecursively();
    Setup setup(fixture);
    setup.form->getto(2);
    QCOMPARE(setup.host.messages.size(), 1);
    QCOMPARE(setup.host.messages.first().text, sourceMissingText(native(fixture.cd() + "/Data")));
    QVERIFY(!QFileInfo::exists(fixture.marker()));
    QVERIFY(!QFileInfo::exists(fixture.installed()));
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
    QCOMPARE(setup.form->page, qint16(1)); // back to choosing, as after any failure
    QCOMPARE(shown(*setup.form), QStringLiteral("P1 B0 B1 B2"));
}

void TestSetupWindows::install_copyFailsPartWay()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    QDir().mkpath(fixture.installed() + "/start.sh"); // a folder where a file has to go
    Setup setup(fixture);
    setup.form->getto(2);
    QCOMPARE(setup.host.messages.size(), 1);
    const QString text = setup.host.messages.first().text;
    QVERIFY2(text.startsWith("The installation did not complete."), qPrintable(text));
    QVERIFY2(text.contains("start.sh"), qPrintable(text));
    QVERIFY(!QFileInfo::exists(fixture.marker()));
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
}

void TestSetupWindows::install_runFileMissingAfterCopy()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk(), "player.exe");
    Setup setup(fixture);
    setup.form->getto(2);
    QCOMPARE(setup.host.messages.size(), 1);
    const QString text = setup.host.messages.first().text;
    QVERIFY2(text.startsWith(programMissingText(native(fixture.installed() + "/player.exe"))),
        qPrintable(text));
    // A folder made for a broken installation goes again.
    QVERIFY2(text.contains(removedFolderText(fixture.installed())), qPrintable(text));
    QVERIFY(!QFileInfo::exists(fixture.installed()));
    QVERIFY(!QFileInfo::exists(fixture.marker()));
    QVERIFY(setup.host.starts.isEmpty());
}

void TestSetupWindows::install_markerNotWritable()
{
    Fixture fixture;
    // A file where setup's data folder should be made.
    writeBytes(fixture.home() + "/missing", "a file of the user's");
    fixture.markerFolder = native(fixture.home() + "/missing");
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->getto(2);
    QCOMPARE(setup.host.messages.size(), 1);
    const RecordingHost::Message &message = setup.host.messages.first();
    QCOMPARE(message.icon, Host::Icon::Critical);
    QVERIFY2(message.text.contains(fixture.markerFolder), qPrintable(message.text));
    // An installation that cannot be remembered failed: nothing is started
    // and the folder made for it is gone.
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
    QVERIFY(!QFileInfo::exists(fixture.installed()));
    QCOMPARE(setup.form->page, qint16(1));
}

void TestSetupWindows::install_markerFolderMade()
{
    Fixture fixture;
    fixture.markerFolder = native(fixture.home() + "/.local/share/zorvel-setup");
    fixture.writeUsualCdInf(fixture.disk());
    // A file of the user's with the CD's name, where markers used to go.
    const QString note = native(fixture.home() + "/Atlas.txt");
    writeBytes(note, system8bit(fixture.dir.filePath("cd/Data/start.sh") + "\r\n"));
    const QByteArray noteBytes = readBytes(note);
    Setup setup(fixture);
    QVERIFY(setup.host.starts.isEmpty());
    setup.form->getto(2);
    QVERIFY2(setup.host.messages.isEmpty(), qPrintable(setup.host.messages.value(0).text));
    QCOMPARE(readBytes(fixture.markerFolder + "/Atlas.txt"), fixture.markerBytes());
    QCOMPARE(readBytes(fixture.installed() + '/' + stampFileName), fixture.markerBytes());
    QCOMPARE(readBytes(note), noteBytes);
}

void TestSetupWindows::install_untrustedMarkerIgnored_data()
{
    QTest::addColumn<QString>("marker"); // %i: installation folder, %c: the CD's folder
    QTest::addColumn<bool>("stamped"); // the installation folder holds a matching stamp
    QTest::newRow("a note naming a program") << "%c/Data/start.sh\r\n" << false;
    QTest::newRow("the right lines, no stamp") << "%i/start.sh\r\n%i\r\n" << false;
    QTest::newRow("stamped, program elsewhere") << "%c/Data/start.sh\r\n%i\r\n" << true;
}

void TestSetupWindows::install_untrustedMarkerIgnored()
{
    QFETCH(QString, marker);
    QFETCH(bool, stamped);
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    writeBytes(fixture.program(), "#!/bin/sh\n");
    const QByteArray text
        = system8bit(QString(marker).replace("%i", fixture.installed()).replace("%c", fixture.cd()));
    writeBytes(fixture.marker(), text);
    if (stamped)
        writeBytes(fixture.installed() + '/' + stampFileName, text);
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(setup.host.messages.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
    QCOMPARE(shown(*setup.form), QStringLiteral("P0 B0 B2"));
}

void TestSetupWindows::install_readerWithoutBrowser()
{
    Fixture fixture;
    writeBytes(fixture.dir.filePath("cd/Data/reader/index.html"), "<!doctype html>");
    fixture.writeUsualCdInf(fixture.disk(), "reader\\index.html");
    Setup setup(fixture);
    setup.host.startSucceeds = false;
    setup.form->getto(2);
    QCOMPARE(setup.host.messages.size(), 1);
    const QString reader = native(fixture.installed() + "/reader/index.html");
    const QString text = setup.host.messages.first().text;
    QVERIFY2(text.contains("was installed"), qPrintable(text));
    QVERIFY2(text.contains("\n" + reader + "\n"), qPrintable(text));
    QVERIFY2(text.contains("any web browser"), qPrintable(text));
    // Installed all the same: the marker stays, so the next start opens it.
    QCOMPARE(readBytes(fixture.marker()),
        system8bit(reader + "\r\n" + fixture.installed() + "\r\n"));
}

void TestSetupWindows::qtHost_noBrowser()
{
#ifdef Q_OS_WIN
    QSKIP("opens pages through the system's associations");
#else
    // Nothing on the path that opens a page.
    QTemporaryDir dir;
    const QString page = native(dir.filePath("index.html"));
    writeBytes(page, "<!doctype html>");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()));
    QtHost host;
    const bool started = host.startProgram(page, dir.path());
    qputenv("PATH", path);
    QVERIFY(!started);
#endif
}

void TestSetupWindows::install_startFails()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.host.startSucceeds = false;
    setup.form->getto(2);
    QCOMPARE(setup.host.starts.size(), 1);
    QCOMPARE(setup.host.messages.size(), 1);
    QCOMPARE(setup.host.messages.first().text, startFailedText(fixture.program()));
    QVERIFY(!setup.form->Timer1->isActive());
    QTest::qWait(600);
    QCOMPARE(setup.host.endCount, 0);
}

void TestSetupWindows::install_exitBeforeCopy()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    // Exit pressed while the installation page was being shown.
    QTimer::singleShot(0, setup.form.get(), [&] { setup.form->btn_Click(2); });
    setup.form->getto(2);
    QCOMPARE(setup.host.endCount, 1);
    QVERIFY(!QFileInfo::exists(fixture.installed()));
    QVERIFY(setup.host.starts.isEmpty());
}

void TestSetupWindows::exitButtonEnds()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->btn_Click(0);
    QTest::mouseClick(setup.form->btn[2], Qt::LeftButton);
    QCOMPARE(setup.host.endCount, 1);
    QVERIFY(!QFileInfo::exists(fixture.installed()));
}

void TestSetupWindows::hostileCdInf_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("value"); // %1: the folder that holds the CD, disk and home
    QTest::addColumn<bool>("linked"); // the CD holds a link to the folder beside it
    const QString cd = markerCdName;
    const QString folder = markerFolderName;
    const QString run = markerRunFile;
    QTest::newRow("CD Name: parent path") << cd << "../../escaped" << false;
    QTest::newRow("CD Name: parent path, backslashes") << cd << "..\\..\\escaped" << false;
    QTest::newRow("CD Name: parent") << cd << ".." << false;
    QTest::newRow("CD Name: absolute") << cd << "%1/outside" << false;
    QTest::newRow("CD Name: drive letter") << cd << "C:escaped" << false;
    QTest::newRow("CD Name: NUL cuts it to a parent") << cd << QString::fromUtf16(u"..\0x", 4)
                                                      << false;
    QTest::newRow("Folder Name: parent path") << folder << "../outside" << false;
    QTest::newRow("Folder Name: parent path, backslash") << folder << "..\\outside" << false;
    QTest::newRow("Folder Name: parent inside the path") << folder << "Data/../../outside"
                                                         << false;
    QTest::newRow("Folder Name: absolute") << folder << "%1/outside" << false;
    QTest::newRow("Folder Name: leading backslash") << folder << "\\outside" << false;
    QTest::newRow("Folder Name: drive letter") << folder << "C:\\outside" << false;
    QTest::newRow("Folder Name: empty, the whole CD") << folder << "" << false;
    QTest::newRow("Folder Name: a link that leaves the CD") << folder << "Linked" << true;
    QTest::newRow("Run File: parent path") << run << "../../../bin/true" << false;
    QTest::newRow("Run File: parent path, backslashes")
        << run << "..\\..\\..\\..\\outside\\evil.sh" << false;
    QTest::newRow("Run File: parent inside the path")
        << run << "BookTXT/../../../../../outside/evil.sh" << false;
    QTest::newRow("Run File: absolute") << run << "%1/outside/evil.sh" << false;
    QTest::newRow("Run File: leading backslash") << run << "\\bin\\true" << false;
    QTest::newRow("Run File: drive letter") << run << "C:\\Windows\\notepad.exe" << false;
}

void TestSetupWindows::hostileCdInf()
{
    QFETCH(QString, section);
    QFETCH(QString, value);
    QFETCH(bool, linked);
    Fixture fixture;
    const QString root = fixture.dir.path();
    value.replace("%1", root);
    // What an escape would reach: a folder beside the CD, and folders above
    // the destination and the marker's folder that still lie in `root`.
    writeBytes(fixture.dir.filePath("outside/evil.sh"), "#!/bin/sh\necho escaped\n");
    writeBytes(fixture.dir.filePath("outside/BookTXT/1.htm"), "not on the CD");
    const QString base = native(fixture.disk() + "/a/b");
    QDir().mkpath(base);
    fixture.markerFolder = native(fixture.home() + "/a/b");
    QDir().mkpath(fixture.markerFolder);
    if (linked)
        QVERIFY(QFile::link(fixture.dir.filePath("outside"), fixture.dir.filePath("cd/Linked")));

    QStringList values { "Atlas", base, "Data", "start.sh" };
    const QStringList markers { markerCdName, markerDefPath, markerFolderName, markerRunFile };
    values[markers.indexOf(section)] = value;
    fixture.writeCdInf({ markers[0], values[0], markers[1], values[1], markers[2], values[2],
        markers[3], values[3] });

    const auto refused = [&](const RecordingHost &host) {
        QCOMPARE(host.messages.size(), 1);
        QVERIFY2(host.messages.first().text.contains('"' + section + '"'),
            qPrintable(host.messages.first().text));
        QCOMPARE(host.messages.first().icon, Host::Icon::Critical);
        QVERIFY(host.starts.isEmpty());
    };

    auto before = treeListing(root);
    {
        Setup setup(fixture);
        if (setup.loaded) { // only a link shows when the source is looked at
            QVERIFY(linked);
            setup.form->getto(1);
            setup.form->getto(2);
            QCOMPARE(setup.form->page, qint16(1));
        } else {
            QVERIFY(!linked);
            QCOMPARE(setup.host.endCount, 1);
        }
        refused(setup.host);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!setup.form->Timer1->isActive());
    }
    auto after = treeListing(root);
    QVERIFY2(after == before, qPrintable(listingChanges(before, after)));
    if (linked)
        return;

    // The same value set after a sound start is refused again before copying.
    fixture.writeCdInf({ markers[0], "Atlas", markers[1], base, markers[2], "Data", markers[3],
        "start.sh" });
    before = treeListing(root);
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    QString *fields[] = { &setup.form->cdName, &setup.form->defPath, &setup.form->folderName,
        &setup.form->runFile };
    *fields[markers.indexOf(section)] = value;
    setup.form->getto(1);
    setup.form->getto(2);
    refused(setup.host);
    QCOMPARE(setup.form->page, qint16(1));
    after = treeListing(root);
    QVERIFY2(after == before, qPrintable(listingChanges(before, after)));
}

void TestSetupWindows::cdInfInside_data()
{
    QTest::addColumn<QString>("cdName");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("runFile");
    QTest::addColumn<bool>("besideSetup"); // an export tried before burning
    QTest::newRow("run file in a subfolder, as the CD has it")
        << "Atlas" << "Data" << "reader\\index.html" << false;
    QTest::newRow("run file in a subfolder, export tried before burning")
        << "Atlas" << "Data" << "reader\\index.html" << true;
    QTest::newRow("folder name a subfolder") << "Atlas" << "Data\\BookTXT" << "1.htm" << false;
    QTest::newRow("current-folder parts") << "Atlas" << "./Data" << "./start.sh" << false;
    QTest::newRow("Persian CD name") << QString::fromUtf8("اطلس") << "Data" << "start.sh" << false;
}

void TestSetupWindows::cdInfInside()
{
    QFETCH(QString, cdName);
    QFETCH(QString, folderName);
    QFETCH(QString, runFile);
    QFETCH(bool, besideSetup);
    Fixture fixture;
    const QString root = fixture.dir.path();
    writeBytes(fixture.dir.filePath("cd/Data/reader/index.html"), "<html></html>");
    if (besideSetup) {
        QVERIFY(QDir().rename(fixture.dir.filePath("cd/Data"), fixture.programFolder + "/Data"));
    }
    fixture.writeCdInf({ "[ CD Name ]", cdName, "[ Def Path ]", fixture.disk(),
        "[ Folder Name ]", folderName, "[ Run File ]", runFile });
    const auto before = treeListing(root);

    Setup setup(fixture);
    QVERIFY(setup.loaded);
    setup.form->getto(1);
    setup.form->getto(2);
    QVERIFY2(setup.host.messages.isEmpty(), qPrintable(setup.host.messages.value(0).text));
    const QString installed = native(fixture.disk() + '/' + cdName);
    QCOMPARE(setup.host.starts.size(), 1);
    QCOMPARE(setup.host.starts.first().program, installed + QDir::separator() + withSeparators(runFile));

    // Only the installation folder and the marker are new.
    const auto after = treeListing(root);
    const QString inside = QDir(root).relativeFilePath(installed);
    const QString marker = QDir(root).relativeFilePath(fixture.home() + '/' + cdName + ".txt");
    QVERIFY(after.contains(marker));
    QVERIFY2(listingOutside(after, inside, { marker }) == before,
        qPrintable(listingChanges(before, listingOutside(after, inside, { marker }))));
    // The CD's folder, and the stamp beside it.
    auto installedListing = treeListing(installed);
    QVERIFY(installedListing.remove(stampFileName) == 1);
    QCOMPARE(installedListing, treeListing(setup.form->plan().sourceFolder));
}

void TestSetupWindows::install_fullDisk_data()
{
    QTest::addColumn<qint64>("bigSize"); // a large file on the CD; 0: none
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("markerFails"); // else the large file
    QTest::newRow("a file does not fit") << qint64(256 * 1024) << qint64(64 * 1024) << false;
    QTest::newRow("every file fits but the marker") << qint64(0) << qint64(16) << true;
}

void TestSetupWindows::install_fullDisk()
{
    QFETCH(qint64, bigSize);
    QFETCH(qint64, limit);
    QFETCH(bool, markerFails);
    Fixture fixture;
    if (bigSize > 0)
        writeBytes(fixture.dir.filePath("cd/Data/big.bin"), QByteArray(bigSize, 'x'));
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->getto(1);
    const auto before = treeListing(fixture.dir.path());
    bool limited = false;
    {
        FullDisk disk { rlim_t(limit) };
        limited = disk.active();
        QTest::mouseClick(setup.form->btn[0], Qt::LeftButton);
    }
    QVERIFY(limited);

    QCOMPARE(setup.host.messages.size(), 1);
    const RecordingHost::Message &message = setup.host.messages.first();
    QCOMPARE(message.icon, Host::Icon::Critical);
    QVERIFY2(message.text.startsWith("The installation did not complete"), qPrintable(message.text));
    const QString failing = markerFails ? fixture.marker() : native(fixture.installed() + "/big.bin");
    QVERIFY2(message.text.contains(failing), qPrintable(message.text));
    QVERIFY(!QFileInfo::exists(fixture.marker()));
    QVERIFY(setup.host.starts.isEmpty());
    QVERIFY(!setup.form->Timer1->isActive());
    const auto after = treeListing(fixture.dir.path());
    QVERIFY2(after == before, qPrintable(listingChanges(before, after)));

    // Back on the destination page, ready for another try.
    QCOMPARE(setup.form->page, qint16(1));
    QCOMPARE(shown(*setup.form), QStringLiteral("P1 B0 B1 B2"));
    QCOMPARE(setup.form->Text1->text(), fixture.installed());
    QTest::mouseClick(setup.form->btn[0], Qt::LeftButton);
    QCOMPARE(setup.host.messages.size(), 1);
    QCOMPARE(setup.form->page, qint16(2));
    QCOMPARE(readBytes(fixture.marker()), fixture.markerBytes());
    QCOMPARE(setup.host.starts.size(), 1);
    if (bigSize > 0)
        QCOMPARE(QFileInfo(fixture.installed() + "/big.bin").size(), bigSize);
}

void TestSetupWindows::qtHost_startsInOwnFolder()
{
#ifdef Q_OS_WIN
    QSKIP("uses a shell script");
#else
    QTemporaryDir dir;
    const QString folder = native(dir.filePath("Atlas"));
    const QString script = folder + "/start.sh";
    writeBytes(script, "#!/bin/sh\npwd > started_in.txt\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    QtHost host;
    QVERIFY(host.startProgram(script, folder));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(folder + "/started_in.txt").size() > 0, 5000);
    QCOMPARE(readBytes(folder + "/started_in.txt").trimmed(), folder.toLocal8Bit());
    QVERIFY(!host.startProgram(folder + "/absent", folder));
    QVERIFY(!host.ended());
#endif
}

void TestSetupWindows::screenshots()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk(), QString());
    Setup setup(fixture);
    const QString out = qEnvironmentVariable("SETUP_SCREENSHOTS", fixture.dir.filePath("shots"));
    QDir().mkpath(out);
    for (int page = 0; page < 3; ++page) {
        setup.form->getto(page);
        const QPixmap shot = setup.form->grab();
        QCOMPARE(shot.deviceIndependentSize().toSize(), QSize(337, 147));
        QVERIFY(shot.save(QStringLiteral("%1/page%2.png").arg(out).arg(page)));
    }
    Form2 &picker = *setup.form->form2;
    picker.Dir1->setPath(fixture.disk());
    picker.show();
    QVERIFY(picker.grab().save(out + "/picker.png"));
    picker.hide();

    // A failed installation: its message, then the destination page again.
    QDir(fixture.installed()).removeRecursively();
    writeBytes(fixture.dir.filePath("cd/Data/big.bin"), QByteArray(256 * 1024, 'x'));
    setup.form->getto(1);
    {
        FullDisk disk { 64 * 1024 };
        setup.form->getto(2);
    }
    QCOMPARE(setup.host.messages.size(), 1);
    QCOMPARE(setup.form->page, qint16(1));
    QVERIFY(setup.form->grab().save(out + "/page1-after-failure.png"));
    const auto showBox = [&](const RecordingHost::Message &message, const QString &name) {
        const auto box = messageBox(message.title, message.text, message.icon, setup.form.get());
        box->show();
        QVERIFY(box->grab().save(out + '/' + name));
        box->hide();
    };
    showBox(setup.host.messages.first(), "message-install-failed.png");

    Fixture hostile;
    hostile.writeCdInf({ "[ CD Name ]", "../../escaped", "[ Def Path ]", hostile.disk(),
        "[ Folder Name ]", "Data", "[ Run File ]", "start.sh" });
    Setup refused(hostile);
    QVERIFY(!refused.loaded);
    QCOMPARE(refused.host.messages.size(), 1);
    showBox(refused.host.messages.first(), "message-unsafe-section.png");
}

QTEST_MAIN(TestSetupWindows)
#include "test_setup_windows.moc"
