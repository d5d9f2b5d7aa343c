// The installer on a CD the authoring program exported: copied as it is to
// a throw-away "CD", and run straight from the export folder, as a publisher
// tries a CD before burning it.
#include "environment.h"
#include "form1.h"
#include "install_paths.h"
#include "recording_host.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace setup;

namespace {

QString exportFolder()
{
    return QStringLiteral(ZORVEL_READER_FIXTURE "/Export 1");
}

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target))
            return false;
        QFile::setPermissions(target, QFile::permissions(file));
    }
    return true;
}

QStringList filesUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

} // namespace

class TestSetupCd : public QObject {
    Q_OBJECT
private slots:
    void installsTheReader_data();
    void installsTheReader();
};

void TestSetupCd::installsTheReader_data()
{
    QTest::addColumn<bool>("fromExportFolder");
    QTest::newRow("copied to a CD") << false;
    QTest::newRow("run from the export folder") << true;
}

void TestSetupCd::installsTheReader()
{
    QFETCH(bool, fromExportFolder);
    const QString exported = exportFolder();
    QVERIFY2(QFileInfo(exported + "/setup").isExecutable(), "the exported setup is not executable");

    QTemporaryDir tmp;
    const QString cd = fromExportFolder ? exported : tmp.filePath("cd");
    if (!fromExportFolder)
        QVERIFY(copyTree(exported, cd));
    const QString home = tmp.filePath("home");
    const QString disk = tmp.filePath("disk");
    QVERIFY(QDir().mkpath(home) && QDir().mkpath(disk));

    Environment environment;
    environment.programFolder = QDir::toNativeSeparators(cd);
    environment.markerFolder = QDir::toNativeSeparators(home);
    // The copied CD stands for a drive of its own; the export folder lies
    // somewhere on the disk.
    environment.volumeRootOf = [&](const QString &) {
        return fromExportFolder ? QStringLiteral("/") : QDir::toNativeSeparators(cd);
    };
    RecordingHost host;
    Form1 form(host, environment);
    QVERIFY(form.Form_Load());
    QVERIFY(host.starts.isEmpty());
    form.defPath = QDir::toNativeSeparators(disk);
    form.btn_Click(0);
    form.btn_Click(0);

    QVERIFY2(host.messages.isEmpty(), qPrintable(host.messages.value(0).text));
    const QString installed = form.itit();
    // The CD's files, and the stamp that makes the marker trusted.
    QStringList installedFiles = filesUnder(installed);
    QVERIFY(installedFiles.removeOne(stampFileName));
    QCOMPARE(installedFiles, filesUnder(exported + "/Data"));
    QVERIFY(QFileInfo::exists(installed + "/reader/index.html"));
    QVERIFY(QFileInfo::exists(installed + "/reader/data/library.js"));
    const QString program = QDir::toNativeSeparators(installed + "/reader/index.html");
    QFile marker(markerFilePath(environment.markerFolder, form.cdName));
    QVERIFY(marker.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(marker.readAll()),
        program + QStringLiteral("\r\n") + QDir::toNativeSeparators(installed) + QStringLiteral("\r\n"));
    QCOMPARE(host.starts.size(), 1);
    QCOMPARE(host.starts.first().program, program);
    QVERIFY(form.Timer1->isActive()); // setup ends once the reader is started

    // Started again, it opens the installed reader at once.
    RecordingHost again;
    Form1 second(again, environment);
    QVERIFY(second.Form_Load());
    QCOMPARE(again.starts.size(), 1);
    QCOMPARE(again.starts.first().program, program);
}

QTEST_MAIN(TestSetupCd)
#include "test_setup_cd.moc"
