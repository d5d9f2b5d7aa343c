// Two books made through the windows and exported twice (print, template 1
// and music on; then all three off), into a folder that the browser test of
// the reader and the installer's CD test read afterwards. The reader's data
// is checked here against what was marked.
#include "core/book/textrules.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "support/benchfixture.h"
#include "support/everyslotbook.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form1.h"
#include "ui/shell/form5.h"
#include "ui/workbench/form3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

QString fixtureFolder()
{
    const QString fromEnv = qEnvironmentVariable("ZORVEL_READER_FIXTURE");
    return fromEnv.isEmpty() ? QStringLiteral(ZORVEL_READER_FIXTURE) : fromEnv;
}

// The JSON value of a data script: from the "{" of the first "= {" to the
// last ";".
QJsonObject scriptValue(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    const qsizetype from = bytes.indexOf("= {");
    const qsizetype to = bytes.lastIndexOf(';');
    if (from < 0 || to < from)
        return {};
    return QJsonDocument::fromJson(bytes.mid(from + 2, to - from - 2)).object();
}

// The labels of an index, with main titles as {"label", "children"}.
QJsonArray labelsOnly(const QJsonArray &toc)
{
    QJsonArray out;
    for (const QJsonValue &v : toc) {
        const QJsonObject n = v.toObject();
        QJsonObject o { { "label", n["label"] } };
        if (n.contains("children"))
            o.insert("children", labelsOnly(n["children"].toArray()));
        out.append(o);
    }
    return out;
}

const QString kRaw2 = QStringLiteral(u"كتاب دوم\r\nمقدمه\r\nمتن مقدمه كوتاه");

} // namespace

class TestReaderExport : public QObject {
    Q_OBJECT
private slots:
    void twoBooksExportedForTheReader();
};

void TestReaderExport::twoBooksExportedForTheReader()
{
    const QString fixture = fixtureFolder();
    QDir(fixture).removeRecursively();
    QVERIFY(QDir().mkpath(fixture));

    Bench b([&](TempProgram &tp) {
        writeEverySlotInputs(tp, QStringLiteral("clip.mpg"));
        tp.write("two.txt", encode1256(kRaw2));
        // The installer as the build makes it, so the CD can be installed.
        QFile setup(QStringLiteral(ZORVEL_BIN_DIR "/Resources/setup"));
        QVERIFY(setup.open(QIODevice::ReadOnly));
        const QString target = tp.write("Resources/setup", setup.readAll());
        QFile::setPermissions(target, setup.permissions());
        // setup.exe when the cross compiler made one; a stand-in otherwise.
        QFile setupExe(QStringLiteral(ZORVEL_BIN_DIR "/Resources/setup.exe"));
        tp.write("Resources/setup.exe",
            setupExe.open(QIODevice::ReadOnly) ? setupExe.readAll() : QByteArray("setup.exe was not built"));
    });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("2"));
    f.matn->setText(QStringLiteral("1"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
    f.Pcheck->setChecked(true);
    f.ExBox->setText(fixture);

    // Book a1: identity page, two nested main titles, every kind of media.
    Form3 &w = b.open();
    const QString identityText = markEverySlotBook(b, w, QStringLiteral("clip.mpg"));
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16> { 4 });

    // Book b1, the second shelf; a2 stays unfinished.
    const int b1 = f.dataName->findText(QStringLiteral("(b1)"), Qt::MatchEndsWith);
    QVERIFY(b1 >= 0);
    f.dataName->setCurrentIndex(b1);
    Form3 &w2 = b.open();
    Bench::loadText(w2, "two.txt");
    Bench::select(w2, QStringLiteral(u"كتاب دوم"));
    w2.Com_Click(0);
    Bench::markParagraph(w2, QStringLiteral(u"مقدمه"), QStringLiteral(u"متن مقدمه كوتاه"));
    b.rec.clear();
    w2.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16> { 4 });

    // Export 1: print, template 1, music on. Export 2: all off.
    b.rec.clear();
    f.Command10_Click();
    QCOMPARE(b.rec.messages(), QList<qint16> { 29 });
    f.Pcheck->setChecked(false);
    f.Olgoo[1]->setChecked(true);
    f.bMus[1]->setChecked(true);
    b.rec.clear();
    f.Command10_Click();
    QCOMPARE(b.rec.messages(), QList<qint16> { 29 });

    const QString out1 = fixture + QStringLiteral("/Export 1");
    const QString out2 = fixture + QStringLiteral("/Export 2");
    for (const QString &out : { out1, out2 }) {
        for (const char *file :
            { "index.html", "setup", "setup.exe", "autorun.inf", "cd.inf", "Data/reader/index.html",
                "Data/reader/data/library.js", "Data/reader/data/a1.js", "Data/reader/data/b1.js",
                "Data/reader/data/a1.search.js", "Data/reader/data/b1.search.js" })
            QVERIFY2(QFileInfo::exists(out + u'/' + QString::fromLatin1(file)), file);
        QVERIFY(!QFileInfo::exists(out + QStringLiteral("/Data/reader/data/a2.js")));
        QVERIFY(QFileInfo(out + QStringLiteral("/setup")).isExecutable());
    }

    // The settings and the shelves as each export saw them.
    const QJsonObject lib1 = scriptValue(out1 + QStringLiteral("/Data/reader/data/library.js"));
    const QJsonObject lib2 = scriptValue(out2 + QStringLiteral("/Data/reader/data/library.js"));
    QCOMPARE(lib1["settings"].toObject(),
        (QJsonObject { { "rows", QJsonArray { 2, 1, 0 } }, { "template", 1 }, { "music", true },
            { "print", true } }));
    QCOMPARE(lib2["settings"].toObject(),
        (QJsonObject { { "rows", QJsonArray { 2, 1, 0 } }, { "template", 2 }, { "music", false },
            { "print", false } }));
    QCOMPARE(lib1["music"].toObject()["shelves"].toString(), QStringLiteral("FlashIMG/Sound1.mp3"));
    QVERIFY(lib2["music"].toObject()["shelves"].isNull());
    QCOMPARE(lib1["background"].toString(), QStringLiteral("FlashIMG/Back.jpg"));
    const QJsonArray books = lib1["books"].toArray();
    QCOMPARE(books.size(), 2);
    QCOMPARE(books[0].toObject()["name"].toString(), QStringLiteral(u"كتاب نمونه يكم"));
    QCOMPARE(books[0].toObject()["cover"].toString(), QStringLiteral("BookIMG/aBook1.jpg"));
    QCOMPARE(books[1].toObject()["slot"].toString(), QStringLiteral("b1"));
    QCOMPARE(books[1].toObject()["row"].toInt(), 1);
    QCOMPARE(books[1].toObject()["name"].toString(), QStringLiteral(u"كتاب دوم"));
    QCOMPARE(books[0].toObject()["pageCount"].toInt(), 4);

    // The book: the nesting of its tree file, pages in reading order, the
    // text as the operator marked it, the media beside the page.
    const QJsonObject book = scriptValue(out1 + QStringLiteral("/Data/reader/data/a1.js"));
    const QString third = Rep(QStringLiteral(u"عنوان سه & <ب>"));
    const QJsonArray expectedToc {
        QJsonObject { { "label", QStringLiteral(u"شناسنامه") } },
        QJsonObject { { "label", QStringLiteral(u"بخش اول") },
            { "children",
                QJsonArray { QJsonObject { { "label", QStringLiteral(u"فصل يك") },
                                 { "children",
                                     QJsonArray { QJsonObject {
                                         { "label", QStringLiteral(u"عنوان يك") } } } } },
                    QJsonObject { { "label", QStringLiteral(u"عنوان دو") } } } } },
        QJsonObject { { "label", third } },
    };
    QCOMPARE(labelsOnly(book["toc"].toArray()), expectedToc);
    const QJsonArray pages = book["pages"].toArray();
    QCOMPARE(pages.size(), 4);
    QStringList order;
    for (const QJsonValue &p : pages)
        order << p.toObject()["title"].toString();
    QCOMPARE(order,
        (QStringList { QStringLiteral(u"شناسنامه"), QStringLiteral(u"عنوان يك"),
            QStringLiteral(u"عنوان دو"), third }));
    const QJsonObject identity = pages[0].toObject();
    QVERIFY(identity["identity"].toBool());
    QCOMPARE(
        identity["blocks"].toArray(), (QJsonArray { QJsonObject { { "text", identityText } } }));
    QVERIFY(identityText.contains(QChar(0x200C)));
    const QJsonObject first = pages[1].toObject();
    const QJsonArray blocks = first["blocks"].toArray();
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(blocks[0].toObject()["image"].toString(), QStringLiteral("BookIMG/inline.jpg"));
    QCOMPARE(blocks[1].toObject()["text"].toString(),
        QStringLiteral(u"متن يك درباره كتابخانه و خواننده"));
    for (const char *kind : { "picture", "sound", "film", "printable" }) {
        const QString path = first[QLatin1String(kind)].toString();
        QVERIFY2(
            !path.isEmpty() && QFileInfo::exists(out1 + QStringLiteral("/Data/") + path), kind);
    }
    QVERIFY(first["picture"].toString().endsWith(QLatin1String(".jpg")));
    QVERIFY(first["sound"].toString().endsWith(QLatin1String(".mp3")));
    QVERIFY(first["film"].toString().endsWith(QLatin1String(".mpg")));
    // Text the page files hold unescaped comes through as text.
    QCOMPARE(pages[3].toObject()["blocks"].toArray()[0].toObject()["text"].toString(),
        Rep(QStringLiteral(u"متن سه با \"نقل\" و < و &amp;")));
    // Without the print option the second export has no printable pages.
    const QJsonObject book2 = scriptValue(out2 + QStringLiteral("/Data/reader/data/a1.js"));
    QVERIFY(book2["pages"].toArray()[1].toObject()["printable"].isNull());
    QCOMPARE(book2["pages"].toArray()[1].toObject()["sound"], first["sound"]);

    // What the browser test expects to find.
    const QJsonObject expect {
        { "exports",
            QJsonArray { QJsonObject { { "folder", "Export 1" }, { "template", 1 },
                             { "music", true }, { "print", true } },
                QJsonObject { { "folder", "Export 2" }, { "template", 2 }, { "music", false },
                    { "print", false } } } },
        { "books",
            QJsonArray {
                QJsonObject { { "slot", "a1" }, { "name", QStringLiteral(u"كتاب نمونه يكم") },
                    { "toc", expectedToc }, { "order", QJsonArray::fromStringList(order) } },
                QJsonObject { { "slot", "b1" }, { "name", QStringLiteral(u"كتاب دوم") },
                    { "toc", QJsonArray { QJsonObject { { "label", QStringLiteral(u"مقدمه") } } } },
                    { "order", QJsonArray { QStringLiteral(u"مقدمه") } } } } },
        { "zwnj",
            QJsonObject { { "slot", "a1" }, { "label", QStringLiteral(u"شناسنامه") },
                { "text", identityText } } },
        { "inlineImage",
            QJsonObject { { "slot", "a1" }, { "label", QStringLiteral(u"عنوان يك") } } },
        { "searches",
            QJsonArray { QJsonObject { { "query", QStringLiteral(u"یک درباره کتابخانه") },
                             { "slot", "a1" }, { "label", QStringLiteral(u"عنوان يك") } },
                QJsonObject { { "query", "1403" }, { "slot", "a1" },
                    { "label", QStringLiteral(u"عنوان دو") } },
                QJsonObject { { "query", QStringLiteral(u"مقدمه کوتاه") }, { "slot", "b1" },
                    { "label", QStringLiteral(u"مقدمه") } } } },
    };
    QFile e(fixture + QStringLiteral("/expect.json"));
    QVERIFY(e.open(QIODevice::WriteOnly));
    e.write(QJsonDocument(expect).toJson());
}

QTEST_MAIN(TestReaderExport)
#include "test_reader_export.moc"
