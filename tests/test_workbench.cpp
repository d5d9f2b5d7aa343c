// The workbench and the command "Next", driven through the real Form1 and Form3.
#include "core/book/savedwork.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"
#include "support/accessiblenames.h"
#include "support/benchfixture.h"
#include "support/filesizelimit.h"
#include "support/foldersnapshot.h"
#include "support/recorder.h"
#include "support/screenshot.h"
#include "support/tempprogram.h"
#include "ui/common/appcontext.h"
#include "ui/common/placement.h"
#include "ui/common/uistyle.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include "core/richtext/rtf.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

const QString kArrow = QStringLiteral("   =>   ");

QByteArray cp1256(const QString &text)
{
    return encodeCodePage(1256, text);
}

} // namespace

class TestWorkbench : public QObject {
    Q_OBJECT
private slots:
    void nextWithDesignValuesOpensWorkbench();
    void nextMessageOrder();
    void nextWithMusicOffIgnoresMusic();
    void secondNextCreatesNothing();
    void nextKeepsPickerSelection();
    void relativeBuildFolderKeepsUnsavedChoicesAndBook_data();
    void relativeBuildFolderKeepsUnsavedChoicesAndBook();
    void workbenchWindow();
    void fileListPicksTxtFiles();
    void emptyInputFolderShowsMessageOne();
    void inputTextLoadsCleanedAndRightAligned();
    void unreadableAndEmptyInputTexts();
    void nameNevis_data();
    void nameNevis();
    void markingWithDeletion();
    void markingWithoutDeletion();
    void bookNameAssembly();
    void mainTitlesNestAndClose();
    void closeWithNothingOpenKeepsSelection();
    void titleTrimmedOfSpaceThenBreak();
    void anotherInputTextKeepsTable();
    void refusedMarksChangeNothing();
    void deleteTextCommand();
    void bnameCtrlA();
    void resizeSnapsBack();
    void minimiseAndRestoreTogether();
    void bookIsWrittenToTheSlotTheWorkbenchShows();
    void bookNoLongerOfferedIsAskedFor_data();
    void bookNoLongerOfferedIsAskedFor();
    void emptyPickerNeverReusesTheLastSlot();
    void workIsSavedAfterEveryChange();
    void nextAsksToGoOnWithSavedWork_data();
    void nextAsksToGoOnWithSavedWork();
    void eachBookKeepsItsOwnMarks();
    void markingWithNothingSelectedIsRefused();
    void titleSelectedAsWholeLineLosesItsLineBreaks();
    void refusedWriteKeepsTheText();
    void inputTextsAreListedAgainOnNext();
    void workThatCannotBeSavedIsSaidOnceAndNotDropped();
    void unreadableSavedWorkIsSetAside_data();
    void unreadableSavedWorkIsSetAside();
    void savedWorkBringsBackOnlyProjectFiles();
    void bookThatCannotBeWrittenKeepsTheWork();
    void missingSourceIsAskedAboutBeforeWriting_data();
    void missingSourceIsAskedAboutBeforeWriting();
    void everyControlIsNamed();
    void placement_data();
    void placement();
    void nextPlacesTheWorkbenchOnTheScreen();
    void contextMenusOpenRightToLeft();
};

void TestWorkbench::nextWithDesignValuesOpensWorkbench()
{
    Bench b([](TempProgram &tp) { tp.write("book.txt", cp1256(QStringLiteral(u"سلام"))); });
    Form1 &f = *b.f1;
    Form3 &w = b.open();
    QVERIFY(b.rec.messages().isEmpty());
    const QString s = QString(folderSeparator());
    QCOMPARE(f.idir->text(), b.tp.path() + s + "Data");
    QCOMPARE(f.Text1->text(), QDir::toNativeSeparators(b.tp.path()));
    QCOMPARE(f.index->text(), b.tp.path() + s + "Resources" + s + "MyBook.jpg");
    QCOMPARE(f.Mus1->text(), b.tp.path() + s + "Resources" + s + "MySound1.mp3");
    QCOMPARE(f.Back->text(), b.tp.path() + s + "Resources" + s + "MyBack.jpg");
    for (const char *d : {"Data/BookTXT", "Data/_xml", "Data/BookIMG", "Data/FlashIMG"})
        QVERIFY2(b.tp.exists(d), d);
    QVERIFY(b.tp.exists("Data/BookTXT/CDProperty.xml"));
    QVERIFY(b.tp.exists("Data/BookIMG/aBook1.jpg"));
    QVERIFY(w.isVisible());
    QVERIFY(!w.isModal());
    QVERIFY(f.isEnabled());
}

void TestWorkbench::nextMessageOrder()
{
    Bench b;
    Form1 &f = *b.f1;
    f.idir->setText(QStringLiteral("NoSuchFolder"));
    f.Text1->setText(QStringLiteral("NoTexts"));
    f.index->setText(QStringLiteral("none.jpg"));
    f.Mus1->setText(QStringLiteral("none1.mp3"));
    f.Mus2->setText(QStringLiteral("none2.mp3"));
    f.Back->setText(QStringLiteral("none.jpg"));
    f.Command3_Click();
    QCOMPARE(b.rec.messages(), (QList<qint16>{10, 9, 11, 12, 13, 14}));
    QVERIFY(!b.ctx.form3);
    QVERIFY(!b.tp.exists("Data/BookTXT"));
    // The fields are left absolute.
    QVERIFY(isAbsoluteFieldPath(f.Back->text()));
}

void TestWorkbench::nextWithMusicOffIgnoresMusic()
{
    Bench b;
    Form1 &f = *b.f1;
    f.bMus[1]->setChecked(true);
    f.Mus1->setText(QStringLiteral("none1.mp3"));
    f.index->setText(QStringLiteral("none.jpg"));
    f.idir->setText(QStringLiteral("Missing"));
    f.Command3_Click();
    QCOMPARE(b.rec.messages(), (QList<qint16>{10, 11}));
    QVERIFY(!b.ctx.form3);
}

void TestWorkbench::secondNextCreatesNothing()
{
    Bench b([](TempProgram &tp) { tp.write("a.txt", "x"); });
    b.open();
    b.tp.write("Data/BookTXT/marker", "keep");
    const QDateTime before = QFileInfo(b.tp.file("Data/_xml")).birthTime();
    b.ctx.form3->hide();
    b.f1->Command3_Click();
    QVERIFY(b.ctx.form3->isVisible());
    QCOMPARE(b.tp.read("Data/BookTXT/marker"), QByteArray("keep"));
    QCOMPARE(QFileInfo(b.tp.file("Data/_xml")).birthTime(), before);
    QVERIFY(b.rec.messages().isEmpty());
}

void TestWorkbench::nextKeepsPickerSelection()
{
    Bench b([](TempProgram &tp) { tp.write("a.txt", "x"); });
    Form1 &f = *b.f1;
    f.dataName->setCurrentIndex(12); // third book of row 2
    QVERIFY(f.dataName->currentText().endsWith(QStringLiteral("(b3)")));
    Form3 &w = b.open();
    QCOMPARE(f.dataName->currentIndex(), 12);
    QVERIFY(b.tp.exists("Data/BookIMG/bBook3.jpg"));
    QCOMPARE(w.BookLabel->text(), QStringLiteral(u"نام كتاب سوم در رديف دوم:"));
}

void TestWorkbench::relativeBuildFolderKeepsUnsavedChoicesAndBook_data()
{
    QTest::addColumn<bool>("exportCommand");
    QTest::newRow("next") << false;
    QTest::newRow("export") << true;
}

void TestWorkbench::relativeBuildFolderKeepsUnsavedChoicesAndBook()
{
    QFETCH(bool, exportCommand);
    Bench b([](TempProgram &tp) {
        tp.write("a.txt", "x");
        tp.mkdir("Export");
        tp.write("Resources/setup", "installer program");
        tp.write("Resources/setup.exe", "installer program for Windows");
        for (const char *d : {"Data/_xml", "Data/BookIMG", "Data/FlashIMG"})
            tp.mkdir(d);
        tp.write("Data/BookTXT/CDProperty.xml",
                 utf16le(buildSettingsText({"10", "10", "10", true, true, false})));
    });
    Form1 &f = *b.f1;
    QCOMPARE(f.idir->text(), QStringLiteral("Data")); // relative, as at every start
    // Choices not saved yet, and the third book of row 2.
    f.title->setText(QStringLiteral("6"));
    f.MakeCombo();
    f.Olgoo[1]->setChecked(true);
    f.Pcheck->setChecked(true);
    f.dataName->setCurrentIndex(f.dataName->findText(pickerEntry("b", 3)));
    exportCommand ? f.Command10_Click() : f.Command3_Click();
    QVERIFY(isAbsoluteFieldPath(f.idir->text()));
    QCOMPARE(f.title->text(), QStringLiteral("6"));
    QVERIFY(f.Olgoo[1]->isChecked());
    QVERIFY(f.Pcheck->isChecked());
    QCOMPARE(f.dataName->currentText(), pickerEntry("b", 3));
    QCOMPARE(b.tp.read("Data/BookTXT/CDProperty.xml"),
             utf16le(buildSettingsText({"6", "10", "10", false, true, true})));
    QCOMPARE(QDir(b.tp.file("Data/BookIMG")).entryList(QDir::Files), QStringList{"bBook3.jpg"});
    if (exportCommand) {
        QCOMPARE(b.rec.messages(), QList<qint16>{29});
    } else {
        QVERIFY(b.rec.messages().isEmpty());
        QCOMPARE(b.ctx.form3->BookLabel->text(), QStringLiteral(u"نام كتاب سوم در رديف دوم:"));
    }
}

void TestWorkbench::workbenchWindow()
{
    Bench b;
    QFile sample(QStringLiteral(ZORVEL_SOURCE_DIR "/samples/bagh.txt"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    b.tp.write("bagh.txt", sample.readAll());
    Form3 &w = b.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("Format data"));
    QCOMPARE(w.size(), QSize(824, 596));
    QVERIFY(w.Chek->isChecked());
    QCOMPARE(w.Chek->text(), QStringLiteral(u"با حذف"));
    QCOMPARE(w.Com[9]->text(), QStringLiteral(u"عنوان اصلي (0)\u200F"));
    QCOMPARE(w.Com[11]->text(), QStringLiteral(u"ساخت فايل"));
    QVERIFY(w.matn->Text().startsWith(QStringLiteral(u"متن كتاب در اين محل")));
    QCOMPARE(w.matn->Text().count(QStringLiteral("\r\n")), 2);
    QCOMPARE(w.matn->SelAlignment(), 1);
    // The buttons stand right to left in their order.
    const int order[] = {0, 1, 5, 6, 7, 8, 9, 10, 2, 3, 4, 11};
    for (int i = 0; i + 1 < 12; ++i)
        QVERIFY(w.Com[order[i]]->x() > w.Com[order[i + 1]]->x());
    QVERIFY(w.Chek->x() < w.Com[3]->x() && w.Chek->x() > w.Com[4]->x());
    QVERIFY(w.books->x() > w.Frame2->x() + w.Frame2->width() - 5);

    Bench::loadText(w, "bagh.txt");
    Bench::select(w, QStringLiteral(u"باغ پدربزرگ"));
    w.Com_Click(0);
    Bench::select(w, QStringLiteral(u"ناشر"));
    w.Com_Click(1);
    Bench::select(w, QStringLiteral(u"باغ كوچك"));
    w.Com_Click(2);
    const QString body = w.matn->Text().section(QStringLiteral("\r\n"), 1, 1);
    Bench::select(w, body);
    w.Com_Click(3);
    QCOMPARE(w.bindex->count(), 2);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    saveShot(&w, QStringLiteral("form3"));
}

void TestWorkbench::fileListPicksTxtFiles()
{
    Bench b([](TempProgram &tp) {
        tp.mkdir("texts");
        for (const char *n : {"a.TXT", "b.txt", "c.text", "notes", "txt"})
            tp.write(QStringLiteral("texts/") + n, "x");
    });
    b.f1->Text1->setText(b.tp.file("texts"));
    Form3 &w = b.open();
    QStringList listed;
    for (int i = 0; i < w.books->count(); ++i)
        listed << w.books->item(i)->text();
    QCOMPARE(listed, (QStringList{"a.TXT", "b.txt", "txt"}));
    QCOMPARE(w.FileList(), qint16(3));
    QVERIFY(b.rec.messages().isEmpty());
}

void TestWorkbench::emptyInputFolderShowsMessageOne()
{
    Bench b([](TempProgram &tp) { tp.mkdir("empty"); });
    b.f1->Text1->setText(b.tp.file("empty"));
    Form3 &w = b.open();
    QCOMPARE(b.rec.messages(), QList<qint16>{1});
    QCOMPARE(w.books->count(), 0);
    QVERIFY(w.isVisible());
}

void TestWorkbench::inputTextLoadsCleanedAndRightAligned()
{
    Bench b([](TempProgram &tp) {
        tp.write("one.txt", cp1256(QStringLiteral(u"فصل 12\r\n   سطر  \r\nى")));
        tp.write("utf8.txt", QStringLiteral(u"پژوهش").toUtf8());
    });
    Form3 &w = b.open();
    Bench::loadText(w, "one.txt");
    QCOMPARE(w.matn->Text(), QStringLiteral(u"فصل 1\u200C2\u200C\r\n سطر \r\nي"));
    QCOMPARE(w.matn->SelAlignment(), 1);
    QCOMPARE(w.matn->SelLength(), 0);
    QCOMPARE(w.matn->SelStart(), 0);
    Bench::loadText(w, "utf8.txt");
    QCOMPARE(w.matn->Text(), QStringLiteral(u"پژوهش"));
}

void TestWorkbench::unreadableAndEmptyInputTexts()
{
    Bench b([](TempProgram &tp) {
        tp.write("empty.txt", "");
        tp.write("gone.txt", "x");
    });
    Form3 &w = b.open();
    Bench::loadText(w, "empty.txt");
    QCOMPARE(w.matn->Text(), QString());
    QVERIFY(b.rec.notices().isEmpty());
    QFile::remove(b.tp.file("gone.txt"));
    Bench::loadText(w, "gone.txt");
    QCOMPARE(w.matn->Text(), QString());
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(b.rec.notices().first().contains(QStringLiteral("gone.txt")));
}

void TestWorkbench::nameNevis_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("number");
    QTest::newRow("empty picker") << QStringList{} << QStringLiteral(u"پايان تعداد كتابها!") << "" << "";
    QTest::newRow("tenth of row two") << QStringList{QStringLiteral(u"رديف دوم -> كتاب دهم  (b10)")}
                                      << QStringLiteral(u"نام كتاب دهم در رديف دوم:") << "b" << "10";
    QTest::newRow("no parentheses") << QStringList{QStringLiteral("broken")}
                                    << QStringLiteral(u"پايان تعداد كتابها!") << "" << "";
    QTest::newRow("number out of range") << QStringList{QStringLiteral("x (a11)")}
                                         << QStringLiteral(u"پايان تعداد كتابها!") << "" << "";
}

void TestWorkbench::nameNevis()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, caption);
    QFETCH(QString, row);
    QFETCH(QString, number);
    Bench b([](TempProgram &tp) { tp.write("a.txt", "x"); });
    Form3 &w = b.open();
    QCOMPARE(w.rowLetter, QStringLiteral("a")); // from the first entry
    b.f1->dataName->clear();
    b.f1->dataName->addItems(entries);
    w.NameNevis();
    QCOMPARE(w.BookLabel->text(), caption);
    if (!entries.isEmpty()) {
        QCOMPARE(w.rowLetter, row);
        QCOMPARE(w.bookNo, number);
    } else {
        // An empty picker names no book: the last one is not silently kept.
        QVERIFY(w.rowLetter.isEmpty());
        QVERIFY(w.bookNo.isEmpty());
    }
}

void TestWorkbench::markingWithDeletion()
{
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", cp1256(QStringLiteral(u"عنوان يك\r\nمتن مرتبط با عنوان يك\r\nباقي")));
    });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, QStringLiteral(u"عنوان يك"));
    w.Com_Click(2);
    QCOMPARE(w.matn->SelStart(), 0);
    Bench::select(w, QStringLiteral(u"متن مرتبط با عنوان يك"));
    w.Com_Click(3);
    QCOMPARE(w.table.parCount(), 1);
    QCOMPARE(w.bindex->count(), 1);
    QCOMPARE(w.bindex->item(0)->text(), QStringLiteral(u"عنوان يك") + kArrow + QStringLiteral(u"متن مرتبط با عنوان يك"));
    QCOMPARE(w.bindex->currentRow(), 0);
    QCOMPARE(w.matn->Text(), QStringLiteral(u"\r\n\r\nباقي"));
    QVERIFY(w.table.slot(0).body.startsWith(QStringLiteral("{\\rtf")));
    QCOMPARE(rtfToText(w.table.slot(0).body), QStringLiteral(u"متن مرتبط با عنوان يك"));
}

void TestWorkbench::markingWithoutDeletion()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", cp1256(QStringLiteral(u"عنوان\r\nمتن"))); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.Chek->setChecked(false);
    const QString before = w.matn->Text();
    Bench::select(w, QStringLiteral(u"عنوان"));
    w.Com_Click(2);
    Bench::select(w, QStringLiteral(u"متن"));
    w.Com_Click(3);
    QCOMPARE(w.matn->Text(), before);
    QCOMPARE(w.matn->SelStart(), 0);
    QCOMPARE(w.matn->SelLength(), 0);
    QCOMPARE(w.table.parCount(), 1);
}

void TestWorkbench::bookNameAssembly()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "AAA BBB CCC DDD EEE FFF"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.Chek->setChecked(false);
    const struct {
        int command;
        const char *piece;
    } steps[] = {{0, "AAA"}, {0, "BBB"}, {5, "CCC"}, {6, "DDD"}, {7, "EEE"}, {8, "FFF"}};
    for (const auto &step : steps) {
        Bench::select(w, QString::fromLatin1(step.piece));
        w.Com_Click(step.command);
    }
    QCOMPARE(w.bname->text(), QStringLiteral(u"AAA BBB (CCC) - DDD: EEE؛ FFF"));
    QCOMPARE(w.table.parCount(), 0);
}

void TestWorkbench::mainTitlesNestAndClose()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", cp1256(QStringLiteral(u"بخش يك\r\nبخش دو\r\nمتن"))); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, QStringLiteral(u"بخش يك"));
    w.Com_Click(9);
    Bench::select(w, QStringLiteral(u"بخش دو"));
    w.Com_Click(9);
    QCOMPARE(w.Com[9]->text(), QStringLiteral(u"عنوان اصلي (2)\u200F"));
    w.Com_Click(10);
    QCOMPARE(w.Com[9]->text(), QStringLiteral(u"عنوان اصلي (1)\u200F"));
    QCOMPARE(w.bindex->count(), 3);
    QCOMPARE(w.table.slot(2).title, markEnd());
    QCOMPARE(w.bindex->currentRow(), 2);
}

void TestWorkbench::closeWithNothingOpenKeepsSelection()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "some text"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, QStringLiteral("text"));
    w.Com_Click(10);
    QCOMPARE(b.rec.notices(), QStringList{QStringLiteral(u"عنواني براي بستن وجود ندارد!\u200F")});
    QCOMPARE(w.matn->SelText(), QStringLiteral("text"));
    QCOMPARE(w.matn->Text(), QStringLiteral("some text"));
    QCOMPARE(w.bindex->count(), 0);
}

void TestWorkbench::titleTrimmedOfSpaceThenBreak()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "x \r\nTitle\r\nrest"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    // Rep turned "x \r\n" into "x\r\n": select from the break on.
    w.matn->setSelStart(1);
    w.matn->setSelLength(7);
    QCOMPARE(w.matn->SelText(), QStringLiteral("\r\nTitle"));
    w.Com_Click(2);
    QCOMPARE(w.table.slot(0).title, QStringLiteral("Title"));
}

void TestWorkbench::anotherInputTextKeepsTable()
{
    Bench b([](TempProgram &tp) {
        tp.write("one.txt", "T1\r\nB1");
        tp.write("two.txt", "T2\r\nB2");
    });
    Form3 &w = b.open();
    Bench::loadText(w, "one.txt");
    Bench::select(w, "T1");
    w.Com_Click(2);
    Bench::select(w, "B1");
    w.Com_Click(3);
    w.bname->setText(QStringLiteral("Name"));
    Bench::loadText(w, "two.txt");
    QCOMPARE(w.bindex->count(), 1);
    QCOMPARE(w.bname->text(), QStringLiteral("Name"));
    Bench::select(w, "T2");
    w.Com_Click(2);
    Bench::select(w, "B2");
    w.Com_Click(3);
    QCOMPARE(w.table.parCount(), 2);
    QCOMPARE(w.bindex->count(), 2);
    QVERIFY(w.bindex->item(1)->text().startsWith(QStringLiteral("T2")));
}

void TestWorkbench::refusedMarksChangeNothing()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Body text"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Body");
    w.Com_Click(3);
    QCOMPARE(b.rec.notices().size(), 1);
    QCOMPARE(w.matn->Text(), QStringLiteral("Body text"));
    QCOMPARE(w.matn->SelText(), QStringLiteral("Body"));
    QCOMPARE(w.bindex->count(), 0);

    for (int i = 0; i < kSlotCount; ++i) {
        w.table.markTitle(QStringLiteral("T"));
        w.table.markRelated(QStringLiteral("b"), QStringLiteral("{b}"));
    }
    w.syncIndex();
    b.rec.clear();
    Bench::select(w, "Body");
    w.Com_Click(2);
    QCOMPARE(b.rec.notices().size(), 1);
    QCOMPARE(w.matn->Text(), QStringLiteral("Body text"));
    QCOMPARE(w.bindex->count(), 257);
}

void TestWorkbench::deleteTextCommand()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "keep drop keep"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.Chek->setChecked(false);
    Bench::select(w, "drop ");
    w.Com_Click(4);
    QCOMPARE(w.matn->Text(), QStringLiteral("keep keep"));
    QCOMPARE(w.matn->SelStart(), 0);
}

void TestWorkbench::bnameCtrlA()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "x"); });
    Form3 &w = b.open();
    w.bname->setText(QStringLiteral("Book name"));
    w.bname->setCursorPosition(2);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    QApplication::sendEvent(w.bname, &press);
    QCOMPARE(w.bname->selectedText(), QStringLiteral("Book name"));
}

void TestWorkbench::resizeSnapsBack()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "x"); });
    Form3 &w = b.open();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize design = w.size();
    const int booksX = w.books->x(), com11X = w.Com[11]->x();
    w.resize(design.width() - 200, design.height() - 100);
    QTRY_COMPARE(w.size(), design);
    w.resize(design.width() + 100, design.height() + 50);
    QTRY_COMPARE(w.matn->width(), tw(12300) + 100);
    QCOMPARE(w.matn->height(), tw(5895) + 50);
    QCOMPARE(w.books->x(), booksX + 100);
    QCOMPARE(w.Com[11]->x(), com11X);
    QCOMPARE(w.bindex->width(), tw(9390) + 100);
}

void TestWorkbench::minimiseAndRestoreTogether()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "x"); });
    Form1 &f = *b.f1;
    f.show();
    Form3 &w = b.open();
    QVERIFY(w.Timer1->isActive());
    w.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(f.isMinimized());
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(f.Timer1->isActive());
    f.setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!w.isMinimized());
    QTRY_VERIFY(!f.Timer1->isActive());
    QVERIFY(w.Timer1->isActive());
}

namespace {

QString goOnQuestionFor(const Recorder &rec)
{
    const QStringList q = rec.questions();
    return q.isEmpty() ? QString() : q.last();
}

QStringList rowsOf(const Form3 &w)
{
    QStringList rows;
    for (int i = 0; i < w.bindex->count(); ++i)
        rows << w.bindex->item(i)->text();
    return rows;
}

void setCounts(Form1 &f, const char *a, const char *b, const char *c)
{
    f.title->setText(QString::fromLatin1(a));
    f.matn->setText(QString::fromLatin1(b));
    f.shenas->setText(QString::fromLatin1(c));
    f.MakeCombo();
}

} // namespace

void TestWorkbench::bookIsWrittenToTheSlotTheWorkbenchShows()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB"); });
    Form1 &f = *b.f1;
    f.dataName->setCurrentIndex(f.dataName->findText(pickerEntry("b", 1)));
    Form3 &w = b.open();
    const QString label = QStringLiteral(u"نام كتاب اول در رديف دوم:");
    QCOMPARE(w.BookLabel->text(), label);
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T", "B");
    // Another book chosen in the main window while the workbench is open.
    f.dataName->setCurrentIndex(f.dataName->findText(pickerEntry("a", 3)));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.repaint();
    QCOMPARE(w.BookLabel->text(), label);
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16>{4});
    QVERIFY(b.rec.questions().isEmpty());
    QVERIFY(b.tp.exists("Data/_xml/bTitle1.xml"));
    QVERIFY(!b.tp.exists("Data/_xml/aTitle3.xml"));
}

void TestWorkbench::bookNoLongerOfferedIsAskedFor_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no writes nothing") << false;
    QTest::newRow("yes writes that book") << true;
}

void TestWorkbench::bookNoLongerOfferedIsAskedFor()
{
    QFETCH(bool, answer);
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB\r\nrest"); });
    Form1 &f = *b.f1;
    f.dataName->setCurrentIndex(f.dataName->findText(pickerEntry("b", 1)));
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T", "B");
    setCounts(f, "10", "0", "10"); // row 2 has no books any more
    b.rec.queueAnswers({answer});
    w.Com_Click(11);
    QCOMPARE(b.rec.questions().size(), 1);
    QVERIFY(b.rec.questions().first().contains(QStringLiteral("(b1)")));
    QCOMPARE(b.tp.exists("Data/_xml/bTitle1.xml"), answer);
    QVERIFY(QDir(b.tp.file("Data/_xml")).entryList(QStringList{"?Title*.xml"}).size() <= 1);
    QCOMPARE(b.rec.messages().contains(4), answer);
    if (!answer) {
        QVERIFY(w.isVisible());
        QCOMPARE(w.table.parCount(), 1);
        QCOMPARE(w.matn->Text(), QStringLiteral("\r\n\r\nrest"));
    }
}

void TestWorkbench::emptyPickerNeverReusesTheLastSlot()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB\r\nU\r\nC"); });
    Form1 &f = *b.f1;
    setCounts(f, "1", "0", "0");
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T", "B");
    w.Com_Click(11);
    QCOMPARE(f.dataName->count(), 0);
    const QByteArray finished = b.tp.read("Data/_xml/aTitle1.xml");
    // The workbench comes back without a Next; the finished book must stay.
    b.rec.clear();
    w.show();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "U", "C");
    w.Com_Click(11);
    QVERIFY(b.rec.questions().isEmpty());
    QCOMPARE(b.rec.notices(), QStringList{QStringLiteral(u"كتابي براي ساخت انتخاب نشده است!\u200F")});
    QCOMPARE(b.tp.read("Data/_xml/aTitle1.xml"), finished);
    QCOMPARE(w.table.parCount(), 1);
}

void TestWorkbench::workIsSavedAfterEveryChange()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Name\r\nT\r\nB\r\nMain\r\nrest"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    const QString work = QStringLiteral("Data/Work/a1.json");
    QVERIFY(!b.tp.exists(work)); // nothing done yet
    QByteArray last;
    auto changed = [&](const char *step) {
        const QByteArray now = b.tp.read(work);
        const bool ok = !now.isEmpty() && now != last;
        last = now;
        if (!ok)
            qWarning("not saved after %s", step);
        return ok;
    };
    Bench::select(w, "Name");
    w.Com_Click(0);
    QVERIFY(changed("the book name"));
    Bench::select(w, "T");
    w.Com_Click(2);
    QVERIFY(changed("a title"));
    Bench::select(w, "B");
    w.Com_Click(3);
    QVERIFY(changed("its related text"));
    Bench::select(w, "Main");
    w.Com_Click(9);
    QVERIFY(changed("a main title"));
    w.Com_Click(10);
    QVERIFY(changed("its end"));
    w.bname->setFocus();
    w.bname->setCursorPosition(w.bname->text().size());
    QTest::keyClicks(w.bname, "X");
    QVERIFY(changed("typing in the book name"));
    // Outside the four folders the export copies; gone once the book is written.
    QVERIFY(!b.tp.exists("Data/BookTXT/a1.json"));
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16>{4});
    QVERIFY(!b.tp.exists(work));
}

void TestWorkbench::nextAsksToGoOnWithSavedWork_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes brings the marks back") << true;
    QTest::newRow("no starts the book afresh") << false;
}

void TestWorkbench::nextAsksToGoOnWithSavedWork()
{
    QFETCH(bool, answer);
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2"); });
    Form1 &f = *b.f1;
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T1", "B1");
    Bench::markParagraph(w, "T2", "B2");
    QTest::keyClicks(w.bname, "Name"); // typed: saved as it is typed
    const QStringList rows = rowsOf(w);
    w.hide(); // the close box
    b.rec.clear();
    b.rec.queueAnswers({answer});
    f.Command3_Click();
    QCOMPARE(b.rec.questions().size(), 1);
    QVERIFY(goOnQuestionFor(b.rec).contains(QStringLiteral("(a1)")));
    QVERIFY(w.isVisible());
    if (answer) {
        QCOMPARE(w.table.parCount(), 2);
        QCOMPARE(rowsOf(w), rows);
        QCOMPARE(w.bname->text(), QStringLiteral("Name"));
        QVERIFY(b.tp.exists("Data/Work/a1.json"));
    } else {
        QCOMPARE(w.table.parCount(), 0);
        QVERIFY(rowsOf(w).isEmpty());
        QVERIFY(w.bname->text().isEmpty());
        QVERIFY(!b.tp.exists("Data/Work/a1.json"));
        // Nothing saved now: the next Next asks nothing.
        b.rec.clear();
        f.Command3_Click();
        QVERIFY(b.rec.questions().isEmpty());
    }
}

void TestWorkbench::eachBookKeepsItsOwnMarks()
{
    Bench b([](TempProgram &tp) {
        tp.write("one.txt", "T1\r\nB1");
        tp.write("two.txt", "T2\r\nB2");
    });
    Form1 &f = *b.f1;
    setCounts(f, "2", "0", "0");
    Form3 &w = b.open();
    Bench::loadText(w, "one.txt");
    Bench::markParagraph(w, "T1", "B1");
    const QStringList rowsOne = rowsOf(w);

    // The second book starts empty: nothing of the first is carried over.
    f.dataName->setCurrentIndex(1);
    f.Command3_Click();
    QVERIFY(b.rec.questions().isEmpty());
    QCOMPARE(w.BookLabel->text(), QStringLiteral(u"نام كتاب دوم در رديف اول:"));
    QCOMPARE(w.table.parCount(), 0);
    QVERIFY(rowsOf(w).isEmpty());
    Bench::loadText(w, "two.txt");
    Bench::markParagraph(w, "T2", "B2");
    const QStringList rowsTwo = rowsOf(w);

    // Back to the first: its own marks.
    f.dataName->setCurrentIndex(0);
    b.rec.queueAnswers({true});
    f.Command3_Click();
    QCOMPARE(rowsOf(w), rowsOne);
    w.Com_Click(11);
    const QString tree = FileSystem().readUnicode(b.tp.file("Data/_xml/aTitle1.xml"));
    QVERIFY(tree.contains(QStringLiteral("label=\"T1")));
    QVERIFY(!tree.contains(QStringLiteral("label=\"T2")));

    // And the second still has its own.
    QCOMPARE(f.dataName->currentText(), pickerEntry("a", 2));
    b.rec.queueAnswers({true});
    f.Command3_Click();
    QCOMPARE(rowsOf(w), rowsTwo);
}

void TestWorkbench::markingWithNothingSelectedIsRefused()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Title\r\nBody"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    const QString refusal = QStringLiteral(u"ابتدا بخشي از متن را انتخاب كنيد!\u200F");
    w.matn->setSelStart(3);
    w.Com_Click(2);
    QCOMPARE(b.rec.notices(), QStringList{refusal});
    QCOMPARE(w.bindex->count(), 0);
    QVERIFY(!w.table.hasPendingTitle());

    Bench::select(w, "Title");
    w.Com_Click(2);
    b.rec.clear();
    w.matn->setSelStart(2);
    w.Com_Click(3);
    QCOMPARE(b.rec.notices(), QStringList{refusal});
    QVERIFY(w.table.hasPendingTitle());
    QCOMPARE(w.table.parCount(), 0);
    QCOMPARE(rowsOf(w), QStringList{"Title"});
    QCOMPARE(w.matn->Text(), QStringLiteral("\r\nBody"));
}

void TestWorkbench::titleSelectedAsWholeLineLosesItsLineBreaks()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Title\r\nBody\r\nMore"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Title\r\n");
    w.Com_Click(2);
    QCOMPARE(w.table.slot(0).title, QStringLiteral("Title"));
    QCOMPARE(rowsOf(w), QStringList{"Title"});
    Bench::select(w, "Body");
    w.Com_Click(3);
    w.Com_Click(11);
    const QString tree = FileSystem().readUnicode(b.tp.file("Data/_xml/aTitle1.xml"));
    const QString page = tree.section(QStringLiteral("src=\"DATA/BookTXT/"), 1).section(u'"', 0, 0);
    QVERIFY(FileSystem().readUnicode(b.tp.file("Data/BookTXT/" + page))
                .startsWith(QStringLiteral("<pgTitle>Title</pgTitle>\r\n")));
}

void TestWorkbench::refusedWriteKeepsTheText()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T\r\nB\r\nrest of the text"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T", "B");
    const QString text = w.matn->Text();
    QDir(b.tp.file("Data/BookTXT")).removeRecursively();
    w.Com_Click(11);
    QCOMPARE(b.rec.notices(), QStringList{QStringLiteral("Folder _xml or BookTXT doesn't exist!")});
    QCOMPARE(w.matn->Text(), text);
}

void TestWorkbench::inputTextsAreListedAgainOnNext()
{
    Bench b([](TempProgram &tp) { tp.write("a.txt", "x"); });
    Form1 &f = *b.f1;
    Form3 &w = b.open();
    QCOMPARE(w.books->count(), 1);
    w.hide();
    b.tp.write("b.txt", "y");
    f.Command3_Click();
    QStringList listed;
    for (int i = 0; i < w.books->count(); ++i)
        listed << w.books->item(i)->text();
    QCOMPARE(listed, (QStringList{"a.txt", "b.txt"}));
    QVERIFY(b.rec.messages().isEmpty());

    QFile::remove(b.tp.file("a.txt"));
    QFile::remove(b.tp.file("b.txt"));
    f.Command3_Click();
    QCOMPARE(w.books->count(), 0);
    QCOMPARE(b.rec.messages(), QList<qint16>{1});
}

void TestWorkbench::workThatCannotBeSavedIsSaidOnceAndNotDropped()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2\r\nT3\r\nB3"); });
    Form1 &f = *b.f1;
    setCounts(f, "2", "0", "0");
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    {
        // A folder where the work file goes: it cannot be written.
        b.tp.mkdir("Data/Work/a1.json");
        Bench::markParagraph(w, "T1", "B1");
        QCOMPARE(b.rec.notices().size(), 1);
        QVERIFY(b.rec.notices().first().contains(QStringLiteral("a1.json")));
        Bench::markParagraph(w, "T2", "B2");
        QCOMPARE(b.rec.notices().size(), 1); // said once, not after every mark

        // Starting another book would drop the unsaved marks: asked first.
        f.dataName->setCurrentIndex(1);
        b.rec.queueAnswers({false});
        f.Command3_Click();
        QCOMPARE(b.rec.questions().size(), 1);
        QCOMPARE(w.rowLetter + w.bookNo, QStringLiteral("a1"));
        QCOMPARE(w.BookLabel->text(), QStringLiteral(u"نام كتاب اول در رديف اول:"));
        QCOMPARE(w.table.parCount(), 2);
        QDir(b.tp.file("Data/Work/a1.json")).removeRecursively();
    }
    // Writable again: the next change saves everything.
    Bench::markParagraph(w, "T3", "B3");
    QCOMPARE(b.rec.notices().size(), 1);
    const auto saved = workFromJson(b.tp.read("Data/Work/a1.json"));
    QVERIFY(saved.has_value());
    QCOMPARE(saved->table.parCount, 3);
}

void TestWorkbench::unreadableSavedWorkIsSetAside_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("one byte cut off") << 0;
    QTest::newRow("a newer format") << 1;
}

void TestWorkbench::unreadableSavedWorkIsSetAside()
{
    QFETCH(int, damage);
    QByteArray bytes;
    {
        Bench first([](TempProgram &tp) { tp.write("t.txt", "T1\r\nB1"); });
        Form3 &w = first.open();
        Bench::loadText(w, "t.txt");
        Bench::markParagraph(w, "T1", "B1");
        bytes = first.tp.read("Data/Work/a1.json");
    }
    if (damage == 0)
        bytes.chop(1);
    else
        bytes = QString::fromUtf8(bytes)
                    .replace(QRegularExpression(QStringLiteral("\"format\":\\d+")),
                        QStringLiteral("\"format\":99"))
                    .toUtf8();
    QVERIFY(!workFromJson(bytes).has_value());
    // The program started again on that build folder.
    Bench b([&](TempProgram &tp) {
        tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2");
        tp.write("Data/Work/a1.json", bytes);
    });
    b.rec.clear();
    Form3 &w = b.open();
    QVERIFY(b.rec.questions().isEmpty());
    const QStringList aside
        = QDir(b.tp.file("Data/Work")).entryList(QStringList { "a1.unreadable-*.json" });
    QCOMPARE(aside.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^a1\\.unreadable-\\d{8}-\\d{6}\\.json$"))
                .match(aside.first())
                .hasMatch());
    const QString asidePath = b.tp.file("Data/Work/" + aside.first());
    QCOMPARE(b.tp.read("Data/Work/" + aside.first()), bytes);
    QCOMPARE(b.rec.notices().filter(QDir::toNativeSeparators(asidePath)).size(), 1);
    QVERIFY(!b.tp.exists("Data/Work/a1.json"));
    QCOMPARE(w.table.parCount(), 0);

    // Work goes on in a fresh file; the one set aside is not touched.
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T2", "B2");
    QVERIFY(workFromJson(b.tp.read("Data/Work/a1.json")).has_value());
    QCOMPARE(b.tp.read("Data/Work/" + aside.first()), bytes);
    // A second unreadable file in the same second gets a name of its own.
    const QDateTime now = QDateTime::currentDateTime();
    const QString first = setAsideUnreadableWork(b.tp.write("Data/Work/c2.json", "x"), now);
    const QString second = setAsideUnreadableWork(b.tp.write("Data/Work/c2.json", "y"), now);
    QVERIFY(first != second);
    QCOMPARE(FileSystem().readBytes(first), QByteArray("x"));
    QCOMPARE(FileSystem().readBytes(second), QByteArray("y"));
}

void TestWorkbench::savedWorkBringsBackOnlyProjectFiles()
{
    // A file of the disk outside the project, and one of the book's own copies.
    QTemporaryDir elsewhere;
    const QString secret = elsewhere.filePath("openssl.cnf");
    {
        QFile f(secret);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("SECRET");
    }
    QByteArray json;
    {
        Bench first([](TempProgram &tp) { tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2"); });
        Form3 &w = first.open();
        Bench::loadText(w, "t.txt");
        Bench::markParagraph(w, "T1", "B1");
        Bench::markParagraph(w, "T2", "B2");
        json = first.tp.read("Data/Work/a1.json");
    }
    auto work = workFromJson(json);
    QVERIFY(work.has_value());
    work->table.paragraphs[0].pic = secret;
    work->table.paragraphs[0].sound = QStringLiteral("../../") + QFileInfo(secret).fileName();
    work->table.paragraphs[1].pic = QStringLiteral("Work/a1.media/own.jpg");
    work->table.imgList[0] = secret;
    work->table.imgCount = 1;

    Bench b([&](TempProgram &tp) {
        tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2");
        tp.write("Data/Work/a1.json", workToJson(*work));
        tp.write("Data/Work/a1.media/own.jpg", "OWN");
    });
    b.rec.queueAnswers({true});
    Form3 &w = b.open();
    QCOMPARE(w.table.parCount(), 2);
    const QStringList notices = b.rec.notices().filter(QDir::toNativeSeparators(secret));
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first().contains(QStringLiteral("openssl.cnf")));
    QCOMPARE(w.table.slot(0).pic, QString());
    QCOMPARE(w.table.slot(0).sound, QString());
    QCOMPARE(w.table.imgList[0], QString());
    // The book's own copy is named relative to the build folder and comes back.
    QCOMPARE(QDir::fromNativeSeparators(w.table.slot(1).pic), b.tp.file("Data/Work/a1.media/own.jpg"));

    // Nothing of the outside file reaches the CD's folders.
    w.Com_Click(11);
    QVERIFY(b.rec.messages().contains(4));
    for (const QString &sub : {QStringLiteral("Data/BookTXT"), QStringLiteral("Data/BookIMG")}) {
        const auto snap = folderSnapshot(b.tp.file(sub));
        for (auto it = snap.begin(); it != snap.end(); ++it)
            QVERIFY2(!it.value().contains("SECRET"), qPrintable(it.key()));
    }
    // The book is made: its media copies go with its saved work.
    QVERIFY(!b.tp.exists("Data/Work/a1.media"));
}

// Slot 0 of the table with a picture attached.
void attachPicture(Form3 &w, const QString &pic)
{
    const ParagraphSlot s = w.table.slot(0);
    w.table.storeEdit(0, s.title, s.body, rtfToText(s.body), pic, QString(), QString());
    w.saveWork();
}

void TestWorkbench::bookThatCannotBeWrittenKeepsTheWork()
{
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", "T1\r\nB1\r\nT2\r\nB2");
        tp.write("pics/big.jpg", QByteArray(64 * 1024, 'J'));
    });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T1", "B1");
    Bench::markParagraph(w, "T2", "B2");
    attachPicture(w, b.tp.file("pics/big.jpg"));
    const QByteArray work = b.tp.read("Data/Work/a1.json");
    QVERIFY(!work.isEmpty());
    const QStringList rows = rowsOf(w);
    const auto before = folderSnapshot(b.tp.file("Data"));
    b.rec.clear();
    {
        FileSizeLimit full(16 * 1024); // room for the pages, not for the picture
        w.Com_Click(11);
    }
    // Not made, and said so with the file and the cause.
    QVERIFY(!b.rec.messages().contains(4));
    QCOMPARE(b.rec.notices().size(), 1);
    const QString notice = b.rec.notices().first();
    QVERIFY2(notice.contains(QStringLiteral("File too large")), qPrintable(notice));
    QVERIFY2(notice.contains(QDir::toNativeSeparators(b.tp.file("Data/BookTXT"))), qPrintable(notice));
    // The work is all still there, on the screen and on the disk, and
    // nothing of the book is.
    QCOMPARE(snapshotDifference(before, folderSnapshot(b.tp.file("Data"))), QString());
    QCOMPARE(b.tp.read("Data/Work/a1.json"), work);
    QVERIFY(w.isVisible());
    QCOMPARE(rowsOf(w), rows);
    QCOMPARE(w.rowLetter + w.bookNo, QStringLiteral("a1"));

    // With room again the same command makes the book.
    b.rec.clear();
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16>{4});
    QVERIFY(b.tp.exists("Data/_xml/aTitle1.xml"));
}

void TestWorkbench::missingSourceIsAskedAboutBeforeWriting_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no writes nothing") << false;
    QTest::newRow("yes writes the book without it") << true;
}

void TestWorkbench::missingSourceIsAskedAboutBeforeWriting()
{
    QFETCH(bool, answer);
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", "T1\r\nB1");
        tp.write("pics/p.jpg", "P");
    });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "T1", "B1");
    attachPicture(w, b.tp.file("pics/p.jpg"));
    const QByteArray work = b.tp.read("Data/Work/a1.json");
    // The operator deletes the picture after marking.
    QVERIFY(QFile::remove(b.tp.file("pics/p.jpg")));
    const auto before = folderSnapshot(b.tp.file("Data"));
    b.rec.clear();
    b.rec.queueAnswers({answer});
    w.Com_Click(11);
    QCOMPARE(b.rec.questions().size(), 1);
    QVERIFY(b.rec.questions().first().contains(QDir::toNativeSeparators(b.tp.file("pics/p.jpg"))));
    QCOMPARE(b.tp.exists("Data/_xml/aTitle1.xml"), answer);
    QCOMPARE(b.rec.messages().contains(4), answer);
    if (answer) {
        const QString tree = FileSystem().readUnicode(b.tp.file("Data/_xml/aTitle1.xml"));
        QVERIFY2(tree.contains(QStringLiteral("mediaStatus=\"000\"")), qPrintable(tree));
        QVERIFY(!b.tp.exists("Data/Work/a1.json"));
    } else {
        QCOMPARE(snapshotDifference(before, folderSnapshot(b.tp.file("Data"))), QString());
        QCOMPARE(b.tp.read("Data/Work/a1.json"), work);
        QVERIFY(w.isVisible());
        QCOMPARE(w.table.parCount(), 1);
    }
}

void TestWorkbench::everyControlIsNamed()
{
    Bench b([](TempProgram &tp) { tp.write("book.txt", cp1256(QStringLiteral(u"سلام"))); });
    Form3 &w = b.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QStringList unnamed = unnamedControls(&w);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    const QStringList silent = captionlessButtonsWithoutName(&w);
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(u'\n')));
    // A list is named by its heading, without the colon.
    QCOMPARE(spokenName(w.books), QStringLiteral(u"فهرست كتابهاي يافت شده"));
    QCOMPARE(spokenName(w.bindex), QStringLiteral(u"عناوين فهرست كتاب"));
    // A button captioned with a bare sign says what it adds.
    QVERIFY(spokenName(w.Com[6]) != w.Com[6]->text());
}

void TestWorkbench::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("picker");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<bool>("pickerClear");
    // The picker lies inside the main window, as on Form1.
    QTest::newRow("wide: left of the main window")
        << QRect(0, 0, 1920, 1040) << QRect(1000, 100, 520, 450) << QRect(1030, 210, 460, 22)
        << QPoint(1000 - 8 - 824, 100) << true;
    QTest::newRow("wide, main window at the left edge: right of it")
        << QRect(0, 0, 1920, 1040) << QRect(20, 100, 520, 450) << QRect(50, 210, 460, 22)
        << QPoint(20 + 520 + 8, 100) << true;
    QTest::newRow("wide, main window low: beside it, lifted onto the screen")
        << QRect(0, 0, 1920, 1040) << QRect(1000, 800, 520, 230) << QRect(1030, 910, 460, 22)
        << QPoint(168, 1040 - 596) << true;
    QTest::newRow("second screen: left of the main window on it")
        << QRect(1920, 0, 1920, 1080) << QRect(2900, 50, 520, 450) << QRect(2930, 160, 460, 22)
        << QPoint(2900 - 8 - 824, 50) << true;
    QTest::newRow("narrow: below the picker")
        << QRect(0, 0, 1280, 1024) << QRect(300, 50, 520, 450) << QRect(330, 160, 460, 22)
        << QPoint(0, 160 + 22 + 8) << true;
    QTest::newRow("narrow and short: right of a picker at the left")
        << QRect(0, 0, 1500, 700) << QRect(400, 0, 600, 450) << QRect(420, 120, 150, 22)
        << QPoint(420 + 150 + 8, 0) << true;
    QTest::newRow("tiny: on the screen")
        << QRect(0, 0, 800, 600) << QRect(100, 0, 520, 450) << QRect(130, 110, 460, 22)
        << QPoint(0, 0) << false;
    QTest::newRow("tiny, offset screen: its top-left corner on it")
        << QRect(100, 50, 640, 480) << QRect(150, 60, 520, 450) << QRect(180, 170, 460, 22)
        << QPoint(100, 50) << false;
}

void TestWorkbench::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, main);
    QFETCH(QRect, picker);
    QFETCH(QPoint, topLeft);
    QFETCH(bool, pickerClear);
    const QSize bench(824, 596);
    const QPoint at = workbenchTopLeft(main, picker, bench, screen);
    QCOMPARE(at, topLeft);
    const QRect placed(at, bench);
    QVERIFY(screen.contains(at));
    if (bench.width() <= screen.width() && bench.height() <= screen.height())
        QVERIFY(screen.contains(placed));
    QCOMPARE(!placed.intersects(picker), pickerClear);
}

void TestWorkbench::nextPlacesTheWorkbenchOnTheScreen()
{
    Bench b([](TempProgram &tp) { tp.write("book.txt", cp1256(QStringLiteral(u"سلام"))); });
    b.f1->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.f1.get()));
    Form3 &w = b.open();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect screen = b.f1->screen()->availableGeometry();
    const QRect picker(b.f1->dataName->mapToGlobal(QPoint(0, 0)), b.f1->dataName->size());
    QCOMPARE(w.frameGeometry().topLeft(),
             workbenchTopLeft(b.f1->frameGeometry(), picker, w.frameGeometry().size(), screen));
    QVERIFY(screen.contains(w.frameGeometry().topLeft()));
    // Moved by the operator while open: "Next" again leaves it there.
    const QPoint away = screen.topLeft() + QPoint(3, 3);
    w.move(away);
    QTRY_COMPARE(w.frameGeometry().topLeft(), away);
    b.open();
    QCOMPARE(w.frameGeometry().topLeft(), away);
    // Hidden by a written book and opened again: placed again.
    w.hide();
    b.open();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.frameGeometry().topLeft(),
             workbenchTopLeft(b.f1->frameGeometry(), picker, w.frameGeometry().size(), screen));
}

void TestWorkbench::contextMenusOpenRightToLeft()
{
    Bench b([](TempProgram &tp) { tp.write("book.txt", cp1256(QStringLiteral(u"سلام"))); });
    Form3 &w = b.open();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (QWidget *field : {static_cast<QWidget *>(w.bname), w.matn->viewport()}) {
        const QPoint local(field->width() / 2, field->height() / 2);
        const QPoint pointer = field->mapToGlobal(local);
        QContextMenuEvent event(QContextMenuEvent::Mouse, local, pointer);
        QApplication::sendEvent(field, &event);
        QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY2(menu, qPrintable(field->objectName()));
        QCOMPARE(menu->layoutDirection(), Qt::RightToLeft);
        QVERIFY(!menu->actions().isEmpty());
        QCOMPARE(menu->geometry().topLeft(),
                 popupTopLeft(pointer, menu->size(), w.screen()->availableGeometry()));
        menu->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }
}

QTEST_MAIN(TestWorkbench)
#include "test_workbench.moc"
