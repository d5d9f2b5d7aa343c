// The workbench's text rules, its paragraph table and the saved work on a
// book, without a window.
#include "core/book/paragraphtable.h"
#include "core/book/savedwork.h"
#include "core/book/textrules.h"
#include "core/common/filesystem.h"
#include "support/tempprogram.h"

#include <QtTest>

using namespace zorvel;

namespace {
const QString kArrow = QStringLiteral("   =>   ");
const QChar kZwnj(0x200C);
} // namespace

class TestParagraphTable : public QObject {
    Q_OBJECT
private slots:
    void beBor_data();
    void beBor();
    void rep_data();
    void rep();
    void delCrLfAndTrim();
    void titleThenRelatedText();
    void titleTrimmingOrder();
    void identityPage();
    void nestedMainTitles();
    void closeWithNothingOpen();
    void pendingTitleReplacedByNextMark_data();
    void pendingTitleReplacedByNextMark();
    void relatedTextWithoutTitleRefused();
    void fullTableRefusesMarks();
    void resetEmptiesEverySlot();
    void deleteMovesSlotsUp();
    void deletePendingSlotKeepsCount();
    void deleteOnFullTable();
    void storeEditRowMarks();
    void mainTitleBodyStaysPlain();
    void pictureNumbers();
    void titleLineBreaksTrimmedAtBothEnds_data();
    void titleLineBreaksTrimmedAtBothEnds();
    void deleteMainTitleWithItsEnd_data();
    void deleteMainTitleWithItsEnd();
    void storedBodyCompletesPendingTitle();
    void savedWorkRoundTrip();
    void savedWorkMovesWithTheBuildFolder();
    void mediaAreCopiedIntoTheBook();
    void savedWorkThatDoesNotFitIsRefused_data();
    void savedWorkThatDoesNotFitIsRefused();
};

void TestParagraphTable::beBor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("result");
    QTest::newRow("short text unchanged") << "abc" << 20 << "abc";
    const QString twenty = QStringLiteral("abcdefghij klmnopqrs");
    QTest::newRow("exactly the limit unchanged") << twenty << 20 << twenty;
    const QString withSpace = QStringLiteral("abcdefghijklmnopqrstuv xyzABCD"); // space at 23
    QTest::newRow("cut after the first space from the limit on")
        << withSpace << 20 << withSpace.left(23) + "...";
    const QString noSpace = QStringLiteral("abcdefghij klmnopqrstuvwxyzABC"); // last space at 11
    QTest::newRow("no space from the limit: cut at the limit") << noSpace << 20 << noSpace.left(20) + "...";
    QTest::newRow("space at the limit itself")
        << QStringLiteral("abcdefghijklmnopqrs tuvwxyz") << 20 << QStringLiteral("abcdefghijklmnopqrs ...");
    QTest::newRow("empty") << "" << 70 << "";
}

void TestParagraphTable::beBor()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QString, result);
    QCOMPARE(BeBor(text, static_cast<qint16>(limit)), result);
}

void TestParagraphTable::rep_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("clean");
    QTest::newRow("digits get a non-joiner each") << "12" << QString("1") + kZwnj + "2" + kZwnj;
    QTest::newRow("line starting with three spaces keeps one")
        << "a\r\n   b" << "a\r\n b";
    QTest::newRow("line ending in two spaces keeps one") << "a  \r\nb" << "a \r\nb";
    QTest::newRow("markup and entity")
        << "x&nbsp;y<ircMAIN>z</ircMAIN>w" << "x y z\r\nw";
    QTest::newRow("punctuation") << QStringLiteral(u"!.:)(«»")
        << QStringLiteral(u"!\u200C.\u200C:\u200C)\u200C(\u200C«\u200C»\u200C");
    QTest::newRow("alef maksura becomes yeh") << QStringLiteral(u"\u0649") << QStringLiteral(u"\u064A");
    QTest::newRow("a lone LF is left alone") << "a \nb" << "a \nb";
}

void TestParagraphTable::rep()
{
    QFETCH(QString, raw);
    QFETCH(QString, clean);
    QCOMPARE(Rep(raw), clean);
}

void TestParagraphTable::delCrLfAndTrim()
{
    QCOMPARE(DelCrLf("\r\n\r\nTitle"), QStringLiteral("Title"));
    QCOMPARE(DelCrLf("Title\r\n"), QStringLiteral("Title\r\n"));
    QCOMPARE(DelCrLf("\n\r\nx"), QStringLiteral("\n\r\nx"));
    QCOMPARE(trimSpaces("  a \r\n "), QStringLiteral("a \r\n"));
    QCOMPARE(trimSpaces("\ta\t"), QStringLiteral("\ta\t"));
}

void TestParagraphTable::titleThenRelatedText()
{
    ParagraphTable t;
    QCOMPARE(t.markTitle(QStringLiteral("Title")), ParagraphTable::Mark::Done);
    QCOMPARE(t.parCount(), 0);
    QVERIFY(t.hasPendingTitle());
    QCOMPARE(t.rows(), QStringList{"Title"});
    QCOMPARE(t.markRelated(QStringLiteral("Body text"), QStringLiteral(" {\\rtf1 x} ")),
             ParagraphTable::Mark::Done);
    QCOMPARE(t.parCount(), 1);
    QCOMPARE(t.slot(0).title, QStringLiteral("Title"));
    QCOMPARE(t.slot(0).body, QStringLiteral("{\\rtf1 x}"));
    QCOMPARE(t.rows(), QStringList{"Title" + kArrow + "Body text"});
    QVERIFY(!t.hasPendingTitle());
}

void TestParagraphTable::titleTrimmingOrder()
{
    ParagraphTable t;
    t.markTitle(QStringLiteral(" \r\nTitle"));
    QCOMPARE(t.slot(0).title, QStringLiteral("Title"));
    ParagraphTable u;
    u.markTitle(QStringLiteral("\r\n Title"));
    QCOMPARE(u.slot(0).title, QStringLiteral(" Title"));
}

void TestParagraphTable::identityPage()
{
    ParagraphTable t;
    t.markIdentity(QStringLiteral("Publisher"), QStringLiteral("{\\rtf1 P}"));
    QCOMPARE(t.parCount(), 1);
    QCOMPARE(t.slot(0).title, markShenas());
    QCOMPARE(t.rows().first(), markShenas() + kArrow + "Publisher");
}

void TestParagraphTable::nestedMainTitles()
{
    ParagraphTable t;
    t.openMain(QStringLiteral(" Outer "));
    t.openMain(QStringLiteral("Inner"));
    QCOMPARE(t.mainDepth(), 2);
    QCOMPARE(t.closeMain(), ParagraphTable::Mark::Done);
    QCOMPARE(t.mainDepth(), 1);
    QCOMPARE(t.parCount(), 3);
    QCOMPARE(t.rows().size(), 3);
    QCOMPARE(t.slot(0).body, QStringLiteral("Outer"));
    // The end entry takes the most recently opened title's text.
    QCOMPARE(t.slot(2).title, markEnd());
    QCOMPARE(t.slot(2).body, QStringLiteral("Inner"));
    QCOMPARE(t.rows().at(2), BeBor(markEnd(), 20) + kArrow + "Inner");
    t.closeMain();
    QCOMPARE(t.slot(3).body, QStringLiteral("Inner")); // still the inner text
    QCOMPARE(ParagraphTable::mainCaption(1), QStringLiteral(u"عنوان اصلي (1)\u200F"));
}

void TestParagraphTable::closeWithNothingOpen()
{
    ParagraphTable t;
    QCOMPARE(t.closeMain(), ParagraphTable::Mark::NothingToClose);
    QCOMPARE(t.parCount(), 0);
    QVERIFY(t.rows().isEmpty());
}

void TestParagraphTable::pendingTitleReplacedByNextMark_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("title");
    QTest::newRow("another title") << 2 << "Second";
    QTest::newRow("identity page") << 1 << markShenas();
    QTest::newRow("main title") << 9 << markMain();
    QTest::newRow("end") << 10 << markEnd();
}

void TestParagraphTable::pendingTitleReplacedByNextMark()
{
    QFETCH(int, command);
    QFETCH(QString, title);
    ParagraphTable t;
    t.openMain(QStringLiteral("Group"));
    t.markTitle(QStringLiteral("Pending"));
    QCOMPARE(t.rows().size(), 2);
    switch (command) {
    case 2: t.markTitle(QStringLiteral("Second")); break;
    case 1: t.markIdentity(QStringLiteral("id"), QStringLiteral("{\\rtf1 id}")); break;
    case 9: t.openMain(QStringLiteral("Group 2")); break;
    case 10: t.closeMain(); break;
    }
    QCOMPARE(t.slot(1).title, title);
    // One row per slot, no stale row of the pending title.
    QCOMPARE(t.rows().size(), 2);
    QVERIFY(!t.rows().join(u'|').contains(QStringLiteral("Pending")));
    QCOMPARE(t.lastRow(), 1);
}

void TestParagraphTable::relatedTextWithoutTitleRefused()
{
    ParagraphTable t;
    QCOMPARE(t.markRelated(QStringLiteral("x"), QStringLiteral("{x}")), ParagraphTable::Mark::NoPendingTitle);
    QCOMPARE(t.parCount(), 0);
    QVERIFY(t.rows().isEmpty());
    QVERIFY(t.slot(0).body.isEmpty());
}

void TestParagraphTable::fullTableRefusesMarks()
{
    ParagraphTable t;
    for (int i = 0; i < kSlotCount; ++i) {
        QCOMPARE(t.markTitle(QStringLiteral("T%1").arg(i)), ParagraphTable::Mark::Done);
        QCOMPARE(t.markRelated(QStringLiteral("b"), QStringLiteral("{b}")), ParagraphTable::Mark::Done);
    }
    QCOMPARE(t.parCount(), 257);
    QCOMPARE(t.rows().size(), 257);
    const QStringList before = t.rows();
    QCOMPARE(t.markTitle(QStringLiteral("more")), ParagraphTable::Mark::TableFull);
    QCOMPARE(t.markIdentity(QStringLiteral("x"), QStringLiteral("x")), ParagraphTable::Mark::TableFull);
    QCOMPARE(t.openMain(QStringLiteral("x")), ParagraphTable::Mark::TableFull);
    QCOMPARE(t.markRelated(QStringLiteral("x"), QStringLiteral("x")), ParagraphTable::Mark::TableFull);
    QCOMPARE(t.rows(), before);
    QCOMPARE(t.parCount(), 257);
}

void TestParagraphTable::resetEmptiesEverySlot()
{
    ParagraphTable t;
    t.slot(256).title = QStringLiteral("x");
    t.imgList[512] = QStringLiteral("p.jpg");
    t.openMain(QStringLiteral("m"));
    t.imgCount = 9;
    t.reset();
    QVERIFY(t.slot(256).title.isEmpty());
    QVERIFY(t.imgList[512].isEmpty());
    QCOMPARE(t.imgList.size(), 513);
    QCOMPARE(t.parCount(), 0);
    QCOMPARE(t.mainDepth(), 0);
    QCOMPARE(t.imgCount, qint16(0));
    QVERIFY(t.rows().isEmpty());
}

void TestParagraphTable::deleteMovesSlotsUp()
{
    ParagraphTable t;
    for (int i = 0; i < 5; ++i) {
        t.markTitle(QStringLiteral("T%1").arg(i));
        t.markRelated(QStringLiteral("B%1").arg(i), QStringLiteral("{B%1}").arg(i));
    }
    t.slot(3).pic = QStringLiteral("p.jpg");
    t.deleteSlot(2);
    QCOMPARE(t.parCount(), 4);
    QCOMPARE(t.slot(2).title, QStringLiteral("T3"));
    QCOMPARE(t.slot(2).pic, QStringLiteral("p.jpg"));
    QCOMPARE(t.slot(3).title, QStringLiteral("T4"));
    QVERIFY(t.slot(4).title.isEmpty());
    QVERIFY(t.slot(4).body.isEmpty());
    QCOMPARE(t.rows().size(), 4);
    QVERIFY(t.rows().at(2).startsWith(QStringLiteral("T3")));
}

void TestParagraphTable::deletePendingSlotKeepsCount()
{
    ParagraphTable t;
    t.markTitle(QStringLiteral("Done"));
    t.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
    t.markTitle(QStringLiteral("Pending"));
    t.deleteSlot(1);
    QCOMPARE(t.parCount(), 1);
    QVERIFY(t.slot(1).title.isEmpty());
    QCOMPARE(t.rows().size(), 1);
    // The next mark goes to slot 1 and leaves the finished paragraph alone.
    t.markTitle(QStringLiteral("Next"));
    QCOMPARE(t.slot(0).title, QStringLiteral("Done"));
    QCOMPARE(t.slot(1).title, QStringLiteral("Next"));
}

void TestParagraphTable::deleteOnFullTable()
{
    ParagraphTable t;
    for (int i = 0; i < kSlotCount; ++i) {
        t.markTitle(QStringLiteral("T%1").arg(i));
        t.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
    }
    t.deleteSlot(0);
    QCOMPARE(t.parCount(), 256);
    QCOMPARE(t.slot(0).title, QStringLiteral("T1"));
    QCOMPARE(t.slot(255).title, QStringLiteral("T256"));
    QVERIFY(t.slot(256).title.isEmpty());
    QCOMPARE(t.rows().size(), 256);
}

void TestParagraphTable::storeEditRowMarks()
{
    ParagraphTable t;
    t.markTitle(QStringLiteral("T"));
    t.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
    t.storeEdit(0, QStringLiteral("T"), QStringLiteral("{new}"), QStringLiteral("new"), {}, {}, {});
    QCOMPARE(t.rows().at(0), "T" + kArrow + "new");
    t.storeEdit(0, QStringLiteral("T"), QStringLiteral("{new}"), QStringLiteral("new"),
                QStringLiteral("p"), {}, QStringLiteral("f"));
    QCOMPARE(t.rows().at(0), "# § T" + kArrow + "new");
    t.storeEdit(0, QStringLiteral("T"), QStringLiteral("{new}"), QStringLiteral("new"),
                QStringLiteral("p"), QStringLiteral("s"), QStringLiteral("f"));
    QCOMPARE(t.rows().at(0), "# ~ § T" + kArrow + "new");
    QCOMPARE(t.slot(0).body, QStringLiteral("{new}"));
    QCOMPARE(t.slot(0).sound, QStringLiteral("s"));
}

void TestParagraphTable::mainTitleBodyStaysPlain()
{
    ParagraphTable t;
    t.openMain(QStringLiteral("Group"));
    t.storeEdit(0, markMain(), QStringLiteral("{\\rtf1 Group two}"), QStringLiteral("Group two"), {}, {}, {});
    QCOMPARE(t.slot(0).body, QStringLiteral("Group two"));
}

void TestParagraphTable::pictureNumbers()
{
    ParagraphTable t;
    QCOMPARE(t.takePictureNumber(QStringLiteral("a.jpg")), 0);
    QCOMPARE(t.takePictureNumber(QStringLiteral("b.jpg")), 1);
    QCOMPARE(t.imgList[1], QStringLiteral("b.jpg"));
    t.imgCount = 512;
    QCOMPARE(t.takePictureNumber(QStringLiteral("c.jpg")), 512);
    QCOMPARE(t.takePictureNumber(QStringLiteral("d.jpg")), -1);
    QCOMPARE(t.imgCount, qint16(513));
    QCOMPARE(t.imgList[512], QStringLiteral("c.jpg"));
}

void TestParagraphTable::titleLineBreaksTrimmedAtBothEnds_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("title"); // empty: refused
    QTest::newRow("whole line with its break") << "Title\r\n" << "Title";
    QTest::newRow("break, then spaces at the end") << "Title \r\n \r\n" << "Title";
    QTest::newRow("space then break at the start") << " \r\nTitle" << "Title";
    QTest::newRow("break then space at the start keeps the space") << "\r\n Title\r\n" << " Title";
    QTest::newRow("break inside stays") << "A\r\nB" << "A\r\nB";
    QTest::newRow("only a break is nothing") << "\r\n" << "";
    QTest::newRow("only spaces are nothing") << "   " << "";
    QTest::newRow("nothing") << "" << "";
}

void TestParagraphTable::titleLineBreaksTrimmedAtBothEnds()
{
    QFETCH(QString, selection);
    QFETCH(QString, title);
    ParagraphTable t;
    const ParagraphTable::Mark mark = t.markTitle(selection);
    if (title.isEmpty()) {
        QCOMPARE(mark, ParagraphTable::Mark::NothingSelected);
        QVERIFY(!t.hasPendingTitle());
        QVERIFY(t.rows().isEmpty());
    } else {
        QCOMPARE(mark, ParagraphTable::Mark::Done);
        QCOMPARE(t.slot(0).title, title);
        QCOMPARE(t.rows(), QStringList{BeBor(title, 20)});
    }
}

namespace {

// A table from a short script: "M:x" opens main title x, "E" closes one,
// anything else is a paragraph of that title.
ParagraphTable tableOf(const QStringList &script)
{
    ParagraphTable t;
    for (const QString &step : script) {
        if (step.startsWith(QLatin1String("M:")))
            t.openMain(step.mid(2));
        else if (step == QLatin1String("E"))
            t.closeMain();
        else {
            t.markTitle(step);
            t.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
        }
    }
    return t;
}

QStringList titlesOf(const ParagraphTable &t)
{
    QStringList out;
    for (int i = 0; i < t.parCount(); ++i) {
        const QString &title = t.slot(i).title;
        out << (title == markMain() ? QStringLiteral("M:") + t.slot(i).body
                : title == markEnd() ? QStringLiteral("E") : title);
    }
    return out;
}

} // namespace

void TestParagraphTable::deleteMainTitleWithItsEnd_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QString>("mainText");
    QTest::newRow("closed group goes with its end")
        << QStringList{"M:g", "A", "E", "B"} << 0 << QStringList{"A", "B"} << 0 << "";
    QTest::newRow("open group closes")
        << QStringList{"M:g", "A"} << 0 << QStringList{"A"} << 0 << "";
    QTest::newRow("outer of two: the inner pair stays")
        << QStringList{"M:o", "M:i", "A", "E", "E"} << 0 << QStringList{"M:i", "A", "E"} << 0 << "i";
    QTest::newRow("inner of two: the outer closes where it did")
        << QStringList{"M:o", "M:i", "A", "E", "B", "E"} << 1
        << QStringList{"M:o", "A", "B", "E"} << 0 << "o";
    QTest::newRow("inner open inside the open outer")
        << QStringList{"M:o", "M:i", "A"} << 1 << QStringList{"M:o", "A"} << 1 << "o";
    QTest::newRow("outer open around a closed inner")
        << QStringList{"M:o", "M:i", "A", "E"} << 0 << QStringList{"M:i", "A", "E"} << 0 << "i";
    QTest::newRow("a paragraph goes alone")
        << QStringList{"M:g", "A", "E"} << 1 << QStringList{"M:g", "E"} << 0 << "g";
}

void TestParagraphTable::deleteMainTitleWithItsEnd()
{
    QFETCH(QStringList, script);
    QFETCH(int, deleted);
    QFETCH(QStringList, left);
    QFETCH(int, depth);
    QFETCH(QString, mainText);
    ParagraphTable t = tableOf(script);
    t.deleteSlot(deleted);
    QCOMPARE(titlesOf(t), left);
    QCOMPARE(t.mainDepth(), depth);
    QCOMPARE(t.rows().size(), left.size());
    QVERIFY(t.slot(t.parCount()).title.isEmpty());
    QCOMPARE(t.mainText(), mainText);
}

void TestParagraphTable::storedBodyCompletesPendingTitle()
{
    ParagraphTable t;
    t.markTitle(QStringLiteral("Done"));
    t.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
    t.markTitle(QStringLiteral("Pending"));
    // An attachment alone leaves it waiting for its text, but with content.
    t.storeEdit(1, QStringLiteral("Pending"), QStringLiteral("{\\rtf1 }"), QStringLiteral(" \r\n"),
                QStringLiteral("p.jpg"), {}, {});
    QCOMPARE(t.parCount(), 1);
    QVERIFY(t.hasPendingTitle());
    QVERIFY(t.pendingHasContent());
    t.storeEdit(1, QStringLiteral("Pending"), QStringLiteral("{\\rtf1 typed}"), QStringLiteral("typed"),
                QStringLiteral("p.jpg"), {}, {});
    QCOMPARE(t.parCount(), 2);
    QVERIFY(!t.hasPendingTitle());
    QCOMPARE(t.slotsToWrite().size(), 2);
    // Editing a completed slot moves nothing.
    t.storeEdit(0, QStringLiteral("Done"), QStringLiteral("{x}"), QStringLiteral("x"), {}, {}, {});
    QCOMPARE(t.parCount(), 2);
    t.markTitle(QStringLiteral("Third"));
    QCOMPARE(t.slot(1).title, QStringLiteral("Pending"));
    QCOMPARE(t.slotsToWrite().size(), 3); // a pending title is written too
}

void TestParagraphTable::savedWorkRoundTrip()
{
    ParagraphTable t = tableOf({"M:Group", QStringLiteral(u"عنوان"), "E"});
    t.markTitle(QStringLiteral("Pending"));
    t.storeEdit(0, markMain(), QStringLiteral("{x}"), QStringLiteral("Group \"quoted\""), {}, {}, {});
    t.takePictureNumber(QStringLiteral("/pics/a.jpg"));
    t.takePictureNumber(QStringLiteral(u"/تصوير/b.jpg"));
    BookWork w{QStringLiteral("c"), QStringLiteral("10"), QStringLiteral(u"نام\tكتاب \\ \x01\u200C"),
               QStringLiteral(u"ورودي \"1\".txt"), t.contents()};
    const std::optional<BookWork> back = workFromJson(workToJson(w));
    QVERIFY(back.has_value());
    QCOMPARE(*back, w);
    ParagraphTable u;
    QVERIFY(u.restore(back->table));
    QCOMPARE(u.contents(), t.contents());
    QCOMPARE(u.imgCount, qint16(2));
    QVERIFY(u.hasPendingTitle());

    // On disk, under Work in the build folder; a missing file is no problem.
    testing::TempProgram tp(false);
    FileSystem fs;
    const QString path = workFilePath(tp.file("Data"), "c", "10");
    QCOMPARE(path, tp.file("Data") + QDir::separator() + "Work" + QDir::separator() + "c10.json");
    QString problem;
    QVERIFY(!loadBookWork(fs, path, &problem));
    QVERIFY(problem.isEmpty());
    saveBookWork(fs, path, w);
    QCOMPARE(*loadBookWork(fs, path, &problem), w);
    QVERIFY(hasWork(w));
    QVERIFY(!hasWork(BookWork{}));
}

void TestParagraphTable::savedWorkMovesWithTheBuildFolder()
{
    testing::TempProgram tp(false);
    FileSystem fs;
    const QString own = tp.write("Data/Work/a1.media/p.jpg", "P");
    const QString input = tp.write("input/s.mp3", "S");
    ParagraphTable t = tableOf({"A"});
    t.storeEdit(0, "A", "{x}", "x", own, input, {});
    t.takePictureNumber(own);
    BookWork w{"a", "1", "n", "t.txt", t.contents()};
    const QString path = workFilePath(tp.file("Data"), "a", "1");
    saveBookWork(fs, path, w);
    const QByteArray json = fs.readBytes(path);
    // The book's own files are named from the build folder; others as they are.
    QVERIFY(json.contains("\"Work/a1.media/p.jpg\""));
    QVERIFY(!json.contains(tp.file("Data/Work").toUtf8()));
    QVERIFY(json.contains(input.toUtf8()));

    // The build folder moved (to another machine): its files come along.
    QVERIFY(QDir().rename(tp.file("Data"), tp.file("Moved")));
    QString problem;
    const auto back = loadBookWork(fs, workFilePath(tp.file("Moved"), "a", "1"), &problem);
    QVERIFY(back.has_value());
    QCOMPARE(QDir::fromNativeSeparators(back->table.paragraphs[0].pic), tp.file("Moved/Work/a1.media/p.jpg"));
    QCOMPARE(QDir::fromNativeSeparators(back->table.imgList[0]), tp.file("Moved/Work/a1.media/p.jpg"));
    QCOMPARE(back->table.paragraphs[0].sound, input);

    // Only files of the allowed folders stay.
    BookWork restored = *back;
    const QStringList refused = refuseForeignMedia(restored, {tp.file("Moved")});
    QCOMPARE(refused, QStringList{input});
    QCOMPARE(restored.table.paragraphs[0].sound, QString());
    QVERIFY(!restored.table.paragraphs[0].pic.isEmpty());
    BookWork both = *back;
    QVERIFY(refuseForeignMedia(both, {tp.file("Moved"), tp.file("input")}).isEmpty());
    // Cleaned before compared: ".." does not lead in, a look-alike folder is not inside.
    BookWork tricky = *back;
    tricky.table.paragraphs[0].pic = tp.file("Moved/../input/s.mp3");
    tricky.table.paragraphs[0].sound = tp.file("Moved2/x.mp3");
    QCOMPARE(refuseForeignMedia(tricky, {tp.file("Moved")}).size(), 2);
    // A link inside the build folder that leads outside is outside.
    QVERIFY(QFile::link(input, tp.file("Moved/Work/a1.media/link.mp3")));
    BookWork linked = *back;
    linked.table.paragraphs[0].sound = tp.file("Moved/Work/a1.media/link.mp3");
    QCOMPARE(refuseForeignMedia(linked, {tp.file("Moved")}).size(), 1);
}

void TestParagraphTable::mediaAreCopiedIntoTheBook()
{
    testing::TempProgram tp(false);
    FileSystem fs;
    const QString folder = workMediaFolderPath(tp.file("Data"), "b", "2");
    QCOMPARE(QDir::fromNativeSeparators(folder), tp.file("Data/Work/b2.media"));
    const QString a = tp.write("x/photo.jpg", "A");
    const QString other = tp.write("y/photo.jpg", "B");
    const QString first = adoptMedium(fs, folder, a);
    QCOMPARE(QDir::fromNativeSeparators(first), tp.file("Data/Work/b2.media/photo.jpg"));
    QCOMPARE(fs.readBytes(first), QByteArray("A"));
    // The same file again is the same copy; another of the same name gets its own.
    QCOMPARE(adoptMedium(fs, folder, a), first);
    const QString second = adoptMedium(fs, folder, other);
    QCOMPARE(QDir::fromNativeSeparators(second), tp.file("Data/Work/b2.media/photo-2.jpg"));
    QCOMPARE(fs.readBytes(second), QByteArray("B"));
    // A copy is already the book's.
    QCOMPARE(adoptMedium(fs, folder, second), second);
    QVERIFY_THROWS_EXCEPTION(FsError, adoptMedium(fs, folder, tp.file("gone.jpg")));
    removeWorkMedia(folder);
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(QFileInfo::exists(a));
}

void TestParagraphTable::savedWorkThatDoesNotFitIsRefused_data()
{
    const ParagraphTable t = tableOf({"A", "B"});
    const QByteArray good = workToJson(BookWork{"a", "1", "n", "t.txt", t.contents()});
    QTest::addColumn<QByteArray>("bytes");
    auto edited = [&](const char *from, const char *to) {
        QByteArray b = good;
        return b.replace(from, to);
    };
    QTest::newRow("not json") << QByteArray("{\"format\":1,");
    QTest::newRow("another format") << edited("\"format\":2", "\"format\":3");
    QTest::newRow("count beyond the slots") << edited("\"parCount\":2", "\"parCount\":3");
    QTest::newRow("rows not matching the slots") << edited("\"rows\":[", "\"rows\":[\"x\",");
    QTest::newRow("a slot field missing") << edited("\"film\":\"\"", "\"fil\":\"\"");
    QTest::newRow("picture number out of range") << edited("\"pictures\":{}", "\"pictures\":{\"513\":\"p\"}");
    QTest::newRow("negative depth") << edited("\"mainDepth\":0", "\"mainDepth\":-1");
    QTest::newRow("a name that is no text") << edited("\"bookName\":\"n\"", "\"bookName\":7");
}

void TestParagraphTable::savedWorkThatDoesNotFitIsRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!workFromJson(bytes).has_value());
    testing::TempProgram tp(false);
    const QString path = tp.write("Data/Work/a1.json", bytes);
    QString problem;
    QVERIFY(!loadBookWork(FileSystem(), path, &problem));
    QVERIFY(problem.contains(QStringLiteral("a1.json")));
}

QTEST_GUILESS_MAIN(TestParagraphTable)
#include "test_paragraphtable.moc"
