// The cd.inf fuzz target's seeds, and every input a fuzz run stopped on
// (fuzz/regressions/cdinf/), through setup's reader and its checks.
#define ZORVEL_FUZZ_NO_MAIN
#include "../../fuzz/targets/cdinf_fuzz.cpp"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QtTest>

class TestSetupCdInfSeeds : public QObject {
    Q_OBJECT
private slots:
    void inputs_data();
    void inputs();
};

void TestSetupCdInfSeeds::inputs_data()
{
    QTest::addColumn<QString>("path");
    // The source tree, from the sample cd.inf's place in it.
    QDir source = QFileInfo(QStringLiteral(SETUP_SAMPLE_CD_INF)).absoluteDir();
    source.cdUp();
    int seen = 0;
    for (const char *kind : { "corpus", "regressions" }) {
        QDirIterator it(source.filePath(QStringLiteral("fuzz/%1/cdinf").arg(QLatin1String(kind))),
            QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(QLatin1String(kind) + u'/' + QFileInfo(path).fileName()))
                << path;
            ++seen;
        }
    }
    QVERIFY(seen > 0);
}

void TestSetupCdInfSeeds::inputs()
{
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(fuzzCdInf(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
}

QTEST_GUILESS_MAIN(TestSetupCdInfSeeds)
#include "test_setup_cdinf_seeds.moc"
