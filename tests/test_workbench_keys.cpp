// The workbench at the speed of the operator's hands: every command by
// keyboard on the shown windows, undo and redo across marks, the work resumed
// after a crash exactly as it was, and the traps of the marking commands.
#include "core/book/savedwork.h"
#include "core/book/textrules.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "support/benchfixture.h"
#include "support/recorder.h"
#include "support/screenshot.h"
#include "support/tempprogram.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QToolTip>
#include <QtTest>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

// A short book: its name, an identity line, a group's name, two paragraphs.
const QString kBook = QStringLiteral(u"باغ پدربزرگ\r\nناشر نمونه\r\nفصل اول\r\nعنوان يك\r\nمتن يك\r\n"
                                     u"عنوان دو\r\nمتن دو\r\nپايان كتاب");

void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Tab until the keyboard is in `target`.
bool tabTo(QWidget *target)
{
    for (int i = 0; i < 40 && focused() != target; ++i)
        QTest::keyClick(focused() ? focused() : target->window(), Qt::Key_Tab);
    return focused() == target;
}

void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focused(), Qt::Key(k), mods);
}

void ctrl(int k)
{
    key(k, Qt::ControlModifier);
}

// In the text: its first line with something on it, whole, as the operator
// finds it with the arrows (each marked line leaves an empty one behind).
void selectFirstLine(const Form3 &w)
{
    key(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 50 && w.matn->textCursor().block().text().isEmpty(); ++i)
        key(Qt::Key_Down);
    key(Qt::Key_Home);
    key(Qt::Key_End, Qt::ShiftModifier);
}

QStringList rowsOf(const Form3 &w)
{
    QStringList rows;
    for (int i = 0; i < w.bindex->count(); ++i)
        rows << w.bindex->item(i)->text();
    return rows;
}

// Everything the operator sees of the book, and where the caret stands.
struct Shot {
    ParagraphTable::Contents table;
    QString name;
    QString text;
    int anchor = 0;
    int caret = 0;
    QStringList rows;
    QString mainCaption;
    QString counter;
    bool operator==(const Shot &) const = default;
};

Shot shot(const Form3 &w)
{
    const QTextCursor c = w.matn->textCursor();
    return Shot{w.table.contents(), w.bname->text(), w.matn->Text(),     c.anchor(),
                c.position(),       rowsOf(w),       w.Com[9]->text(),   w.Counter->text()};
}

const char *differs(const Shot &a, const Shot &b)
{
    if (a.table != b.table)
        return "table";
    if (a.name != b.name)
        return "book name";
    if (a.text != b.text)
        return "text";
    if (a.anchor != b.anchor || a.caret != b.caret)
        return "caret";
    if (a.rows != b.rows)
        return "index rows";
    if (a.mainCaption != b.mainCaption || a.counter != b.counter)
        return "captions";
    return nullptr;
}

// The saved work as a fresh start would read it.
std::optional<BookWork> savedWork(Bench &b, QString *problem = nullptr)
{
    QString why;
    auto work = loadBookWork(FileSystem(), b.tp.file("Data/Work/a1.json"), &why);
    if (problem)
        *problem = why;
    return work;
}

// Whether the saved work holds what the window shows.
bool savedMatches(Bench &b, const Form3 &w)
{
    const auto work = savedWork(b);
    if (!work || !work->text)
        return false;
    const QTextCursor c = w.matn->textCursor();
    QString text = w.matn->Text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return work->table == w.table.contents() && work->bookName == w.bname->text()
        && work->text->restored.text() == text && work->text->anchor == c.anchor()
        && work->text->caret == c.position();
}

QWidget *shownTooltip()
{
    for (QWidget *t : QApplication::topLevelWidgets())
        if (t->inherits("QTipLabel") && t->isVisible())
            return t;
    return nullptr;
}

void oneBookCounts(Form1 &f)
{
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
}

} // namespace

class TestWorkbenchKeys : public QObject {
    Q_OBJECT
private slots:
    void shortcutsAreShownInTooltips();
    void wholeBookByKeyboard();
    void editorByKeyboard();
    void undoRedoAcrossMarks();
    void undoWhereverTheKeyboardIs();
    void typingIsOneStepAndUndoable();
    void loadingATextStartsTheHistory();
    void resumeAfterACrash_data();
    void resumeAfterACrash();
    void workSavedBeforeTheTextWasKept();
    void mainTitleWithNothingSelectedIsAskedFor();
    void mainTitleEntryShowsWhereItsNameIsEdited();
    void counterAndNearlyFullWarning();
};

void TestWorkbenchKeys::shortcutsAreShownInTooltips()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "x"); });
    Form3 &w = b.open();
    const struct {
        int com;
        const char *keys;
        QString caption;
    } expected[] = {
        {0, "Ctrl+1", QStringLiteral(u"نام كتاب")},    {1, "Ctrl+2", QStringLiteral(u"شناسنامه كتاب")},
        {2, "Ctrl+3", QStringLiteral(u"عنوان")},       {3, "Ctrl+4", QStringLiteral(u"متن مرتبط")},
        {9, "Ctrl+5", QStringLiteral(u"عنوان اصلي")},  {10, "Ctrl+6", QStringLiteral(u"پايان")},
        {4, "Ctrl+D", QStringLiteral(u"حذف متن")},     {11, "Ctrl+S", QStringLiteral(u"ساخت فايل")},
    };
    for (const auto &e : expected) {
        const QString tip = w.Com[e.com]->toolTip();
        QVERIFY2(tip.startsWith(e.caption), qPrintable(tip));
        QVERIFY2(tip.contains(QLatin1String(e.keys)), qPrintable(tip));
        QCOMPARE(w.comAction[e.com]->shortcut(), QKeySequence(QString::fromLatin1(e.keys)));
    }
    // The signs that join the book name have keys too, and no two commands share one.
    QSet<QString> keys;
    for (int i = 0; i < 12; ++i) {
        QVERIFY2(w.comAction[i], qPrintable(QString::number(i)));
        const QString k = w.comAction[i]->shortcut().toString();
        QVERIFY(w.Com[i]->toolTip().contains(k));
        keys.insert(k);
    }
    QCOMPARE(keys.size(), 12);
    QCOMPARE(w.undoAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(w.redoAction->shortcuts(),
             (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))}));
    QVERIFY(w.matn->toolTip().contains(QStringLiteral("Ctrl+Z")));

    // As the pointer shows it: whole, beside its button.
    showActive(w);
    QToolTip::showText(w.Com[9]->mapToGlobal(QPoint(4, 4)), w.Com[9]->toolTip(), w.Com[9]);
    QTRY_VERIFY(shownTooltip());
    QWidget *tip = shownTooltip();
    const auto *label = qobject_cast<QLabel *>(tip);
    QVERIFY(label);
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
    saveShot(tip, QStringLiteral("form3-tooltip"));
    QToolTip::hideText();

    w.parIndex = -1;
    Form6 e(b.ctx);
    QVERIFY(e.btn[4]->toolTip().startsWith(e.btn[4]->text()));
    QVERIFY(e.btn[4]->toolTip().contains(QStringLiteral("Ctrl+S")));
}

void TestWorkbenchKeys::wholeBookByKeyboard()
{
    Bench b([](TempProgram &tp) { tp.write("book.txt", encode1256(kBook)); });
    oneBookCounts(*b.f1);
    Form3 &w = b.open();
    showActive(w);
    // The group's name is asked for: nothing is selected when Ctrl+5 comes.
    b.rec.queueTextAnswers({QStringLiteral(u"فصل اول")});

    QVERIFY(tabTo(w.books));
    key(Qt::Key_Down);
    QCOMPARE(w.books->currentRow(), 0);
    QVERIFY(w.matn->Text().startsWith(QStringLiteral(u"متن كتاب"))); // Down alone opens nothing
    key(Qt::Key_Return);
    QCOMPARE(w.matn->Text(), Rep(kBook));

    QVERIFY(tabTo(w.matn));
    selectFirstLine(w);
    ctrl(Qt::Key_1);
    QCOMPARE(w.bname->text(), QStringLiteral(u"باغ پدربزرگ"));
    selectFirstLine(w);
    ctrl(Qt::Key_2);
    ctrl(Qt::Key_5);
    QCOMPARE(b.rec.textPrompts(), QStringList{Form3::mainTitlePrompt()});
    selectFirstLine(w); // the group's name line: not wanted in the book
    ctrl(Qt::Key_D);
    selectFirstLine(w);
    ctrl(Qt::Key_3);
    selectFirstLine(w);
    ctrl(Qt::Key_4);
    ctrl(Qt::Key_6);
    selectFirstLine(w);
    ctrl(Qt::Key_3);
    selectFirstLine(w);
    ctrl(Qt::Key_4);
    QCOMPARE(w.table.parCount(), 5);
    QCOMPARE(w.table.slot(1).title, markMain());
    QCOMPARE(w.table.slot(1).body, QStringLiteral(u"فصل اول"));
    QCOMPARE(w.table.slot(4).title, QStringLiteral(u"عنوان دو"));
    QCOMPARE(w.matn->Text().remove(QStringLiteral("\r\n")), QStringLiteral(u"پايان كتاب"));
    QCOMPARE(w.Counter->text(), QStringLiteral(u"۵ از ۲۵۷"));
    QVERIFY(b.rec.notices().isEmpty());
    saveShot(&w, QStringLiteral("form3-keyboard"));

    ctrl(Qt::Key_S);
    QCOMPARE(b.rec.messages(), QList<qint16>{4});
    QVERIFY(!w.isVisible());
    const QString tree = FileSystem().readUnicode(b.tp.file("Data/_xml/aTitle1.xml"));
    const QStringList lines = tree.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7);
    QVERIFY(lines[2].startsWith(QStringLiteral(u"\t<node label=\"شناسنامه\"")));
    QCOMPARE(lines[3], QStringLiteral(u"\t<node label=\"فصل اول\">"));
    QVERIFY(lines[4].startsWith(QStringLiteral(u"\t\t<node label=\"عنوان يك\"")));
    QCOMPARE(lines[5], QStringLiteral("\t</node>"));
    QVERIFY(lines[6].startsWith(QStringLiteral(u"\t<node label=\"عنوان دو\"")));
    QVERIFY(FileSystem().readUnicode(b.tp.file("Data/_xml/BookTitle.xml"))
                .contains(QStringLiteral(u"<aBook1>باغ پدربزرگ</aBook1>")));
    QVERIFY(!b.tp.exists("Data/Work/a1.json"));
    QVERIFY(QDir(b.tp.file("Data/Work")).entryList(QDir::Files).isEmpty());
}

void TestWorkbenchKeys::editorByKeyboard()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2"); });
    Form3 &w = b.open();
    showActive(w);
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T1", "B1");
    Bench::markParagraph(w, "T2", "B2");
    int opened = 0;
    QList<bool> stillOpen;
    b.rec.onModal("zorvel::Form6", [&](QDialog &d) {
        auto &e = static_cast<Form6 &>(d);
        ++opened;
        showActive(e);
        QVERIFY(tabTo(e.bname));
        key(Qt::Key_End);
        QTest::keyClicks(e.bname, opened == 1 ? "x" : "y");
        if (opened == 1) {
            ctrl(Qt::Key_S); // stores and closes
            return;
        }
        // Escape with a change not stored asks; No keeps the editor open.
        b.rec.queueAnswers({false, true});
        key(Qt::Key_Escape);
        stillOpen << e.isVisible();
        key(Qt::Key_Escape);
        stillOpen << e.isVisible();
    });
    QVERIFY(tabTo(w.bindex));
    key(Qt::Key_Up); // the second row is the current one after the marks
    QCOMPARE(w.bindex->currentRow(), 0);
    key(Qt::Key_Enter);
    QCOMPARE(opened, 1);
    QCOMPARE(w.table.slot(0).title, QStringLiteral("T1x"));
    QVERIFY(rowsOf(w).first().startsWith(QStringLiteral("T1x")));
    QVERIFY(b.rec.questions().isEmpty());
    QTRY_COMPARE(focused(), static_cast<QWidget *>(w.bindex));

    key(Qt::Key_Down);
    key(Qt::Key_Return);
    QCOMPARE(opened, 2);
    QCOMPARE(stillOpen, (QList<bool>{true, false}));
    QCOMPARE(b.rec.questions().size(), 2);
    QCOMPARE(w.table.slot(1).title, QStringLiteral("T2")); // thrown away, as asked
    // The stored edit is one step of the history.
    QTRY_COMPARE(focused(), static_cast<QWidget *>(w.bindex));
    ctrl(Qt::Key_Z);
    QCOMPARE(w.table.slot(0).title, QStringLiteral("T1"));

    // The close box asks the same; an editor left without a change asks nothing.
    b.rec.clear();
    b.rec.onModal("zorvel::Form6", [&](QDialog &d) {
        auto &e = static_cast<Form6 &>(d);
        showActive(e);
        e.picB->setText(QStringLiteral("changed.jpg"));
        b.rec.queueAnswers({false, true});
        e.close();
        stillOpen << e.isVisible();
        e.close();
        stillOpen << e.isVisible();
    });
    key(Qt::Key_Return);
    QCOMPARE(stillOpen, (QList<bool>{true, false, true, false}));
    QCOMPARE(b.rec.questions().size(), 2);
    QVERIFY(w.table.slot(1).pic.isEmpty());
    b.rec.clear();
    b.rec.onModal("zorvel::Form6", [](QDialog &d) {
        showActive(d);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    QTRY_COMPARE(focused(), static_cast<QWidget *>(w.bindex));
    key(Qt::Key_Return);
    QCOMPARE(b.rec.modals().size(), 1);
    QVERIFY(b.rec.questions().isEmpty());
}

void TestWorkbenchKeys::undoRedoAcrossMarks()
{
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", "Name\r\nIdent\r\nGroup\r\nTa\r\nBa\r\ndrop me\r\nTb\r\nBb\r\nTc\r\nBc");
    });
    Form3 &w = b.open();
    showActive(w);
    Bench::loadText(w, "t.txt");
    const Shot loaded = shot(w);
    // What the window showed just before each step (the piece selected) and
    // just after it.
    QList<std::pair<Shot, Shot>> steps;
    auto command = [&](const char *piece, int com) {
        if (piece)
            Bench::select(w, QString::fromLatin1(piece));
        const Shot before = shot(w);
        w.Com_Click(com);
        steps.append({before, shot(w)});
    };
    command("Name", 0);
    command("Ident", 1);
    command("Group", 9);
    command("Ta", 2);
    command("Ba", 3);
    command(nullptr, 10);
    command("drop me", 4);
    command("Tb", 2);
    command("Bb", 3);
    command("Tc", 6); // " - Tc" onto the book name
    // A stored edit and a deleted row, through the editor.
    auto inEditor = [&](int row, const std::function<void(Form6 &)> &act) {
        const Shot before = shot(w);
        w.parIndex = qint16(row);
        {
            Form6 e(b.ctx);
            act(e);
        }
        steps.append({before, shot(w)});
    };
    inEditor(4, [](Form6 &e) {
        e.bname->setText(QStringLiteral("Tb edited"));
        e.btn_Click(4);
    });
    inEditor(1, [](Form6 &e) { e.btn_Click(0); }); // the main title: its end entry goes with it
    QCOMPARE(w.history().size(), steps.size());
    QCOMPARE(rowsOf(w), (QStringList{steps[1].second.rows[0], steps[4].second.rows[2],
                                      steps[10].second.rows[4]}));

    w.matn->setFocus();
    // Back step by step to the moment the text was loaded, each piece selected
    // again as it was, the saved work following every step.
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        ctrl(Qt::Key_Z);
        const char *what = differs(shot(w), steps[i].first);
        QVERIFY2(!what, qPrintable(QStringLiteral("undo of step %1: %2").arg(i).arg(what)));
        QVERIFY2(savedMatches(b, w), qPrintable(QString::number(i)));
    }
    QVERIFY(!w.history().canUndo());
    QCOMPARE(shot(w).text, loaded.text);
    QCOMPARE(shot(w).table, loaded.table);
    ctrl(Qt::Key_Z); // nothing left to take back
    QCOMPARE(shot(w).text, loaded.text);

    // And forward again, with either redo key.
    for (qsizetype i = 0; i < steps.size(); ++i) {
        i % 2 ? ctrl(Qt::Key_Y) : key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        const char *what = differs(shot(w), steps[i].second);
        QVERIFY2(!what, qPrintable(QStringLiteral("redo of step %1: %2").arg(i).arg(what)));
    }
    QVERIFY(!w.history().canRedo());
    QVERIFY(savedMatches(b, w));
    QVERIFY(b.rec.notices().isEmpty());
}

void TestWorkbenchKeys::undoWhereverTheKeyboardIs()
{
    const QString text = QStringLiteral("T1\r\nB1\r\nT2\r\nB2\r\nT3\r\nB3\r\nrest");
    Bench b([&](TempProgram &tp) { tp.write("t.txt", text.toLatin1()); });
    Form3 &w = b.open();
    showActive(w);
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T1", "B1");
    Bench::markParagraph(w, "T2", "B2");
    Bench::markParagraph(w, "T3", "B3");
    const QList<QWidget *> places{w.bname, w.bindex, w.books, w.Com[3], w.Chek, w.matn};
    for (QWidget *place : places) {
        if (!w.history().canUndo())
            break;
        QVERIFY(tabTo(place));
        const qsizetype before = w.history().index();
        ctrl(Qt::Key_Z);
        QVERIFY2(w.history().index() == before - 1, place->metaObject()->className());
    }
    QCOMPARE(w.history().index(), 0);
    QCOMPARE(w.table.parCount(), 0);
    QCOMPARE(w.matn->Text(), Rep(text));
    QVERIFY(tabTo(w.bname));
    ctrl(Qt::Key_Y);
    QCOMPARE(w.history().index(), 1);
    QCOMPARE(rowsOf(w), QStringList{"T1"});
    QVERIFY(w.bname->text().isEmpty()); // the keys went to the history, not into the field
}

void TestWorkbenchKeys::typingIsOneStepAndUndoable()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Title\r\nBody"); });
    Form3 &w = b.open();
    showActive(w);
    Bench::loadText(w, "t.txt");
    const Shot loaded = shot(w);
    QVERIFY(tabTo(w.matn));
    key(Qt::Key_End);
    QTest::keyClicks(w.matn, "s!");
    QCOMPARE(w.matn->Text(), QStringLiteral("Titles!\r\nBody"));
    QCOMPARE(w.history().size(), 1); // one run of typing, one step
    QVERIFY(savedMatches(b, w));
    QVERIFY(tabTo(w.bname));
    QTest::keyClicks(w.bname, "Book");
    QCOMPARE(w.history().size(), 2);
    QVERIFY(savedMatches(b, w));
    ctrl(Qt::Key_Z);
    QVERIFY(w.bname->text().isEmpty());
    ctrl(Qt::Key_Z);
    QCOMPARE(shot(w).text, loaded.text);
    QCOMPARE(shot(w).table, loaded.table);
    QVERIFY(!w.history().canUndo());
    QVERIFY(savedMatches(b, w));
    // The box's own undo does not hold the typing a second time.
    QVERIFY(!w.matn->document()->isUndoAvailable());
    ctrl(Qt::Key_Y);
    ctrl(Qt::Key_Y);
    QCOMPARE(w.matn->Text(), QStringLiteral("Titles!\r\nBody"));
    QCOMPARE(w.bname->text(), QStringLiteral("Book"));
}

void TestWorkbenchKeys::loadingATextStartsTheHistory()
{
    Bench b([](TempProgram &tp) {
        tp.write("one.txt", "T1\r\nB1");
        tp.write("two.txt", "T2\r\nB2");
    });
    Form3 &w = b.open();
    Bench::loadText(w, "one.txt");
    Bench::markParagraph(w, "T1", "B1");
    QCOMPARE(w.history().size(), 2);
    Bench::loadText(w, "two.txt");
    QVERIFY(!w.history().canUndo());
    w.undoStep(); // the marks of the first text stay
    QCOMPARE(w.table.parCount(), 1);
    QCOMPARE(w.matn->Text(), Rep(QStringLiteral("T2\r\nB2")));
}

void TestWorkbenchKeys::resumeAfterACrash_data()
{
    QTest::addColumn<QString>("inputFile");
    QTest::newRow("input text unchanged") << "unchanged";
    QTest::newRow("input text changed since") << "changed";
    QTest::newRow("input text gone") << "gone";
}

void TestWorkbenchKeys::resumeAfterACrash()
{
    QFETCH(QString, inputFile);
    Bench b([](TempProgram &tp) { tp.write("book.txt", encode1256(kBook)); });
    oneBookCounts(*b.f1);
    {
        Form3 &w = b.open();
        showActive(w);
        Bench::loadText(w, "book.txt");
        Bench::select(w, QStringLiteral(u"باغ پدربزرگ"));
        w.Com_Click(0);
        Bench::select(w, QStringLiteral(u"فصل اول"));
        w.Com_Click(9);
        Bench::markParagraph(w, QStringLiteral(u"عنوان يك"), QStringLiteral(u"متن يك"));
        Bench::select(w, QStringLiteral(u"عنوان دو"));
        w.Com_Click(2); // a title still waiting for its text
        // Typed into the text, then the caret moved by the keyboard alone.
        QVERIFY(tabTo(w.matn));
        key(Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.matn, "!");
        key(Qt::Key_Up);
        key(Qt::Key_Home);
        key(Qt::Key_End, Qt::ShiftModifier);
        QTRY_VERIFY(savedMatches(b, w)); // the caret is saved a moment after it stops
    }
    const Shot before = shot(*b.ctx.form3);
    QVERIFY(before.anchor != before.caret);
    QVERIFY(!before.text.contains(QStringLiteral(u"عنوان يك"))); // cut out with "با حذف"

    // A crash: the windows go without any close handler running.
    delete b.ctx.form3;
    b.f1.reset();
    if (inputFile == "changed")
        b.tp.write("book.txt", encode1256(kBook + QStringLiteral(u"\r\nافزوده")));
    else if (inputFile == "gone")
        QVERIFY(QFile::remove(b.tp.file("book.txt")));

    b.rec.clear();
    b.f1 = std::make_unique<Form1>(b.ctx);
    b.rec.queueAnswers({true});
    Form3 &w = b.open();
    QCOMPARE(b.rec.questions().size(), 1);
    const QString question = b.rec.questions().first();
    QCOMPARE(question.contains(QStringLiteral(u"تغيير كرده است")), inputFile != "unchanged");
    if (inputFile != "unchanged")
        QVERIFY(question.contains(QStringLiteral(u"«book.txt»")));
    QVERIFY(b.rec.notices().isEmpty());
    const char *what = differs(shot(w), before);
    QVERIFY2(!what, what);
    QVERIFY(w.table.hasPendingTitle());

    // The history starts at the resume; the work goes on from here.
    QVERIFY(!w.history().canUndo());
    Bench::select(w, QStringLiteral(u"متن دو"));
    w.Com_Click(3);
    QCOMPARE(w.table.parCount(), 3);
    w.undoStep();
    QCOMPARE(w.table.contents(), before.table);
    QCOMPARE(w.matn->Text(), before.text);
    QVERIFY(savedMatches(b, w));
}

void TestWorkbenchKeys::workSavedBeforeTheTextWasKept()
{
    // Saved work without the text: the text is read again from its file.
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", "T\r\nB\r\nrest");
        tp.write("Data/Work/a1.json",
                 R"({"format":1,"row":"a","book":"1","bookName":"Old","inputText":"t.txt",)"
                 R"("mainText":"","parCount":1,"mainDepth":0,"imgCount":0,"pictures":{},)"
                 R"("rows":["T   =>   B"],"slots":[{"title":"T","body":"{B}","picture":"",)"
                 R"("sound":"","film":""}]})");
    });
    b.rec.queueAnswers({true});
    Form3 &w = b.open();
    QCOMPARE(b.rec.questions().size(), 1);
    QVERIFY(!b.rec.questions().first().contains(QStringLiteral(u"تغيير كرده است")));
    QCOMPARE(w.bname->text(), QStringLiteral("Old"));
    QCOMPARE(w.matn->Text(), QStringLiteral("T\r\nB\r\nrest"));
    // The next save writes the text in the new form.
    Bench::select(w, "rest");
    w.Com_Click(4);
    QVERIFY(savedMatches(b, w));
}

void TestWorkbenchKeys::mainTitleWithNothingSelectedIsAskedFor()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Group\r\nT\r\nB"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.matn->setSelStart(2);
    b.rec.queueTextAnswers({std::nullopt, QStringLiteral("   "), QStringLiteral(u"بخش يك")});
    w.Com_Click(9); // cancelled
    QCOMPARE(w.bindex->count(), 0);
    QCOMPARE(w.Com[9]->text(), ParagraphTable::mainCaption(0));
    w.Com_Click(9); // only spaces: no name
    QCOMPARE(w.bindex->count(), 0);
    QVERIFY(!w.history().canUndo());
    w.Com_Click(9);
    QCOMPARE(b.rec.textPrompts(), QStringList(3, Form3::mainTitlePrompt()));
    QCOMPARE(w.table.slot(0).title, markMain());
    QCOMPARE(w.table.slot(0).body, QStringLiteral(u"بخش يك"));
    QCOMPARE(w.Com[9]->text(), ParagraphTable::mainCaption(1));
    QCOMPARE(w.matn->Text(), QStringLiteral("Group\r\nT\r\nB")); // nothing cut from the text
    // A selection is the name, as before: nothing asked.
    Bench::select(w, "Group");
    w.Com_Click(9);
    QCOMPARE(b.rec.textPrompts().size(), 3);
    QCOMPARE(w.table.slot(1).body, QStringLiteral("Group"));
}

void TestWorkbenchKeys::mainTitleEntryShowsWhereItsNameIsEdited()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Group\r\nT\r\nB"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Group");
    w.Com_Click(9);
    Bench::markParagraph(w, "T", "B");
    w.parIndex = 0;
    {
        Form6 e(b.ctx);
        showActive(e);
        QVERIFY(e.mainHint->isVisible());
        QVERIFY(e.mainHint->geometry().bottom() < e.matn->geometry().top());
        QVERIFY(e.bname->isReadOnly());
        QCOMPARE(e.matn->Text(), QStringLiteral("Group"));
        saveShot(&e, QStringLiteral("form6-main-title"));
        e.matn->setText(QStringLiteral("Group renamed"));
        e.btn_Click(4);
    }
    QCOMPARE(w.table.slot(0).body, QStringLiteral("Group renamed"));
    w.parIndex = 1;
    Form6 e(b.ctx);
    showActive(e);
    QVERIFY(!e.mainHint->isVisible());
    QVERIFY(!e.bname->isReadOnly());
}

void TestWorkbenchKeys::counterAndNearlyFullWarning()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB\r\nU\r\nC\r\nV\r\nD"); });
    Form3 &w = b.open();
    showActive(w);
    Bench::loadText(w, "t.txt");
    QCOMPARE(w.Counter->text(), QStringLiteral(u"۰ از ۲۵۷"));
    QVERIFY(w.Counter->isVisible());
    for (int i = 0; i < 249; ++i) {
        w.table.markTitle(QStringLiteral("P%1").arg(i));
        w.table.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
    }
    w.syncIndex();
    QCOMPARE(w.Counter->text(), QStringLiteral(u"۲۴۹ از ۲۵۷"));
    // The 250th slot: a pending title fills it.
    Bench::select(w, "T");
    w.Com_Click(2);
    QCOMPARE(w.Counter->text(), QStringLiteral(u"۲۵۰ از ۲۵۷"));
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(b.rec.notices().first().contains(QStringLiteral(u"۲۵۰ از ۲۵۷")));
    Bench::select(w, "B");
    w.Com_Click(3);
    w.undoStep();
    w.undoStep();
    w.redoStep();
    w.redoStep();
    Bench::markParagraph(w, "U", "C");
    QCOMPARE(b.rec.notices().size(), 1); // once
    QCOMPARE(w.Counter->text(), QStringLiteral(u"۲۵۱ از ۲۵۷"));
    // Beside the index, whole, and right to left.
    const QRect counter = w.Counter->geometry();
    QVERIFY(counter.top() >= w.bindex->geometry().bottom());
    QVERIFY(w.Counter->parentWidget()->rect().contains(counter));
    QVERIFY(w.Counter->fontMetrics().horizontalAdvance(w.Counter->text()) < counter.width());
    QCOMPARE(w.Counter->layoutDirection(), Qt::RightToLeft);
    saveShot(&w, QStringLiteral("form3-counter"));
}

QTEST_MAIN(TestWorkbenchKeys)
#include "test_workbench_keys.moc"
