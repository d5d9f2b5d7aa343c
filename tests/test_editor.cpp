// The paragraph editor, driven through the real workbench and Form6.
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/richtext/rtf.h"
#include "support/accessiblenames.h"
#include "support/benchfixture.h"
#include "support/screenshot.h"
#include "ui/common/placement.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form1.h"
#include "ui/shell/form5.h"
#include "ui/workbench/form3.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <cmath>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

const QString kArrow = QStringLiteral("   =>   ");

// A workbench holding five paragraphs T0..T4 with bodies B0..B4.
void fiveParagraphs(Bench &b, Form3 &w)
{
    Q_UNUSED(b);
    Bench::loadText(w, "five.txt");
    for (int i = 0; i < 5; ++i)
        Bench::markParagraph(w, QStringLiteral("T%1").arg(i), QStringLiteral("B%1").arg(i));
}

QByteArray fiveText()
{
    QByteArray t;
    for (int i = 0; i < 5; ++i)
        t += QStringLiteral("T%1\r\nB%1\r\n").arg(i).toLatin1();
    return t;
}

// The file picker answers with a file of the program folder.
void answerPicker(Recorder &rec, const QString &folder, const QString &name)
{
    rec.onModal("zorvel::Form5", [folder, name](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        picker.Dir1->setPath(folder);
        const auto found = picker.File1->findItems(name, Qt::MatchExactly);
        if (found.isEmpty())
            qFatal("picker does not list %s", qPrintable(name));
        picker.File1->setCurrentItem(found.first());
        picker.btn[0]->click();
    });
}

// A workbench opened on five.txt with its five paragraphs marked.
Form3 &openFive(Bench &b)
{
    Form3 &w = b.open();
    fiveParagraphs(b, w);
    return w;
}

QString picturesFolder(Bench &b)
{
    return b.tp.file("Resources");
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void editorWindow();
    void clickOnRowOpensEditorExceptEndEntries();
    void missingAttachmentsShowMessagesAndStoreNothing();
    void saveStoresAndMarksRow();
    void titlesOfIdentityAndMainAreReadOnly();
    void detachThenCloseKeepsOldPicture();
    void deleteSlotTwoOfFive();
    void deletePendingTitleKeepsCount();
    void inlinePictureAtStart();
    void inlinePictureInLaterLine();
    void secondPictureAfterUnsavedEditor();
    void cancelledPickInsertsNothing();
    void pictureBeyond512Refused();
    void missingTemplateDisablesItem();
    void popupStates();
    void leftToRightBodyTurnedRightToLeft();
    void mainTitleBodyStoredPlain();
    void browseRoutesToFields();
    void emptiedTitleIsRefusedAndNoParagraphIsDropped();
    void bodyTypedForPendingTitleCompletesIt();
    void replacingPendingTitleWithContentAsks_data();
    void replacingPendingTitleWithContentAsks();
    void deletingMainTitleTakesItsEndAlong_data();
    void deletingMainTitleTakesItsEndAlong();
    void inlinePicturesOfTheSameNameStayApart();
    void everyControlIsNamed();
    void editorIsAFixedToolWindow();
    void popupPosition_data();
    void popupPosition();
    void bodyPopupOpensLeftOfThePointer();
    void focusReturnsToTheIndexList_data();
    void focusReturnsToTheIndexList();
    void inlinePictureIsShownAtItsObjectSize();
    void previewFitsThePicture_data();
    void previewFitsThePicture();
};

void TestEditor::editorWindow()
{
    Bench b([](TempProgram &tp) { tp.write("p.txt", encode1256(QStringLiteral(u"عنوان\r\nمتن پاراگراف با تصوير"))); });
    Form3 &w = b.open();
    Bench::loadText(w, "p.txt");
    Bench::markParagraph(w, QStringLiteral(u"عنوان"), QStringLiteral(u"متن پاراگراف با تصوير"));
    w.parIndex = 0;
    answerPicker(b.rec, picturesFolder(b), "MyBook.jpg");
    Form6 e(b.ctx);
    QCOMPARE(e.windowTitle(), QStringLiteral("Edit paragraph"));
    QCOMPARE(e.size(), QSize(643, 583));
    QCOMPARE(e.minimumSize(), e.maximumSize());
    QCOMPARE(e.bname->text(), QStringLiteral(u"عنوان"));
    QCOMPARE(e.matn->Text(), QStringLiteral(u"متن پاراگراف با تصوير"));
    QCOMPARE(e.btn[4]->text(), QStringLiteral(u"ثبت تغييرات ايجاد شده در عنوان، متن و ضمائم پاراگراف"));
    QCOMPARE(e.picM->text(), QStringLiteral(u"درج تصوير در متن"));
    QVERIFY(e.picM->isEnabled());
    e.picB->setText(b.tp.file("Resources/MyBook.jpg"));
    QVERIFY(e.Image1->pixmap().width() > 0);
    QVERIFY(e.Image1->pixmap().width() <= e.Image1->width());
    QVERIFY(e.Image1->pixmap().height() <= e.Image1->height());
    // The caret in the only line: the picture goes on a line of its own before it.
    e.matn->setSelStart(e.matn->textLength());
    e.picM_Click();
    QCOMPARE(e.matn->Text(), QStringLiteral(u" {0}\r\nمتن پاراگراف با تصوير"));
    // Right to left: each detach button right of its label, the label right of its field.
    QVERIFY(e.btn[1]->x() > e.Label6->x() && e.Label6->x() > e.picB->x() && e.picB->x() > e.Command5->x());
    for (QLabel *l : {e.Label6, e.Label1, e.Label2, e.Label3})
        QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->text()));
    for (QPushButton *p : e.btn)
        QVERIFY2(p->sizeHint().width() <= p->width() + 4, qPrintable(p->text()));
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    saveShot(&e, QStringLiteral("form6"));
}

void TestEditor::clickOnRowOpensEditorExceptEndEntries()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Main\r\nT\r\nB"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Main");
    w.Com_Click(9);
    Bench::markParagraph(w, "T", "B");
    w.Com_Click(10);
    QString seenTitle;
    b.rec.onModal("zorvel::Form6", [&](QDialog &d) { seenTitle = static_cast<Form6 &>(d).bname->text(); });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto clickRow = [&](int row) {
        const QRect r = w.bindex->visualItemRect(w.bindex->item(row));
        QTest::mouseClick(w.bindex->viewport(), Qt::LeftButton, {}, r.center());
        QTest::qWait(20);
    };
    clickRow(1);
    QCOMPARE(w.parIndex, qint16(1));
    QCOMPARE(seenTitle, QStringLiteral("T"));
    clickRow(2); // the end entry
    QCOMPARE(w.parIndex, qint16(2));
    QCOMPARE(b.rec.modals().count(QStringLiteral("zorvel::Form6")), 1);
    clickRow(0);
    QCOMPARE(seenTitle, markMain());
    QCOMPARE(b.rec.modals().count(QStringLiteral("zorvel::Form6")), 2);
}

void TestEditor::missingAttachmentsShowMessagesAndStoreNothing()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 1;
    Form6 e(b.ctx);
    e.setResult(-1);
    e.bname->setText(QStringLiteral("Changed"));
    e.picB->setText(b.tp.file("none.jpg"));
    e.soutB->setText(b.tp.file("none.mp3"));
    e.btn_Click(4);
    QCOMPARE(b.rec.messages(), (QList<qint16>{6, 7}));
    QCOMPARE(w.table.slot(1).title, QStringLiteral("T1"));
    QCOMPARE(e.result(), -1); // still open
    QCOMPARE(e.bname->text(), QStringLiteral("Changed"));
    b.rec.clear();
    e.filmB->setText(b.tp.file("none.flv"));
    e.btn_Click(4);
    QCOMPARE(b.rec.messages(), (QList<qint16>{6, 7, 8}));
}

void TestEditor::saveStoresAndMarksRow()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 3;
    {
        Form6 e(b.ctx);
        e.btn_Click(4);
        QCOMPARE(e.result(), int(QDialog::Accepted));
    }
    QCOMPARE(w.bindex->item(3)->text(), "T3" + kArrow + "B3");
    {
        Form6 e(b.ctx);
        e.bname->setText(QStringLiteral("New title"));
        e.picB->setText(b.tp.file("Resources/MyBook.jpg"));
        e.filmB->setText(b.tp.file("Resources/MySound1.mp3"));
        e.btn_Click(4);
    }
    QCOMPARE(w.bindex->item(3)->text(), "# § New title" + kArrow + "B3");
    QCOMPARE(w.table.slot(3).title, QStringLiteral("New title"));
    // The book keeps its own copies, inside the build folder.
    QCOMPARE(w.table.slot(3).pic, b.tp.file("Data/Work/a1.media/MyBook.jpg"));
    QCOMPARE(b.tp.read("Data/Work/a1.media/MyBook.jpg"), b.tp.read("Resources/MyBook.jpg"));
    QCOMPARE(w.table.slot(3).film, b.tp.file("Data/Work/a1.media/MySound1.mp3"));
    QVERIFY(w.table.slot(3).body.startsWith(QStringLiteral("{\\rtf")));
    QCOMPARE(rtfToText(w.table.slot(3).body), QStringLiteral("B3"));
}

void TestEditor::titlesOfIdentityAndMainAreReadOnly()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Id\r\nGroup"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Id");
    w.Com_Click(1);
    Bench::select(w, "Group");
    w.Com_Click(9);
    for (int i : {0, 1}) {
        w.parIndex = static_cast<qint16>(i);
        Form6 e(b.ctx);
        QVERIFY(e.bname->isReadOnly());
        e.matn->setText(QStringLiteral("edited"));
        e.btn_Click(4);
        QVERIFY(!e.bname->isReadOnly());
    }
    QCOMPARE(rtfToText(w.table.slot(0).body), QStringLiteral("edited"));
    QCOMPARE(w.table.slot(0).title, markShenas());
    // A main title keeps a plain body, as the writer labels its group with it.
    QCOMPARE(w.table.slot(1).body, QStringLiteral("edited"));
}

void TestEditor::detachThenCloseKeepsOldPicture()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    const QString picture = b.tp.file("Resources/MyBook.jpg");
    w.table.slot(0).pic = picture;
    w.parIndex = 0;
    Form6 e(b.ctx);
    QCOMPARE(e.picB->text(), picture);
    QVERIFY(!e.Image1->pixmap().isNull());
    e.btn_Click(1);
    QVERIFY(e.picB->text().isEmpty());
    QVERIFY(e.Image1->pixmap().isNull());
    e.reject(); // the close box
    QCOMPARE(w.table.slot(0).pic, picture);
}

void TestEditor::deleteSlotTwoOfFive()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 2;
    Form6 e(b.ctx);
    e.bname->setText(QStringLiteral("unsaved"));
    e.btn_Click(0);
    QCOMPARE(e.result(), int(QDialog::Rejected));
    QCOMPARE(w.table.parCount(), 4);
    QCOMPARE(w.table.slot(2).title, QStringLiteral("T3"));
    QCOMPARE(w.table.slot(3).title, QStringLiteral("T4"));
    QVERIFY(w.table.slot(4).title.isEmpty());
    QCOMPARE(w.bindex->count(), 4);
    QVERIFY(w.bindex->item(2)->text().startsWith(QStringLiteral("T3")));
    QCOMPARE(w.parIndex, qint16(2));
}

void TestEditor::deletePendingTitleKeepsCount()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    Bench::select(w, QStringLiteral("\r\n")); // any piece: a title whose text is not marked yet
    w.table.markTitle(QStringLiteral("Pending"));
    w.syncIndex();
    w.parIndex = 5;
    Form6 e(b.ctx);
    QCOMPARE(e.bname->text(), QStringLiteral("Pending"));
    e.btn_Click(0);
    QCOMPARE(w.table.parCount(), 5);
    QVERIFY(w.table.slot(5).title.isEmpty());
    QCOMPARE(w.bindex->count(), 5);
    QCOMPARE(w.table.slot(4).title, QStringLiteral("T4"));
}

void TestEditor::inlinePictureAtStart()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    answerPicker(b.rec, picturesFolder(b), "MyBook.jpg");
    Form6 e(b.ctx);
    e.matn->setSelStart(0);
    e.picM_Click();
    QCOMPARE(e.matn->Text(), QStringLiteral(" {0}\r\nB0"));
    QCOMPARE(w.table.imgCount, qint16(1));
    QCOMPARE(w.table.imgList[0], b.tp.file("Data/Work/a1.media/MyBook.jpg"));
    QCOMPARE(b.tp.read("Data/Work/a1.media/MyBook.jpg"), b.tp.read("Resources/MyBook.jpg"));
    QCOMPARE(b.rec.modals().count(QStringLiteral("zorvel::Form5")), 1);
    QCOMPARE(b.ctx.form1->wdir, QStringLiteral("IMG"));
    e.btn_Click(4);
    // The stored body carries the numbered object.
    QVERIFY(w.table.slot(0).body.contains(QStringLiteral("\\objw330\\I0\\objh270")));
    QCOMPARE(rtfToText(w.table.slot(0).body), QStringLiteral(" {0}\r\nB0"));
}

void TestEditor::inlinePictureInLaterLine()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 1;
    answerPicker(b.rec, picturesFolder(b), "MyBook.jpg");
    Form6 e(b.ctx);
    e.matn->setText(QStringLiteral("first line\r\nsecond line\r\nthird"));
    e.matn->setSelStart(QStringLiteral("first line\r\nsec").size());
    e.picM_Click();
    QCOMPARE(e.matn->Text(), QStringLiteral("first line\r\n {0}\r\nsecond line\r\nthird"));
    const QStringList lines = e.matn->Text().split(QStringLiteral("\r\n"));
    QVERIFY(lines.contains(QStringLiteral(" {0}")));
}

void TestEditor::secondPictureAfterUnsavedEditor()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    answerPicker(b.rec, picturesFolder(b), "MyBack.jpg");
    w.parIndex = 0;
    {
        Form6 e(b.ctx);
        e.picM_Click();
        e.reject();
    }
    w.parIndex = 1;
    Form6 e(b.ctx);
    e.matn->setSelStart(0);
    e.picM_Click();
    QVERIFY(e.matn->Text().startsWith(QStringLiteral(" {1}\r\n")));
    QCOMPARE(w.table.imgCount, qint16(2));
}

void TestEditor::cancelledPickInsertsNothing()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    answerPicker(b.rec, picturesFolder(b), "MyBook.jpg");
    Form6 e(b.ctx);
    e.picM_Click();
    const QString after = e.matn->Text();
    b.rec.onModal("zorvel::Form5", [](QDialog &d) { d.reject(); });
    e.picM_Click();
    QCOMPARE(e.matn->Text(), after);
    QCOMPARE(w.table.imgCount, qint16(1));
    QVERIFY(b.rec.messages().isEmpty());
}

void TestEditor::pictureBeyond512Refused()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.table.imgCount = 513;
    w.parIndex = 0;
    Form6 e(b.ctx);
    const QString before = e.matn->Text();
    e.picM_Click();
    QCOMPARE(b.rec.messages(), QList<qint16>{25});
    QCOMPARE(e.matn->Text(), before);
    QVERIFY(!b.rec.modals().contains(QStringLiteral("zorvel::Form5")));
}

void TestEditor::missingTemplateDisablesItem()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    QFile::remove(b.tp.file("Resources/img.bin"));
    Form3 &w = openFive(b);
    w.parIndex = 0;
    Form6 e(b.ctx);
    QVERIFY(!e.picM->isEnabled());
    e.picM_Click(); // the template was never read: refused with its message
    QCOMPARE(b.rec.messages(), QList<qint16>{25});
}

void TestEditor::popupStates()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    Form6 e(b.ctx);
    QGuiApplication::clipboard()->clear();
    e.matn->setSelStart(0);
    e.preparePopup();
    QVERIFY(!e.copyM->isEnabled());
    QVERIFY(!e.cutM->isEnabled());
    QVERIFY(!e.delM->isEnabled());
    QVERIFY(!e.pasteM->isEnabled());
    e.matn->setSelLength(1);
    e.preparePopup();
    QVERIFY(e.copyM->isEnabled() && e.cutM->isEnabled() && e.delM->isEnabled());
    e.cutM_Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("B"));
    QCOMPARE(e.matn->Text(), QStringLiteral("0"));
    e.preparePopup();
    QVERIFY(e.pasteM->isEnabled());
    e.matn->setSelStart(1);
    e.pasteM_Click();
    QCOMPARE(e.matn->Text(), QStringLiteral("0B"));
    e.matn->setSelStart(0);
    e.matn->setSelLength(1);
    e.delM_Click();
    QCOMPARE(e.matn->Text(), QStringLiteral("B"));
}

void TestEditor::leftToRightBodyTurnedRightToLeft()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.table.slot(0).body = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\\pard\\ltrpar\\ql\\f0 Left one\\par"
        "\\pard\\ltrpar\\ql Left two\\par}");
    w.parIndex = 0;
    Form6 e(b.ctx);
    QCOMPARE(e.matn->Text(), QStringLiteral("Left one\r\nLeft two"));
    const QString shown = e.matn->TextRTF();
    QVERIFY(!shown.contains(QStringLiteral("\\ltrpar")));
    QVERIFY(shown.contains(QStringLiteral("\\rtlpar")));
    e.matn->setSelStart(0);
    QCOMPARE(e.matn->SelAlignment(), 1);
    e.btn_Click(4);
    QVERIFY(!w.table.slot(0).body.contains(QStringLiteral("\\ltrpar")));
    QVERIFY(w.table.slot(0).body.contains(QStringLiteral("\\rtlpar")));
}

void TestEditor::mainTitleBodyStoredPlain()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Group"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Group");
    w.Com_Click(9);
    w.parIndex = 0;
    Form6 e(b.ctx);
    QCOMPARE(e.matn->Text(), QStringLiteral("Group"));
    e.btn_Click(4);
    QCOMPARE(w.table.slot(0).body, QStringLiteral("Group"));
}

void TestEditor::browseRoutesToFields()
{
    Bench b([](TempProgram &tp) {
        tp.write("five.txt", fiveText());
        tp.write("media/a.mp3", "m");
        tp.write("media/b.flv", "f");
        tp.write("media/c.gif", "g");
    });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    Form6 e(b.ctx);
    const QString media = b.tp.file("media");
    answerPicker(b.rec, media, "a.mp3");
    e.Command1_Click();
    QCOMPARE(e.soutB->text(), QDir::toNativeSeparators(media) + QDir::separator() + "a.mp3");
    answerPicker(b.rec, media, "b.flv");
    e.Command2_Click();
    QVERIFY(e.filmB->text().endsWith(QStringLiteral("b.flv")));
    answerPicker(b.rec, media, "c.gif");
    e.Command5_Click();
    QVERIFY(e.picB->text().endsWith(QStringLiteral("c.gif")));
    QCOMPARE(b.ctx.form1->wdir, QStringLiteral("C6d5"));
}

namespace {

// The tree file's nodes, one a line: its depth in tabs, then its label, or
// "/" for a closing node.
QStringList treeLabels(Bench &b, const QString &tree)
{
    QStringList labels;
    const QString text = FileSystem().readUnicode(b.tp.file("Data/_xml/" + tree));
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        const QString tabs(line.size() - QStringView(line).trimmed().size(), u'\t');
        if (line.contains(QStringLiteral("<node label=\"")))
            labels << tabs + line.section(u'"', 1, 1);
        else if (line.contains(QStringLiteral("</node>")))
            labels << tabs + u'/';
    }
    return labels;
}

} // namespace

void TestEditor::emptiedTitleIsRefusedAndNoParagraphIsDropped()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.matn->setText(QStringLiteral("0"));
    f.shenas->setText(QStringLiteral("0"));
    f.MakeCombo();
    Form3 &w = openFive(b);
    w.parIndex = 1;
    {
        Form6 e(b.ctx);
        e.setResult(-1);
        e.bname->clear();
        e.btn_Click(4);
        QCOMPARE(b.rec.notices(), QStringList{QStringLiteral(u"عنوان فهرست نميتواند خالي باشد!\u200F")});
        QCOMPARE(e.result(), -1); // still open, nothing stored
        e.bname->setText(QStringLiteral("   "));
        e.btn_Click(4);
        QCOMPARE(e.result(), -1);
    }
    QCOMPARE(w.table.slot(1).title, QStringLiteral("T1"));
    w.Com_Click(11);
    QCOMPARE(b.rec.messages(), QList<qint16>{4});
    QCOMPARE(treeLabels(b, "aTitle1.xml").size(), 5);
}

void TestEditor::bodyTypedForPendingTitleCompletesIt()
{
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Pending\r\nNext\r\nBody"); });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.MakeCombo();
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Pending");
    w.Com_Click(2);
    w.parIndex = 0;
    {
        Form6 e(b.ctx);
        e.matn->setText(QStringLiteral("typed body"));
        e.btn_Click(4);
    }
    QCOMPARE(w.table.parCount(), 1);
    QCOMPARE(w.bindex->item(0)->text(), "Pending" + kArrow + "typed body");
    // The next title goes to the next slot; the typed body stays.
    Bench::markParagraph(w, "Next", "Body");
    QCOMPARE(w.table.parCount(), 2);
    QCOMPARE(w.table.slot(0).title, QStringLiteral("Pending"));
    QCOMPARE(rtfToText(w.table.slot(0).body), QStringLiteral("typed body"));
    QVERIFY(b.rec.questions().isEmpty());
    w.Com_Click(11);
    QCOMPARE(treeLabels(b, "aTitle1.xml"), (QStringList{"\tPending", "\tNext"}));
}

void TestEditor::replacingPendingTitleWithContentAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no keeps the pending title") << false;
    QTest::newRow("yes replaces it") << true;
}

void TestEditor::replacingPendingTitleWithContentAsks()
{
    QFETCH(bool, answer);
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Pending\r\nOther\r\nBody"); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Pending");
    w.Com_Click(2);
    w.parIndex = 0;
    {
        // A picture attached, the body left empty: still a title waiting for its text.
        Form6 e(b.ctx);
        e.matn->setText(QString());
        e.picB->setText(b.tp.file("Resources/MyBook.jpg"));
        e.btn_Click(4);
    }
    QCOMPARE(w.table.parCount(), 0);
    b.rec.queueAnswers({answer});
    Bench::select(w, "Other");
    w.Com_Click(2);
    QCOMPARE(b.rec.questions().size(), 1);
    QVERIFY(b.rec.questions().first().contains(QStringLiteral("Pending")));
    QCOMPARE(w.table.slot(0).title, answer ? QStringLiteral("Other") : QStringLiteral("Pending"));
    QCOMPARE(w.table.slot(0).pic.isEmpty(), answer);
    QCOMPARE(w.bindex->count(), 1);
    QCOMPARE(w.matn->Text().contains(QStringLiteral("Other")), !answer);
}

void TestEditor::deletingMainTitleTakesItsEndAlong_data()
{
    QTest::addColumn<bool>("closed");
    QTest::newRow("a closed group") << true;
    QTest::newRow("a group still open") << false;
}

void TestEditor::deletingMainTitleTakesItsEndAlong()
{
    QFETCH(bool, closed);
    Bench b([](TempProgram &tp) { tp.write("t.txt", "Outer\r\nGroup\r\nT\r\nB\r\nR\r\nC"); });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.MakeCombo();
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::select(w, "Outer");
    w.Com_Click(9);
    Bench::select(w, "Group");
    w.Com_Click(9);
    Bench::markParagraph(w, "T", "B");
    if (closed)
        w.Com_Click(10);
    Bench::markParagraph(w, "R", "C");
    QCOMPARE(w.table.mainDepth(), closed ? 1 : 2);
    w.parIndex = 1; // Group
    {
        Form6 e(b.ctx);
        e.btn_Click(0);
    }
    QCOMPARE(w.table.mainDepth(), 1);
    QCOMPARE(w.Com[9]->text(), ParagraphTable::mainCaption(1));
    QCOMPARE(w.table.parCount(), 3);
    QCOMPARE(w.bindex->count(), 3);
    QCOMPARE(w.table.slot(0).title, markMain());
    QCOMPARE(w.table.slot(1).title, QStringLiteral("T"));
    QCOMPARE(w.table.slot(2).title, QStringLiteral("R"));
    // The outer group still closes where the operator closes it.
    w.Com_Click(10);
    QCOMPARE(w.table.mainDepth(), 0);
    w.Com_Click(11);
    QCOMPARE(treeLabels(b, "aTitle1.xml"), (QStringList{"\tOuter", "\t\tT", "\t\tR", "\t/"}));
}

void TestEditor::inlinePicturesOfTheSameNameStayApart()
{
    Bench b([](TempProgram &tp) {
        tp.write("t.txt", "One\r\nFirst\r\nTwo\r\nSecond");
        tp.write("red/pic.jpg", QByteArray("red picture"));
        tp.write("blue/pic.jpg", QByteArray("blue picture"));
    });
    Form1 &f = *b.f1;
    f.title->setText(QStringLiteral("1"));
    f.MakeCombo();
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    Bench::markParagraph(w, "One", "First");
    Bench::markParagraph(w, "Two", "Second");
    const char *folders[] = {"red", "blue"};
    for (int i = 0; i < 2; ++i) {
        answerPicker(b.rec, b.tp.file(folders[i]), "pic.jpg");
        w.parIndex = static_cast<qint16>(i);
        Form6 e(b.ctx);
        e.matn->setSelStart(0);
        e.picM_Click();
        if (i == 1) { // the red one again, in the same body
            answerPicker(b.rec, b.tp.file("red"), "pic.jpg");
            e.matn->setSelStart(e.matn->textLength());
            e.picM_Click();
        }
        e.btn_Click(4);
    }
    w.Com_Click(11);
    QCOMPARE(QDir(b.tp.file("Data/BookIMG")).entryList(QStringList{"pic*"}),
             (QStringList{"pic-2.jpg", "pic.jpg"}));
    QCOMPARE(b.tp.read("Data/BookIMG/pic.jpg"), QByteArray("red picture"));
    QCOMPARE(b.tp.read("Data/BookIMG/pic-2.jpg"), QByteArray("blue picture"));
    const QString tree = FileSystem().readUnicode(b.tp.file("Data/_xml/aTitle1.xml"));
    QStringList pages;
    for (const QString &part : tree.split(QStringLiteral("src=\"DATA/BookTXT/")).mid(1))
        pages << FileSystem().readUnicode(b.tp.file("Data/BookTXT/" + part.section(u'"', 0, 0)));
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages[0].count(QStringLiteral("\"../BookIMG/pic.jpg\"")), 1);
    QCOMPARE(pages[1].count(QStringLiteral("\"../BookIMG/pic-2.jpg\"")), 1);
    QCOMPARE(pages[1].count(QStringLiteral("\"../BookIMG/pic.jpg\"")), 1);
}

namespace {

// A picture of one colour written as a BMP under the program folder.
QString writePicture(Bench &b, const QString &name, const QSize &size, const QColor &colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    const QString path = b.tp.file("Resources/" + name);
    if (!picture.save(path, "BMP"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The image formats of the body's objects, in document order.
QList<QTextImageFormat> bodyObjects(const QTextDocument *doc)
{
    QList<QTextImageFormat> found;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                found << it.fragment().charFormat().toImageFormat();
    return found;
}

QImage shownImage(const QTextDocument *doc, const QTextImageFormat &object)
{
    return doc->resource(QTextDocument::ImageResource, QUrl(object.name())).value<QImage>();
}

void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

void TestEditor::everyControlIsNamed()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    Form6 e(b.ctx);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    const QStringList unnamed = unnamedControls(&e);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    const QStringList silent = captionlessButtonsWithoutName(&e);
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(u'\n')));
    // A field is named by its heading, without the colon; a picture button by what it does.
    QCOMPARE(spokenName(e.picB), QStringLiteral(u"تصوير متصل به پاراگراف"));
    QCOMPARE(spokenName(e.bname), QStringLiteral(u"عنوان فهرست"));
    QCOMPARE(spokenName(e.Command5), QStringLiteral(u"انتخاب تصویر متصل"));
    QCOMPARE(e.Label1->buddy(), e.soutB);
}

void TestEditor::editorIsAFixedToolWindow()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    Form6 e(b.ctx);
    const Qt::WindowFlags flags = e.windowFlags();
    QCOMPARE(e.windowType(), Qt::Tool);
    // The hints count only with CustomizeWindowHint; without it the system adds its own buttons.
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
}

void TestEditor::popupPosition_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QSize>("menu");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("topLeft");
    const QRect screen(0, 0, 1280, 800);
    QTest::newRow("room: flows left from the pointer") << QPoint(600, 300) << QSize(150, 120) << screen << QPoint(451, 300);
    QTest::newRow("near the left edge: moved right onto the screen") << QPoint(40, 300) << QSize(150, 120) << screen << QPoint(0, 300);
    QTest::newRow("near the bottom: moved up") << QPoint(600, 760) << QSize(150, 120) << screen << QPoint(451, 680);
    QTest::newRow("second screen on the right")
        << QPoint(1300, 10) << QSize(150, 120) << QRect(1280, 0, 1024, 768) << QPoint(1280, 10);
    QTest::newRow("menu taller than the screen: its top stays on it")
        << QPoint(600, 300) << QSize(150, 900) << screen << QPoint(451, 0);
}

void TestEditor::popupPosition()
{
    QFETCH(QPoint, pointer);
    QFETCH(QSize, menu);
    QFETCH(QRect, screen);
    QFETCH(QPoint, topLeft);
    const QPoint at = popupTopLeft(pointer, menu, screen);
    QCOMPARE(at, topLeft);
    const QRect placed(at, menu);
    if (menu.height() <= screen.height())
        QVERIFY(screen.contains(placed));
}

void TestEditor::bodyPopupOpensLeftOfThePointer()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    w.parIndex = 0;
    Form6 e(b.ctx);
    showActive(e);
    const QPoint local(e.matn->viewport()->width() - 20, 30);
    const QPoint pointer = e.matn->viewport()->mapToGlobal(local);
    QTest::mouseRelease(e.matn->viewport(), Qt::RightButton, {}, local);
    QTRY_VERIFY(e.popM->isVisible());
    QCOMPARE(e.popM->layoutDirection(), Qt::RightToLeft);
    const QRect menu = e.popM->geometry();
    QCOMPARE(menu.topLeft(), popupTopLeft(pointer, menu.size(), e.screen()->availableGeometry()));
    QVERIFY2(menu.right() <= pointer.x(), "the menu reaches right of the pointer");
    saveShot(e.popM, QStringLiteral("form6-popup"));
    e.popM->hide();
}

void TestEditor::focusReturnsToTheIndexList_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("stored") << 4;
    QTest::newRow("closed with the close box") << -1;
    QTest::newRow("paragraph deleted") << 0;
}

void TestEditor::focusReturnsToTheIndexList()
{
    QFETCH(int, how);
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    showActive(w);
    b.rec.onModal("zorvel::Form6", [how](QDialog &d) {
        auto &e = static_cast<Form6 &>(d);
        // As a modal window does: the editor takes the keyboard.
        showActive(e);
        e.matn->setFocus();
        if (how < 0)
            e.close();
        else
            e.btn[how]->click();
    });
    w.bindex->setCurrentRow(2);
    w.bindex_MouseUp();
    QCOMPARE(b.rec.modals().count(QStringLiteral("zorvel::Form6")), 1);
    QTRY_VERIFY(w.isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.bindex));
    QVERIFY(w.bindex->hasFocus());
}

void TestEditor::inlinePictureIsShownAtItsObjectSize()
{
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    writePicture(b, "wide.bmp", QSize(200, 100), Qt::red);
    w.parIndex = 0;
    answerPicker(b.rec, picturesFolder(b), "wide.bmp");
    QString shownRtf;
    {
        Form6 e(b.ctx);
        e.matn->setSelStart(0);
        e.picM_Click();
        const QList<QTextImageFormat> objects = bodyObjects(e.matn->document());
        QCOMPARE(objects.size(), 1);
        // \objw330 \objh270: 22 by 18 pixels.
        QCOMPARE(QSizeF(objects[0].width(), objects[0].height()), QSizeF(22, 18));
        const QImage shown = shownImage(e.matn->document(), objects[0]);
        QCOMPARE(shown.size(), QSize(22, 18));
        // The picture itself, not stretched: 22 by 11 across the middle.
        QCOMPARE(shown.pixelColor(11, 9), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(11, 0).alpha(), 0);
        QCOMPARE(e.matn->Text(), QStringLiteral(" {0}\r\nB0"));
        e.picB->setText(writePicture(b, "tall.bmp", QSize(100, 600), Qt::blue));
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        saveShot(&e, QStringLiteral("form6-pictures"));
        shownRtf = e.matn->TextRTF();
        e.btn_Click(4);
    }
    const QString stored = w.table.slot(0).body;
    QCOMPARE(stored, shownRtf);
    // The RTF is that of the template's object: the same body read without
    // the picture shown writes the same bytes.
    RichTextBox plain;
    plain.setTextRTF(stored);
    QVERIFY(shownImage(plain.document(), bodyObjects(plain.document()).value(0)).pixelColor(11, 9) != QColor(Qt::red));
    QCOMPARE(plain.TextRTF(), stored);
    QVERIFY(stored.contains(QStringLiteral("\\objw330\\I0\\objh270")));
    QVERIFY(stored.contains(QStringLiteral("\\pngblip\\picw22\\pich18")));

    // Opened again: the picture is shown once more, and storing changes nothing.
    Form6 again(b.ctx);
    const QList<QTextImageFormat> objects = bodyObjects(again.matn->document());
    QCOMPARE(objects.size(), 1);
    QCOMPARE(shownImage(again.matn->document(), objects[0]).pixelColor(11, 9), QColor(Qt::red));
    again.btn_Click(4);
    QCOMPARE(w.table.slot(0).body, stored);
}

void TestEditor::previewFitsThePicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::newRow("wide") << QSize(600, 100);
    QTest::newRow("tall") << QSize(100, 600);
    QTest::newRow("small") << QSize(40, 30);
}

void TestEditor::previewFitsThePicture()
{
    QFETCH(QSize, picture);
    Bench b([](TempProgram &tp) { tp.write("five.txt", fiveText()); });
    Form3 &w = openFive(b);
    const QString path = writePicture(b, "shown.bmp", picture, Qt::blue);
    w.parIndex = 0;
    // Typed into the field of a shown editor, and attached already when the editor opens.
    for (const bool typed : {true, false}) {
        if (!typed)
            w.table.slot(0).pic = path;
        Form6 e(b.ctx);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        if (typed)
            e.picB->setText(path);
        const QSize box = e.Image1->contentsRect().size();
        const QSize shown = e.Image1->pixmap().deviceIndependentSize().toSize();
        QVERIFY2(shown.width() <= box.width() && shown.height() <= box.height(), "the preview is cut");
        // The whole picture, in its proportions, as large as the box allows.
        QVERIFY(shown.width() == box.width() || shown.height() == box.height());
        const double ratio = double(picture.width()) / picture.height();
        QVERIFY2(std::abs(double(shown.width()) / shown.height() - ratio) < ratio * 0.05,
                 qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
        const QImage grabbed = e.Image1->grab().toImage();
        const QPointF centre = QPointF(e.Image1->contentsRect().center()) * grabbed.devicePixelRatio();
        QCOMPARE(grabbed.pixelColor(centre.toPoint()), QColor(Qt::blue));
    }
}

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
