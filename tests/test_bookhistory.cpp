// A book's history and the raw text as the saved work keeps it, without a
// window: text edits, the undo steps, and the text's base beside the work file.
#include "core/book/bookhistory.h"
#include "core/book/savedwork.h"
#include "core/book/textedit.h"
#include "core/book/textrules.h"
#include "core/common/filesystem.h"
#include "support/tempprogram.h"

#include <QtTest>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

BookState stateWith(const QString &name, int caret = 0)
{
    BookState s;
    s.bookName = name;
    s.caret = Caret{caret, caret};
    return s;
}

BookHistory::Step step(const QString &label, const BookState &before, const BookState &after,
                       const QList<TextEdit> &edits = {}, int mergeKey = 0)
{
    return BookHistory::Step{label, before, after, edits, mergeKey};
}

} // namespace

class TestBookHistory : public QObject {
    Q_OBJECT
private slots:
    void diffTexts_data();
    void diffTexts();
    void narrowedKeepsOnlyTheChange();
    void editsThatDoNotFitAreRefused();
    void workTextKeepsItsEdits();
    void workTextRestoresFromSplices();
    void typingGoesOnOneEdit();
    void workTextRebasesWhenEditsGrow();
    void undoRedoInOrder();
    void unchangedStepIsNotRecorded();
    void newStepDropsTheUndoneOnes();
    void typingMergesUntilSomethingElse();
    void consecutiveStatesShareOneCopy();
    void savedTextRoundTrip();
    void savedWorkOfTheFirstFormatIsRead();
    void unreadableBaseLosesOnlyTheText_data();
    void unreadableBaseLosesOnlyTheText();
    void basesOfOneBookAreRemovedAlone();
    void persianDigits();
};

void TestBookHistory::diffTexts_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::newRow("same") << "abc" << "abc" << 3 << "" << "";
    QTest::newRow("cut from the top") << "Title\nBody\nrest" << "\nBody\nrest" << 0 << "Title" << "";
    QTest::newRow("cut from the end") << "keep drop" << "keep " << 5 << "drop" << "";
    QTest::newRow("inserted inside") << "ac" << "abc" << 1 << "" << "b";
    QTest::newRow("replaced") << "a-x-c" << "a-yy-c" << 2 << "x" << "yy";
    // A repeated letter: the change is taken at its end, never counted twice.
    QTest::newRow("one of a run removed") << "aaaa" << "aaa" << 3 << "a" << "";
    QTest::newRow("from nothing") << "" << QString::fromUtf8("متن") << 0 << "" << QString::fromUtf8("متن");
    QTest::newRow("to nothing") << "xyz" << "" << 0 << "xyz" << "";
}

void TestBookHistory::diffTexts()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, at);
    QFETCH(QString, removed);
    QFETCH(QString, inserted);
    const TextEdit e = zorvel::diffTexts(before, after);
    QCOMPARE(e.at, qsizetype(at));
    QCOMPARE(e.removed, removed);
    QCOMPARE(e.inserted, inserted);
    QString text = before;
    QVERIFY(applyEdit(text, e));
    QCOMPARE(text, after);
    QVERIFY(revertEdit(text, e));
    QCOMPARE(text, before);
}

void TestBookHistory::narrowedKeepsOnlyTheChange()
{
    // A box reports its whole line changed when one letter was typed into it.
    const TextEdit wide{10, QStringLiteral("line one"), QStringLiteral("line zone")};
    QCOMPARE(narrowed(wide), (TextEdit{15, QString(), QStringLiteral("z")}));
    const TextEdit same{4, QStringLiteral("abc"), QStringLiteral("abc")};
    QVERIFY(narrowed(same).isEmpty());
    const TextEdit pureInsert{2, QString(), QStringLiteral("x")};
    QCOMPARE(narrowed(pureInsert), pureInsert);
}

void TestBookHistory::editsThatDoNotFitAreRefused()
{
    QString text = QStringLiteral("short");
    QVERIFY(!applyEdit(text, TextEdit{3, QStringLiteral("too long"), QString()}));
    QVERIFY(!revertEdit(text, TextEdit{-1, QString(), QStringLiteral("x")}));
    QCOMPARE(text, QStringLiteral("short"));
}

void TestBookHistory::workTextKeepsItsEdits()
{
    WorkText t;
    t.reset(QStringLiteral("Name\nTitle\nBody\nrest"));
    QVERIFY(!t.edited());
    const TextEdit cut = t.replace(0, 4, QString());
    QCOMPARE(cut, (TextEdit{0, QStringLiteral("Name"), QString()}));
    // A range reported wider than the change, and one past the end.
    const TextEdit typed = t.replace(1, 5, QStringLiteral("Titles"));
    QCOMPARE(typed, (TextEdit{6, QString(), QStringLiteral("s")}));
    t.replace(100, 3, QStringLiteral("!"));
    QCOMPARE(t.text(), QStringLiteral("\nTitles\nBody\nrest!"));
    QCOMPARE(t.edits().size(), 3);
    QVERIFY(t.edited());
    QCOMPARE(t.base(), QStringLiteral("Name\nTitle\nBody\nrest"));
    // Nothing changed: no edit kept.
    QVERIFY(t.replace(2, 3, QStringLiteral("itl")).isEmpty());
    QCOMPARE(t.edits().size(), 3);
}

void TestBookHistory::workTextRestoresFromSplices()
{
    WorkText t;
    t.reset(QStringLiteral("one two three"));
    t.replace(0, 4, QString());
    t.replace(3, 0, QStringLiteral(" and"));
    t.replace(t.text().size() - 5, 5, QStringLiteral("four"));
    WorkText back;
    QVERIFY(back.restore(t.base(), QStringLiteral("a1.1.txt"), t.splices()));
    QCOMPARE(back.text(), t.text());
    QCOMPARE(back.edits(), t.edits()); // the removed text read from the base
    QCOMPARE(back.baseFile(), QStringLiteral("a1.1.txt"));

    WorkText refused;
    refused.reset(QStringLiteral("kept"));
    QVERIFY(!refused.restore(QStringLiteral("abc"), QStringLiteral("a1.2.txt"),
                             {TextSplice{2, 5, QString()}}));
    QVERIFY(!refused.restore(QStringLiteral("abc"), QStringLiteral("a1.2.txt"),
                             {TextSplice{4, 0, QStringLiteral("x")}}));
    QCOMPARE(refused.text(), QStringLiteral("kept"));
}

void TestBookHistory::typingGoesOnOneEdit()
{
    WorkText t;
    t.reset(QStringLiteral("Title\nBody"));
    int caret = 5;
    for (const char *letter : {"s", "!", "?"})
        t.replace(caret++, 0, QString::fromLatin1(letter));
    t.replace(t.text().indexOf(u'?'), 1, QString()); // backspace
    QCOMPARE(t.text(), QStringLiteral("Titles!\nBody"));
    QCOMPARE(t.edits(), (QList<TextEdit>{TextEdit{5, QString(), QStringLiteral("s!")}}));
    // Deleting forward at one place, letter by letter.
    t.replace(8, 1, QString());
    t.replace(8, 1, QString());
    QCOMPARE(t.edits().size(), 2);
    QCOMPARE(t.edits().last(), (TextEdit{8, QStringLiteral("Bo"), QString()}));
    WorkText back;
    QVERIFY(back.restore(t.base(), QStringLiteral("a1.1.txt"), t.splices()));
    QCOMPARE(back.text(), QStringLiteral("Titles!\ndy"));
}

void TestBookHistory::workTextRebasesWhenEditsGrow()
{
    WorkText t;
    t.reset(QString(1000, u'x'));
    t.setBaseFile(QStringLiteral("a1.1.txt"));
    int n = 0;
    while (!t.wantsRebase() && n < 10000) {
        t.replace(0, 0, QStringLiteral("y")); // each before the last: one edit each
        ++n;
    }
    QVERIFY(t.wantsRebase());
    QVERIFY(n <= 2001);
    const QString now = t.text();
    t.rebase();
    QCOMPARE(t.base(), now);
    QVERIFY(t.edits().isEmpty());
    QVERIFY(t.baseFile().isEmpty()); // to be written again
    QVERIFY(!t.wantsRebase());
    QVERIFY(t.edited());
}

void TestBookHistory::undoRedoInOrder()
{
    BookHistory h;
    QVERIFY(!h.canUndo() && !h.canRedo());
    QVERIFY(!h.undo());
    const TextEdit e1{0, QStringLiteral("T"), QString()};
    QVERIFY(h.record(step("title", stateWith(""), stateWith("", 0), {e1})));
    QVERIFY(h.record(step("name", stateWith(""), stateWith("Book"))));
    QCOMPARE(h.size(), 2);
    QCOMPARE(h.undoLabel(), QStringLiteral("name"));
    const BookHistory::Step *u = h.undo();
    QVERIFY(u);
    QCOMPARE(u->before.bookName, QString());
    QCOMPARE(h.redoLabel(), QStringLiteral("name"));
    u = h.undo();
    QCOMPARE(u->edits, QList<TextEdit>{e1});
    QVERIFY(!h.canUndo());
    QVERIFY(!h.undo());
    QCOMPARE(h.redo()->label, QStringLiteral("title"));
    QCOMPARE(h.redo()->after.bookName, QStringLiteral("Book"));
    QVERIFY(!h.redo());
    QCOMPARE(h.index(), 2);
}

void TestBookHistory::unchangedStepIsNotRecorded()
{
    BookHistory h;
    QVERIFY(!h.record(step("refused mark", stateWith("A", 3), stateWith("A", 3))));
    QCOMPARE(h.size(), 0);
    // The caret alone moving is a change (a command puts it back at the start).
    QVERIFY(h.record(step("mark", stateWith("A", 3), stateWith("A", 0))));
}

void TestBookHistory::newStepDropsTheUndoneOnes()
{
    BookHistory h;
    h.record(step("1", stateWith(""), stateWith("1")));
    h.record(step("2", stateWith("1"), stateWith("2")));
    h.record(step("3", stateWith("2"), stateWith("3")));
    h.undo();
    h.undo();
    h.record(step("other", stateWith("1"), stateWith("x")));
    QCOMPARE(h.size(), 2);
    QVERIFY(!h.canRedo());
    QCOMPARE(h.undo()->label, QStringLiteral("other"));
    QCOMPARE(h.undo()->label, QStringLiteral("1"));
}

void TestBookHistory::typingMergesUntilSomethingElse()
{
    BookHistory h;
    const TextEdit a{0, QString(), QStringLiteral("a")}, b{1, QString(), QStringLiteral("b")};
    h.record(step("typing", stateWith("", 0), stateWith("", 1), {a}, 1));
    h.record(step("typing", stateWith("", 1), stateWith("", 2), {b}, 1));
    QCOMPARE(h.size(), 1);
    QCOMPARE(h.undoLabel(), QStringLiteral("typing"));
    // Typing into another field, a command, or an undo: a new step.
    h.record(step("name", stateWith(""), stateWith("N"), {}, 2));
    QCOMPARE(h.size(), 2);
    h.record(step("mark", stateWith("N"), stateWith("N", 5)));
    h.record(step("typing", stateWith("N", 5), stateWith("N", 6), {a}, 1));
    QCOMPARE(h.size(), 4);
    h.undo();
    h.redo();
    h.record(step("typing", stateWith("N", 6), stateWith("N", 7), {b}, 1));
    QCOMPARE(h.size(), 5);
    // The merged step takes back both letters, last first.
    BookHistory one;
    one.record(step("typing", stateWith("", 0), stateWith("", 1), {a}, 1));
    one.record(step("typing", stateWith("", 1), stateWith("", 2), {b}, 1));
    const BookHistory::Step *merged = one.undo();
    QCOMPARE(merged->edits, (QList<TextEdit>{a, b}));
    QCOMPARE(merged->before.caret.position, 0);
    QCOMPARE(merged->after.caret.position, 2);
    QString text = QStringLiteral("ab");
    for (auto e = merged->edits.crbegin(); e != merged->edits.crend(); ++e)
        QVERIFY(revertEdit(text, *e));
    QVERIFY(text.isEmpty());
}

void TestBookHistory::consecutiveStatesShareOneCopy()
{
    ParagraphTable t;
    t.markTitle(QStringLiteral("T"));
    t.markRelated(QStringLiteral("B"), QStringLiteral("{B}"));
    BookState one;
    one.table = t.contents();
    BookState two = one;
    two.table = t.contents(); // equal, but a list of its own
    QVERIFY(!two.table.paragraphs.isSharedWith(one.table.paragraphs));
    BookHistory h;
    h.record(step("a", BookState{}, one));
    h.record(step("b", two, stateWith("x")));
    const BookHistory::Step *b = h.undo();
    const BookHistory::Step *a = h.undo();
    QVERIFY(b->before.table.paragraphs.isSharedWith(a->after.table.paragraphs));
}

void TestBookHistory::savedTextRoundTrip()
{
    TempProgram tp(false);
    const FileSystem fs;
    const QString work = tp.file("Data/Work/a1.json");
    WorkText text;
    text.reset(QStringLiteral(u"نام\nعنوان يك\nمتن \"يك\"\n\\ پايان"));
    text.setBaseFile(saveWorkTextBase(fs, work, text.base()));
    QCOMPARE(text.baseFile(), QStringLiteral("a1.1.txt"));
    text.replace(0, 3, QString());
    text.replace(1, 0, QStringLiteral(u"تازه\t\x01"));

    BookWork w;
    w.rowLetter = QStringLiteral("a");
    w.bookNo = QStringLiteral("1");
    w.inputText = QStringLiteral("book.txt");
    w.inputSize = 12345678901;
    w.inputModified = 1765200000123;
    BookWork::Text t;
    t.baseFile = text.baseFile();
    t.baseLength = text.base().size();
    t.edits = text.splices();
    t.edited = true;
    t.anchor = 2;
    t.caret = 5;
    w.text = t;
    QVERIFY(hasWork(w)); // an edited text is work, with nothing marked
    saveBookWork(fs, work, w);

    QString problem;
    const std::optional<BookWork> back = loadBookWork(fs, work, &problem);
    QVERIFY(back.has_value());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(back->text.has_value());
    QCOMPARE(back->text->restored.text(), text.text());
    QCOMPARE(back->text->restored.base(), text.base());
    QCOMPARE(back->text->edits, t.edits);
    QCOMPARE(back->text->anchor, 2);
    QCOMPARE(back->text->caret, 5);
    QVERIFY(back->text->edited);
    QCOMPARE(back->inputSize, w.inputSize);
    QCOMPARE(back->inputModified, w.inputModified);

    // A second base gets the next number; the first stays until removed.
    QCOMPARE(saveWorkTextBase(fs, work, QStringLiteral("x")), QStringLiteral("a1.2.txt"));
    QVERIFY(tp.exists("Data/Work/a1.1.txt"));
}

void TestBookHistory::savedWorkOfTheFirstFormatIsRead()
{
    // As the workbench wrote it before the text was kept.
    const QByteArray old = R"({"format":1,"row":"b","book":"2","bookName":"Name","inputText":"t.txt",)"
                           R"("mainText":"","parCount":1,"mainDepth":0,"imgCount":0,"pictures":{},)"
                           R"("rows":["T   =>   B"],"slots":[{"title":"T","body":"{B}","picture":"",)"
                           R"("sound":"","film":""}]})";
    const std::optional<BookWork> w = workFromJson(old);
    QVERIFY(w.has_value());
    QCOMPARE(w->bookName, QStringLiteral("Name"));
    QCOMPARE(w->table.parCount, 1);
    QVERIFY(!w->text.has_value());
    QCOMPARE(w->inputSize, qint64(-1));
    // A format not known yet is not guessed at.
    QByteArray future = old;
    future.replace("\"format\":1", "\"format\":3");
    QVERIFY(!workFromJson(future).has_value());
}

void TestBookHistory::unreadableBaseLosesOnlyTheText_data()
{
    QTest::addColumn<QString>("baseFile");
    QTest::addColumn<QByteArray>("baseBytes");
    QTest::addColumn<int>("baseLength");
    QTest::addColumn<qint64>("editAt");
    QTest::newRow("base missing") << "a1.1.txt" << QByteArray() << 5 << qint64(0);
    QTest::newRow("base of another length") << "a1.1.txt" << QByteArray("abc") << 5 << qint64(0);
    QTest::newRow("base not UTF-8") << "a1.1.txt" << QByteArray("ab\xff\xfe\xfd") << 5 << qint64(0);
    QTest::newRow("a name leading out of the folder") << "../a1.1.txt" << QByteArray("hello") << 5 << qint64(0);
    QTest::newRow("another book's base") << "a2.1.txt" << QByteArray("hello") << 5 << qint64(0);
    QTest::newRow("an edit past the end") << "a1.1.txt" << QByteArray("hello") << 5 << qint64(9);
}

void TestBookHistory::unreadableBaseLosesOnlyTheText()
{
    QFETCH(QString, baseFile);
    QFETCH(QByteArray, baseBytes);
    QFETCH(int, baseLength);
    QFETCH(qint64, editAt);
    TempProgram tp(false);
    const FileSystem fs;
    const QString work = tp.file("Data/Work/a1.json");
    if (!baseBytes.isEmpty()) {
        tp.write("Data/Work/" + QFileInfo(baseFile).fileName(), baseBytes);
        tp.write("Data/" + QFileInfo(baseFile).fileName(), baseBytes);
    }
    ParagraphTable table;
    table.markTitle(QStringLiteral("T"));
    BookWork w;
    w.rowLetter = QStringLiteral("a");
    w.bookNo = QStringLiteral("1");
    w.table = table.contents();
    BookWork::Text t;
    t.baseFile = baseFile;
    t.baseLength = baseLength;
    t.edits = {TextSplice{editAt, 1, QStringLiteral("x")}};
    t.edited = true;
    w.text = t;
    saveBookWork(fs, work, w);
    QString problem;
    const std::optional<BookWork> back = loadBookWork(fs, work, &problem);
    QVERIFY(back.has_value());
    QVERIFY(!back->text.has_value());
    QVERIFY(!problem.isEmpty());
    QCOMPARE(back->table, w.table); // the marks are not lost with it
}

void TestBookHistory::basesOfOneBookAreRemovedAlone()
{
    TempProgram tp(false);
    const FileSystem fs;
    for (const char *name : {"a1.1.txt", "a1.2.txt", "a10.1.txt", "a1.json", "a1.x.txt", "b1.1.txt"})
        tp.write(QStringLiteral("Data/Work/") + name, "x");
    removeWorkTextBases(fs, tp.file("Data/Work/a1.json"), QStringLiteral("a1.2.txt"));
    QStringList left = QDir(tp.file("Data/Work")).entryList(QDir::Files);
    left.sort();
    QCOMPARE(left, (QStringList{"a1.2.txt", "a1.json", "a1.x.txt", "a10.1.txt", "b1.1.txt"}));
    removeWorkTextBases(fs, tp.file("Data/Work/a1.json"), QString());
    QVERIFY(!tp.exists("Data/Work/a1.2.txt"));
    // No Work folder at all: nothing to do.
    removeWorkTextBases(fs, tp.file("Other/Work/a1.json"), QString());
}

void TestBookHistory::persianDigits()
{
    QCOMPARE(zorvel::persianDigits(QStringLiteral("12 of 257")), QStringLiteral(u"۱۲ of ۲۵۷"));
    QCOMPARE(zorvel::persianDigits(QStringLiteral("0")), QStringLiteral(u"۰"));
}

QTEST_GUILESS_MAIN(TestBookHistory)
#include "test_bookhistory.moc"
