// Every seed of the fuzz targets, and every input a fuzz run stopped on
// (fuzz/regressions/<target>/), through the same checks the targets make:
// a parser that crashes, hangs or breaks its promise on one fails here.
#define ZORVEL_FUZZ_NO_MAIN
#include "../fuzz/targets/booktitle_fuzz.cpp"
#include "../fuzz/targets/cdproperty_fuzz.cpp"
#include "../fuzz/targets/exportinf_fuzz.cpp"
#include "../fuzz/targets/page_fuzz.cpp"
#include "../fuzz/targets/savedwork_fuzz.cpp"
#include "../fuzz/targets/tree_fuzz.cpp"

#include <QDirIterator>
#include <QtTest>

namespace {

using Target = int (*)(const uint8_t *, size_t);

} // namespace

class TestFuzzRegressions : public QObject {
    Q_OBJECT
private slots:
    void inputs_data();
    void inputs();
};

void TestFuzzRegressions::inputs_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("target");
    const char *names[] = { "tree", "booktitle", "page", "savedwork", "cdproperty", "exportinf" };
    int seen[6] = {};
    for (int t = 0; t < 6; ++t) {
        for (const char *kind : { "corpus", "regressions" }) {
            const QString folder = QStringLiteral(ZORVEL_SOURCE_DIR "/fuzz/%1/%2")
                                       .arg(QLatin1String(kind), QLatin1String(names[t]));
            QDirIterator it(folder, QDir::Files);
            while (it.hasNext()) {
                const QString path = it.next();
                QTest::newRow(qPrintable(QStringLiteral("%1/%2/%3")
                                             .arg(QLatin1String(kind), QLatin1String(names[t]),
                                                 QFileInfo(path).fileName())))
                    << path << t;
                ++seen[t];
            }
        }
    }
    // Each target has its seeds: a moved folder must not empty this test.
    for (int t = 0; t < 6; ++t)
        QVERIFY2(seen[t] > 0, names[t]);
}

void TestFuzzRegressions::inputs()
{
    QFETCH(QString, path);
    QFETCH(int, target);
    static const Target targets[]
        = { fuzzTree, fuzzBookTitle, fuzzPage, fuzzSavedWork, fuzzCdProperty, fuzzExportInf };
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(targets[target](reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "test_fuzz_regressions.moc"
