// The main window: design values, field rules, the completeness check, the
// settings file and the book picker, driven through the real Form1.
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"
#include "support/recorder.h"
#include "support/screenshot.h"
#include "support/tempprogram.h"
#include "ui/common/appcontext.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form1.h"
#include "ui/shell/form2.h"
#include "ui/shell/form5.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include "support/copytree.h"

#include <QtTest>

#include <memory>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

QString sep()
{
    return QString(folderSeparator());
}

// One fresh main window on a throw-away program folder.
struct Fixture {
    TempProgram tp;
    Recorder rec;
    AppContext ctx;
    std::unique_ptr<Form1> f;

    explicit Fixture(const std::function<void(TempProgram &)> &prepare = {})
    {
        if (prepare)
            prepare(tp);
        ctx.op = &rec;
        ctx.programFolder = tp.path();
        f = std::make_unique<Form1>(ctx);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void designValuesAtStart();
    void windowAndControls();
    void musicRuleSwitchesSixControls();
    void rowCountRule_data();
    void rowCountRule();
    void rowCountBackspaceAndPasteRules();
    void focusSelectsWholeText();
    void completenessCheckMessageOrder_data();
    void completenessCheckMessageOrder();
    void settingsRoundTrip();
    void settingsFileBytes();
    void settingsReadRules_data();
    void settingsReadRules();
    void malformedSettingsChangeNothing();
    void settingsInOtherEncodings_data();
    void settingsInOtherEncodings();
    void settingsWithoutStringsAreMalformed();
    void emptyBuildFolderIsNoBuildFolder();
    void typedBuildFolderIsReadWhenFinished();
    void saveNeverDeletesMediaChosenFromItsOwnTarget();
    void pickerKeepsChosenBookOnFocusLoss();
    void buildFolderChangeSwitchesProject();
    void saveCopiesMediaByPickerSlot();
    void saveWithMusicOffKeepsOldTracks();
    void saveWithoutBookTxtWritesNothing();
    void saveWithEmptyPickerSkipsBookPicture();
    void pickerEntries();
    void pickerCountsLimits();
    void pickerFollowsCountsOnFocusLoss();
    void elementText_data();
    void elementText();
    void closingEndsProgram();
    void folderPickerRouting_data();
    void folderPickerRouting();
    void filePickerRouting_data();
    void filePickerRouting();
    void pickerClosedWithoutChoiceChangesNothing();
    void pickersOpenWhereTheFieldPoints();
    void pickersFallBackToTheLastFolderOfTheKind();
    void clickSelectsWholeTextInEveryWindow();
    void pathFieldsShowTheirEnd();
    void bookListIsWideEnoughForItsEntries();
    void unknownKeyChangesNothing();
};

void TestMainWindow::designValuesAtStart()
{
    Fixture fx;
    Form1 &f = *fx.f;
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    QCOMPARE(f.matn->text(), QStringLiteral("10"));
    QCOMPARE(f.shenas->text(), QStringLiteral("10"));
    QCOMPARE(f.idir->text(), QStringLiteral("Data"));
    QCOMPARE(f.Text1->text(), QStringLiteral(u"شاخه جاري"));
    QCOMPARE(f.ExBox->text(), QStringLiteral("Export"));
    QCOMPARE(f.index->text(), "Resources" + sep() + "MyBook.jpg");
    QCOMPARE(f.Mus1->text(), "Resources" + sep() + "MySound1.mp3");
    QCOMPARE(f.Mus2->text(), "Resources" + sep() + "MySound2.mp3");
    QCOMPARE(f.Back->text(), "Resources" + sep() + "MyBack.jpg");
    QVERIFY(f.bMus[0]->isChecked());
    QVERIFY(f.Olgoo[0]->isChecked());
    QVERIFY(!f.Pcheck->isChecked());
    for (QWidget *w : std::initializer_list<QWidget *>{f.Mus1, f.Mus2, f.Command6, f.Command7, f.Label1, f.Label10})
        QVERIFY(w->isEnabled());
    QCOMPARE(f.txtDir, QStringLiteral("BookTXT"));
    QCOMPARE(f.xmlDir, QStringLiteral("_xml"));
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(f.Timer1->interval(), 100);
    // No build folder yet: every book of the three rows is still to do.
    QCOMPARE(f.dataName->count(), 30);
    QCOMPARE(f.dataName->currentIndex(), 0);
    QVERIFY(fx.rec.events().isEmpty());
}

void TestMainWindow::windowAndControls()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    saveShot(&f, QStringLiteral("form1"));
    QCOMPARE(f.windowTitle(), QStringLiteral("Zorvel"));
    QCOMPARE(f.size(), QSize(309, 546));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(f.layoutDirection(), Qt::RightToLeft);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.Text1));
    QCOMPARE(f.Command3->text(), QStringLiteral(u"بعدي"));
    QCOMPARE(f.Command10->text(), QStringLiteral(u"خروجي"));
    QCOMPARE(f.Command4->text(), QStringLiteral(u"راهنما"));
    QCOMPARE(f.Pcheck->text(), QStringLiteral(u"ايجاد امكان پرينت در نرمافزار"));
    QCOMPARE(f.Label9->text(), QStringLiteral(u"انتخاب كتاب:"));

    // Right to left: a label stands right of its field, a browse button at the far left.
    auto centreX = [](QWidget *w) { return w->mapTo(w->window(), w->rect().center()).x(); };
    QVERIFY(centreX(f.Label6) > centreX(f.index));
    QVERIFY(centreX(f.index) > centreX(f.Command5));
    QVERIFY(centreX(f.Label2) > centreX(f.title));
    QVERIFY(centreX(f.title) > centreX(f.Text1));
    QVERIFY(centreX(f.Command4) > centreX(f.Command3));
    QVERIFY(centreX(f.Command3) > centreX(f.Command10));
    QVERIFY(centreX(f.bMus[0]) > centreX(f.bMus[1]));
    QVERIFY(centreX(f.Olgoo[0]) > centreX(f.Olgoo[1]));
    // Rows stand in their order from top to bottom, inside the window.
    auto topY = [](QWidget *w) { return w->mapTo(w->window(), QPoint(0, 0)).y(); };
    QList<QWidget *> rows = {f.Text1, f.idir, f.dataName, f.index, f.bMus[0], f.Mus1, f.Mus2,
                             f.Olgoo[0], f.Back, f.Pcheck, f.ExBox, f.Command3};
    for (int i = 0; i + 1 < rows.size(); ++i)
        QVERIFY2(topY(rows[i]) < topY(rows[i + 1]), qPrintable(QString::number(i)));
    for (QWidget *w : f.findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        const QRect r(w->mapTo(&f, QPoint(0, 0)), w->size());
        QVERIFY2(f.rect().contains(r), qPrintable(w->metaObject()->className()));
    }
    // Labels are wide enough for their text.
    for (QLabel *l : {f.Label5, f.Label14, f.Label7, f.Label8, f.Label9, f.Label6})
        QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->text()));
    QVERIFY(f.Pcheck->sizeHint().width() <= f.Pcheck->width());
}

void TestMainWindow::musicRuleSwitchesSixControls()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QTest::mouseClick(f.bMus[1], Qt::LeftButton);
    QVERIFY(f.bMus[1]->isChecked());
    for (QWidget *w : std::initializer_list<QWidget *>{f.Mus1, f.Mus2, f.Command6, f.Command7, f.Label1, f.Label10})
        QVERIFY(!w->isEnabled());
    QTest::mouseClick(f.bMus[0], Qt::LeftButton);
    for (QWidget *w : std::initializer_list<QWidget *>{f.Mus1, f.Mus2, f.Command6, f.Command7, f.Label1, f.Label10})
        QVERIFY(w->isEnabled());
}

void TestMainWindow::rowCountRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("1 stays") << "1" << "1";
    QTest::newRow("15 becomes 10") << "15" << "10";
    QTest::newRow("empty becomes 10") << "" << "10";
    QTest::newRow("0 becomes 10") << "0" << "10";
    QTest::newRow("-3 becomes 10") << "-3" << "10";
    QTest::newRow("abc becomes 10") << "abc" << "10";
    QTest::newRow("10.9 stays") << "10.9" << "10.9";
    QTest::newRow("1.5 stays") << "1.5" << "1.5";
    QTest::newRow("5.7 stays") << "5.7" << "5.7";
    QTest::newRow("persian 5 is 5") << QStringLiteral(u"۵") << "5";
    QTest::newRow("arabic-indic 7 is 7") << QStringLiteral(u"٧") << "7";
    QTest::newRow("persian 15 becomes 10") << QStringLiteral(u"۱۵") << "10";
    QTest::newRow("persian 2.5 with the arabic decimal mark") << QStringLiteral(u"۲٫۵") << "2.5";
    QTest::newRow("persian 0 becomes 10") << QStringLiteral(u"۰") << "10";
}

void TestMainWindow::rowCountRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, result);
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    f.matn->setFocus();
    f.matn->setText(typed);
    QTest::keyClick(f.matn, Qt::Key_End); // the rule runs on a key release
    QCOMPARE(f.matn->text(), result);
    if (result == "10" && typed != "10") {
        QCOMPARE(f.matn->selectionStart(), 0);
        QCOMPARE(f.matn->selectedText(), QStringLiteral("10"));
    }
}

void TestMainWindow::rowCountBackspaceAndPasteRules()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    // Typed key by key: 1 stays, a further 5 makes 15, which turns into 10, selected.
    f.matn->setFocus();
    f.matn->clear();
    QTest::keyClicks(f.matn, QStringLiteral("1"));
    QCOMPARE(f.matn->text(), QStringLiteral("1"));
    QTest::keyClicks(f.matn, QStringLiteral("5"));
    QCOMPARE(f.matn->text(), QStringLiteral("10"));
    QCOMPARE(f.matn->selectedText(), QStringLiteral("10"));

    f.title->setFocus();
    f.title->setText(QStringLiteral("1"));
    f.title->setCursorPosition(1);
    QTest::keyClick(f.title, Qt::Key_Backspace);
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    // Text put in without a key (a paste from the menu) waits for the next key release.
    f.shenas->setText(QStringLiteral("99"));
    QCOMPARE(f.shenas->text(), QStringLiteral("99"));
    f.shenas->setFocus();
    f.shenas->setCursorPosition(2);
    QTest::keyClick(f.shenas, Qt::Key_End);
    QCOMPARE(f.shenas->text(), QStringLiteral("10"));
}

void TestMainWindow::focusSelectsWholeText()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    for (QLineEdit *e : {f.idir, f.index, f.Back, f.ExBox, f.Text1, f.matn}) {
        e->setFocus();
        QTRY_COMPARE(e->selectedText(), e->text());
    }
}

void TestMainWindow::completenessCheckMessageOrder_data()
{
    QTest::addColumn<bool>("musicOn");
    QTest::addColumn<QList<qint16>>("expected");
    QTest::newRow("music on") << true << QList<qint16>{15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    QTest::newRow("music off") << false << QList<qint16>{15, 16, 17, 18, 19, 22, 23, 24};
}

void TestMainWindow::completenessCheckMessageOrder()
{
    QFETCH(bool, musicOn);
    QFETCH(QList<qint16>, expected);
    Fixture fx;
    Form1 &f = *fx.f;
    f.bMus[musicOn ? 0 : 1]->setChecked(true);
    for (QLineEdit *e : {f.Text1, f.title, f.matn, f.shenas, f.Mus1, f.Mus2, f.index, f.idir, f.Back})
        e->clear();
    f.dataName->clear();
    QVERIFY(!f.CHK());
    QCOMPARE(fx.rec.messages(), expected);

    // Blanks count as filled; an empty ExBox is not checked here.
    fx.rec.clear();
    for (QLineEdit *e : {f.Text1, f.title, f.matn, f.shenas, f.Mus1, f.Mus2, f.index, f.idir, f.Back})
        e->setText(QStringLiteral(" "));
    f.ExBox->clear();
    f.dataName->addItem(QStringLiteral("x (a1)"));
    QVERIFY(f.CHK());
    QVERIFY(fx.rec.messages().isEmpty());
}

void TestMainWindow::settingsRoundTrip()
{
    Fixture fx([](TempProgram &tp) { tp.mkdir("Data/BookTXT"); });
    Form1 &f = *fx.f;
    f.bMus[1]->setChecked(true); // no media folders here: nothing to copy but the picture
    f.index->clear();
    f.Back->clear();
    f.title->setText(QStringLiteral("07"));
    f.matn->setText(QStringLiteral("3"));
    f.shenas->setText(QStringLiteral("5.5"));
    f.Olgoo[1]->setChecked(true);
    f.bMus[1]->setChecked(true);
    f.Pcheck->setChecked(true);
    QVERIFY(f.SaveThings());

    Fixture second([&](TempProgram &tp) { QVERIFY(copyTree(fx.tp.file("Data"), tp.file("Data"))); });
    Form1 &g = *second.f;
    QCOMPARE(g.title->text(), QStringLiteral("07"));
    QCOMPARE(g.matn->text(), QStringLiteral("3"));
    QCOMPARE(g.shenas->text(), QStringLiteral("5.5"));
    QVERIFY(g.Olgoo[1]->isChecked());
    QVERIFY(g.bMus[1]->isChecked());
    QVERIFY(!g.Mus1->isEnabled());
    QVERIFY(g.Pcheck->isChecked());
    // The picker follows the counts just read: 7 + 3 + 5 books.
    QCOMPARE(g.dataName->count(), 15);
}

void TestMainWindow::settingsFileBytes()
{
    Fixture fx([](TempProgram &tp) {
        for (const char *d : {"Data/BookTXT", "Data/BookIMG", "Data/FlashIMG"})
            tp.mkdir(d);
    });
    QVERIFY(fx.f->SaveThings());
    const QString expected = QStringLiteral(
        "<strings>\r\n\t<aBookNumber>10</aBookNumber>\r\n\t<bBookNumber>10</bBookNumber>\r\n"
        "\t<cBookNumber>10</cBookNumber>\r\n\t<Olgoo>1</Olgoo>\r\n\t<Music>1</Music>\r\n"
        "\t<Print>0</Print>\r\n</strings>");
    const QByteArray bytes = fx.tp.read("Data/BookTXT/CDProperty.xml");
    QCOMPARE(bytes, utf16le(expected, true));
    QVERIFY(bytes.startsWith("\xff\xfe"));
    QCOMPARE(expected.count(QStringLiteral("\r\n")), 7); // eight lines, none after the last
}

void TestMainWindow::settingsReadRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("template1");
    QTest::addColumn<bool>("musicOn");
    QTest::addColumn<bool>("print");
    QTest::addColumn<QString>("aCount");
    QTest::newRow("1 followed by a space is template 2")
        << "<strings><Olgoo>1 </Olgoo><Music>1</Music><Print>1</Print><aBookNumber>4</aBookNumber></strings>"
        << false << true << true << "4";
    QTest::newRow("empty music is music off")
        << "<strings><Olgoo>1</Olgoo><Music></Music><Print>0</Print><aBookNumber>4</aBookNumber></strings>"
        << true << false << false << "4";
    QTest::newRow("missing elements: empty count, template 2, music off, print clear")
        << "<strings></strings>" << false << false << false << "";
    QTest::newRow("first of two occurrences wins")
        << "<strings><aBookNumber>2</aBookNumber><aBookNumber>9</aBookNumber><Olgoo>1</Olgoo><Music>1</Music>"
        << true << true << false << "2";
}

void TestMainWindow::settingsReadRules()
{
    QFETCH(QString, text);
    QFETCH(bool, template1);
    QFETCH(bool, musicOn);
    QFETCH(bool, print);
    QFETCH(QString, aCount);
    Fixture fx([&](TempProgram &tp) { tp.write("Data/BookTXT/CDProperty.xml", utf16le(text)); });
    Form1 &f = *fx.f;
    QCOMPARE(f.Olgoo[0]->isChecked(), template1);
    QCOMPARE(f.bMus[0]->isChecked(), musicOn);
    QCOMPARE(f.Mus1->isEnabled(), musicOn);
    QCOMPARE(f.Pcheck->isChecked(), print);
    QCOMPARE(f.title->text(), aCount);
    QVERIFY(fx.rec.notices().isEmpty());
}

void TestMainWindow::malformedSettingsChangeNothing()
{
    const QString text = QStringLiteral("<aBookNumber>3</aBookNumber><Olgoo>2</Olgoo><Music>0</Music></Print>1<Print>");
    Fixture fx([&](TempProgram &tp) { tp.write("Data/BookTXT/CDProperty.xml", utf16le(text)); });
    Form1 &f = *fx.f;
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    QVERIFY(f.Olgoo[0]->isChecked());
    QVERIFY(f.bMus[0]->isChecked());
    QCOMPARE(fx.rec.notices().size(), 1);
    QVERIFY(fx.rec.notices().first().contains(QStringLiteral("CDProperty.xml")));
}

void TestMainWindow::settingsInOtherEncodings_data()
{
    const QString text = buildSettingsText({"3", "2", "1", false, true, true});
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf-8 with bom") << QByteArray("\xef\xbb\xbf") + text.toUtf8();
    QTest::newRow("utf-8 without bom") << text.toUtf8();
    QByteArray be("\xfe\xff");
    for (QChar c : text)
        be += char(c.unicode() >> 8), be += char(c.unicode() & 0xff);
    QTest::newRow("utf-16 be with bom") << be;
    QTest::newRow("utf-16 be without bom") << be.mid(2);
    QTest::newRow("utf-16 le without bom") << utf16le(text, false);
}

void TestMainWindow::settingsInOtherEncodings()
{
    QFETCH(QByteArray, bytes);
    Fixture fx([&](TempProgram &tp) { tp.write("Data/BookTXT/CDProperty.xml", bytes); });
    Form1 &f = *fx.f;
    QCOMPARE(f.title->text(), QStringLiteral("3"));
    QCOMPARE(f.matn->text(), QStringLiteral("2"));
    QCOMPARE(f.shenas->text(), QStringLiteral("1"));
    QVERIFY(f.Olgoo[1]->isChecked());
    QVERIFY(f.bMus[0]->isChecked());
    QVERIFY(f.Pcheck->isChecked());
    QCOMPARE(f.dataName->count(), 6);
    QVERIFY(fx.rec.notices().isEmpty());
}

void TestMainWindow::settingsWithoutStringsAreMalformed()
{
    // Another editor's file that is no settings file at all: nothing read, and said so.
    const QString text = QStringLiteral("<aBookNumber>3</aBookNumber><Olgoo>2</Olgoo><Music>0</Music>");
    for (const QByteArray &bytes : {utf16le(text), text.toUtf8(), QByteArray("\x01\x02\x03")}) {
        Fixture fx([&](TempProgram &tp) { tp.write("Data/BookTXT/CDProperty.xml", bytes); });
        Form1 &f = *fx.f;
        QCOMPARE(f.title->text(), QStringLiteral("10"));
        QVERIFY(f.Olgoo[0]->isChecked());
        QVERIFY(f.bMus[0]->isChecked());
        QCOMPARE(fx.rec.notices().size(), 1);
        QVERIFY(fx.rec.notices().first().startsWith(QStringLiteral(u"فايل تنظيمات پروژه خوانده نشد")));
        QVERIFY(fx.rec.notices().first().contains(QStringLiteral("CDProperty.xml")));
    }
}

void TestMainWindow::emptyBuildFolderIsNoBuildFolder()
{
    // The working folder holds another project; an empty field must not reach it.
    Fixture fx([](TempProgram &tp) {
        tp.write("elsewhere/BookTXT/CDProperty.xml",
                 utf16le(buildSettingsText({"1", "1", "1", false, false, true})));
        tp.write("elsewhere/_xml/aTitle1.xml", "x");
    });
    Form1 &f = *fx.f;
    const QString oldCwd = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(oldCwd); });
    QVERIFY(QDir::setCurrent(fx.tp.file("elsewhere")));
    f.idir->clear();
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    QVERIFY(f.Olgoo[0]->isChecked());
    QVERIFY(!f.Pcheck->isChecked());
    QCOMPARE(f.dataName->count(), 30);
    QCOMPARE(f.dataName->itemText(0), pickerEntry("a", 1));
    QVERIFY(fx.rec.events().isEmpty());
}

void TestMainWindow::typedBuildFolderIsReadWhenFinished()
{
    Fixture fx([](TempProgram &tp) {
        tp.write("P/A/BookTXT/CDProperty.xml", utf16le(buildSettingsText({"2", "2", "2", false, false, true})));
        tp.mkdir("P/AB"); // a project without settings yet
    });
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    auto type = [&](const QString &text) {
        f.idir->setFocus();
        QCoreApplication::processEvents(); // the focus selects the whole text
        f.idir->selectAll();
        QTest::keyClicks(f.idir, text);
    };
    // Typing passes through P/A; nothing is read on the way.
    type(fx.tp.file("P/AB"));
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    QTest::keyClick(f.idir, Qt::Key_Return);
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    QVERIFY(f.Olgoo[0]->isChecked());
    QVERIFY(!f.Pcheck->isChecked());

    // A folder named and left: its settings.
    type(fx.tp.file("P/A"));
    QCOMPARE(f.title->text(), QStringLiteral("10"));
    f.Text1->setFocus();
    QTRY_COMPARE(f.title->text(), QStringLiteral("2"));
    QVERIFY(f.Olgoo[1]->isChecked());
    QCOMPARE(f.dataName->count(), 6);

    // A folder that does not exist is not read: the fields stay.
    f.title->setText(QStringLiteral("4"));
    type(fx.tp.file("P/None"));
    QTest::keyClick(f.idir, Qt::Key_Return);
    QCOMPARE(f.title->text(), QStringLiteral("4"));
    QVERIFY(f.Olgoo[1]->isChecked());
    QVERIFY(fx.rec.events().isEmpty());
}

void TestMainWindow::saveNeverDeletesMediaChosenFromItsOwnTarget()
{
    Fixture fx([](TempProgram &tp) {
        for (const char *d : {"Data/BookTXT", "Data/BookIMG"})
            tp.mkdir(d);
        tp.write("Data/FlashIMG/Back.jpg", "background");
        tp.write("Data/FlashIMG/Sound1.mp3", "song");
    });
    Form1 &f = *fx.f;
    f.Back->setText(fx.tp.file("Data/FlashIMG/Back.jpg"));
    f.Mus1->setText(QStringLiteral("Data") + sep() + "FlashIMG" + sep() + "Sound1.mp3");
    QVERIFY(f.SaveThings());
    QCOMPARE(fx.tp.read("Data/FlashIMG/Back.jpg"), QByteArray("background"));
    QCOMPARE(fx.tp.read("Data/FlashIMG/Sound1.mp3"), QByteArray("song"));
    QCOMPARE(fx.tp.read("Data/FlashIMG/Sound2.mp3"), fx.tp.read("Resources/MySound2.mp3"));
    QVERIFY(fx.rec.notices().isEmpty());
}

void TestMainWindow::pickerKeepsChosenBookOnFocusLoss()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.dataName->setCurrentIndex(f.dataName->findText(pickerEntry("b", 3)));
    // Passing through a count field changes nothing.
    f.title->setFocus();
    f.idir->setFocus();
    QTest::qWait(20);
    QCOMPARE(f.dataName->currentText(), pickerEntry("b", 3));
    // Neither does a count written otherwise but meaning the same.
    f.title->setFocus();
    f.title->setText(QStringLiteral("10.0"));
    f.idir->setFocus();
    QTest::qWait(20);
    QCOMPARE(f.dataName->currentText(), pickerEntry("b", 3));
    // A real change keeps the book while it is still listed...
    f.title->setFocus();
    f.title->setText(QStringLiteral("8"));
    f.idir->setFocus();
    QTRY_COMPARE(f.dataName->count(), 28);
    QCOMPARE(f.dataName->currentText(), pickerEntry("b", 3));
    // ...and falls back to the first book when it is not.
    f.dataName->setCurrentIndex(f.dataName->findText(pickerEntry("a", 6)));
    f.title->setFocus();
    f.title->setText(QStringLiteral("5"));
    f.idir->setFocus();
    QTRY_COMPARE(f.dataName->count(), 25);
    QCOMPARE(f.dataName->currentIndex(), 0);
}

void TestMainWindow::buildFolderChangeSwitchesProject()
{
    Fixture fx([](TempProgram &tp) {
        tp.write("Other/BookTXT/CDProperty.xml",
                 utf16le(buildSettingsText({"2", "1", "0", false, false, true})));
        tp.write("Other/_xml/aTitle1.xml", "x");
    });
    Form1 &f = *fx.f;
    QCOMPARE(f.dataName->count(), 30);
    f.idir->setText(fx.tp.file("Other"));
    QCOMPARE(f.title->text(), QStringLiteral("2"));
    QVERIFY(f.Olgoo[1]->isChecked());
    QVERIFY(f.Pcheck->isChecked());
    // Row 1 has two books, the first finished; row 2 one; row 3 none.
    QCOMPARE(f.dataName->count(), 2);
    QCOMPARE(parseBookSlot(f.dataName->itemText(0)).bookNo, QStringLiteral("2"));
    QCOMPARE(parseBookSlot(f.dataName->itemText(1)).rowLetter, QStringLiteral("b"));
}

void TestMainWindow::saveCopiesMediaByPickerSlot()
{
    Fixture fx([](TempProgram &tp) {
        for (const char *d : {"Data/BookTXT", "Data/BookIMG", "Data/FlashIMG"})
            tp.mkdir(d);
        tp.write("Data/FlashIMG/Back.jpg", "old background");
    });
    Form1 &f = *fx.f;
    // The tenth book of row 1.
    const int tenth = f.dataName->findText(pickerEntry("a", 10));
    QVERIFY(tenth >= 0);
    f.dataName->setCurrentIndex(tenth);
    QVERIFY(f.SaveThings());
    QCOMPARE(fx.tp.read("Data/BookIMG/aBook10.jpg"), fx.tp.read("Resources/MyBook.jpg"));
    QCOMPARE(fx.tp.read("Data/FlashIMG/Back.jpg"), fx.tp.read("Resources/MyBack.jpg"));
    QCOMPARE(fx.tp.read("Data/FlashIMG/Sound1.mp3"), fx.tp.read("Resources/MySound1.mp3"));
    QCOMPARE(fx.tp.read("Data/FlashIMG/Sound2.mp3"), fx.tp.read("Resources/MySound2.mp3"));
    QVERIFY(fx.rec.notices().isEmpty());
}

void TestMainWindow::saveWithMusicOffKeepsOldTracks()
{
    Fixture fx([](TempProgram &tp) {
        for (const char *d : {"Data/BookTXT", "Data/BookIMG", "Data/FlashIMG"})
            tp.mkdir(d);
        tp.write("Data/FlashIMG/Sound1.mp3", "earlier");
    });
    Form1 &f = *fx.f;
    f.bMus[1]->setChecked(true);
    QVERIFY(f.SaveThings());
    QCOMPARE(fx.tp.read("Data/FlashIMG/Sound1.mp3"), QByteArray("earlier"));
    QVERIFY(!fx.tp.exists("Data/FlashIMG/Sound2.mp3"));
}

void TestMainWindow::saveWithoutBookTxtWritesNothing()
{
    Fixture fx([](TempProgram &tp) { tp.mkdir("Data/FlashIMG"); });
    QVERIFY(!fx.f->SaveThings());
    QCOMPARE(fx.rec.notices().size(), 1);
    QVERIFY(fx.rec.notices().first().contains(QStringLiteral("CDProperty.xml")));
    QVERIFY(!fx.tp.exists("Data/FlashIMG/Back.jpg"));
}

void TestMainWindow::saveWithEmptyPickerSkipsBookPicture()
{
    Fixture fx([](TempProgram &tp) {
        for (const char *d : {"Data/BookTXT", "Data/BookIMG"})
            tp.mkdir(d);
    });
    Form1 &f = *fx.f;
    f.dataName->clear();
    // FlashIMG is missing: the background copy fails and says so.
    QVERIFY(f.SaveThings());
    QVERIFY(fx.tp.exists("Data/BookTXT/CDProperty.xml"));
    QVERIFY(QDir(fx.tp.file("Data/BookIMG")).isEmpty());
    QCOMPARE(fx.rec.notices().size(), 1);
    QVERIFY(fx.rec.notices().first().contains(QStringLiteral("Back.jpg")));
}

void TestMainWindow::pickerEntries()
{
    Fixture fx([](TempProgram &tp) {
        tp.write("Data/_xml/aTitle2.xml", "");
        tp.write("Data/_xml/cTitle2.xml", "");
    });
    Form1 &f = *fx.f;
    f.title->setText(QStringLiteral("3"));
    f.matn->setText(QStringLiteral("1"));
    f.shenas->setText(QStringLiteral("2"));
    f.MakeCombo();
    QStringList items;
    for (int i = 0; i < f.dataName->count(); ++i)
        items << f.dataName->itemText(i);
    QCOMPARE(items, (QStringList{QStringLiteral(u"رديف اول -> كتاب اول  (a1)"),
                                 QStringLiteral(u"رديف اول -> كتاب سوم  (a3)"),
                                 QStringLiteral(u"رديف دوم -> كتاب اول  (b1)"),
                                 QStringLiteral(u"رديف سوم -> كتاب اول  (c1)")}));
    QCOMPARE(f.dataName->currentIndex(), 0);
}

void TestMainWindow::pickerCountsLimits()
{
    TempProgram tp(false);
    FileSystem fs;
    const QString d = tp.file("Data");
    // Ten unfinished books of one row run from the first to the tenth word.
    QStringList ten = unfinishedBooks(fs, d, "10", "0", "-2");
    QCOMPARE(ten.size(), 10);
    QVERIFY(ten.first().contains(QStringLiteral(u"كتاب اول  (a1)")));
    QVERIFY(ten.last().contains(QStringLiteral(u"كتاب دهم  (a10)")));
    for (int k = 1; k <= 10; ++k)
        tp.write(QStringLiteral("Data/_xml/bTitle%1.xml").arg(k), "");
    QVERIFY(unfinishedBooks(fs, d, "0", "10", "0").isEmpty());
    // Not a number counts as 0; more than ten are never listed; 2.7 is 2.
    QCOMPARE(unfinishedBooks(fs, d, "", "abc", "2.7").size(), 2);
    QCOMPARE(unfinishedBooks(fs, d, "25", "0", "0").size(), 10);
    // Persian and Arabic-Indic digits are the numbers they are.
    QCOMPARE(unfinishedBooks(fs, d, QStringLiteral(u"۳"), "0", QStringLiteral(u"٢٫٥")).size(), 5);
}

void TestMainWindow::pickerFollowsCountsOnFocusLoss()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.title->setFocus();
    f.title->setSelection(0, 2);
    QTest::keyClicks(f.title, QStringLiteral("3"));
    QCOMPARE(f.dataName->count(), 30); // not yet: the field still has the focus
    f.idir->setFocus();
    QTRY_COMPARE(f.dataName->count(), 23);
}

void TestMainWindow::elementText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("malformed");
    QTest::newRow("plain") << "<a>x</a>" << "a" << "x" << false;
    QTest::newRow("case-sensitive") << "<A>x</A>" << "a" << "" << false;
    QTest::newRow("no opening tag") << "x</a>" << "a" << "" << false;
    QTest::newRow("closing missing") << "<a>x" << "a" << "" << true;
    QTest::newRow("closing first") << "</a><a>x" << "a" << "" << true;
    QTest::newRow("first closing anywhere") << "<a>1<a>2</a>3</a>" << "a" << "1<a>2" << false;
}

void TestMainWindow::elementText()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, malformed);
    QCOMPARE(Wsre(text, name), value);
    QCOMPARE(!zorvel::elementText(text, name).has_value(), malformed);
}

void TestMainWindow::closingEndsProgram()
{
    Fixture fx;
    QSignalSpy spy(fx.f.get(), &Form1::shutdown);
    fx.f->show();
    fx.f->close();
    QCOMPARE(spy.count(), 1);
    QVERIFY(fx.rec.events().isEmpty()); // no question on the way out
}

void TestMainWindow::folderPickerRouting_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("key");
    QTest::newRow("Command9 fills Text1") << 9 << "Command9";
    QTest::newRow("Command2 fills idir") << 2 << "idir";
    QTest::newRow("Command1 fills ExBox") << 1 << "ExBox";
}

void TestMainWindow::folderPickerRouting()
{
    QFETCH(int, button);
    QFETCH(QString, key);
    Fixture fx([](TempProgram &tp) {
        tp.write("Books/BookTXT/CDProperty.xml", utf16le(buildSettingsText({"2", "2", "2", true, true, false})));
        tp.mkdir("Books/Sub");
    });
    Form1 &f = *fx.f;
    QString preparedAt;
    fx.rec.onModal("zorvel::Form2", [&](QDialog &d) {
        auto &picker = static_cast<Form2 &>(d);
        preparedAt = picker.Dir1->path();
        picker.Dir1->setPath(fx.tp.file("Books"));
        // A subfolder only highlighted is not the choice.
        picker.Dir1->setCurrentRow(picker.Dir1->count() - 1);
        picker.btn[0]->click();
    });
    QLineEdit *target = button == 9 ? f.Text1 : button == 2 ? f.idir : f.ExBox;
    (button == 9 ? f.Command9_Click() : button == 2 ? f.Command2_Click() : f.Command1_Click());
    QCOMPARE(f.wdir, key);
    QCOMPARE(preparedAt, QDir::toNativeSeparators(fx.tp.path()));
    QCOMPARE(target->text(), QDir::toNativeSeparators(fx.tp.file("Books")));
    QVERIFY(!f.form2()->isVisible());
    if (button == 2) // a new build folder: its settings and books
        QCOMPARE(f.dataName->count(), 6);
}

void TestMainWindow::filePickerRouting_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("Command5 fills index") << 5 << "*.jpg";
    QTest::newRow("Command6 fills Mus1") << 6 << "*.mp3";
    QTest::newRow("Command7 fills Mus2") << 7 << "*.mp3";
    QTest::newRow("Command8 fills Back") << 8 << "*.jpg";
}

void TestMainWindow::filePickerRouting()
{
    QFETCH(int, button);
    QFETCH(QString, pattern);
    Fixture fx([](TempProgram &tp) {
        tp.write("Pics/Cover.jpg", "j");
        tp.write("Pics/Song.mp3", "m");
        tp.write("Pics/Other.txt", "t");
    });
    Form1 &f = *fx.f;
    QStringList listed;
    QString patternSeen;
    fx.rec.onModal("zorvel::Form5", [&](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        patternSeen = picker.File1->pattern();
        picker.Dir1->setPath(fx.tp.file("Pics"));
        for (int i = 0; i < picker.File1->count(); ++i)
            listed << picker.File1->item(i)->text();
        picker.File1->setCurrentRow(0);
        picker.btn[0]->click();
    });
    QLineEdit *targets[] = {f.index, f.Mus1, f.Mus2, f.Back};
    QLineEdit *target = targets[button == 5 ? 0 : button == 6 ? 1 : button == 7 ? 2 : 3];
    switch (button) {
    case 5: f.Command5_Click(); break;
    case 6: f.Command6_Click(); break;
    case 7: f.Command7_Click(); break;
    case 8: f.Command8_Click(); break;
    }
    QCOMPARE(patternSeen, pattern);
    const QString expectedName = pattern == "*.jpg" ? "Cover.jpg" : "Song.mp3";
    QCOMPARE(listed, QStringList{expectedName});
    QCOMPARE(target->text(), QDir::toNativeSeparators(fx.tp.file("Pics")) + sep() + expectedName);
}

void TestMainWindow::pickerClosedWithoutChoiceChangesNothing()
{
    Fixture fx;
    Form1 &f = *fx.f;
    fx.rec.onModal("zorvel::Form5", [](QDialog &d) { d.reject(); });
    fx.rec.onModal("zorvel::Form2", [](QDialog &d) { d.reject(); });
    const QString before = f.index->text();
    f.Command5_Click();
    f.Command2_Click();
    QCOMPARE(f.index->text(), before);
    QCOMPARE(f.idir->text(), QStringLiteral("Data"));
    QCOMPARE(f.wdir, QStringLiteral("idir")); // kept after use
}

void TestMainWindow::unknownKeyChangesNothing()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.form2()->Dir1->setPath(fx.tp.path());
    for (const char *key : {"IDIR", "command5", "", "Other"}) {
        f.wdir = QString::fromLatin1(key);
        f.upd();
    }
    QCOMPARE(f.idir->text(), QStringLiteral("Data"));
    QCOMPARE(f.index->text(), "Resources" + sep() + "MyBook.jpg");
    QCOMPARE(f.ExBox->text(), QStringLiteral("Export"));
    QCOMPARE(f.Text1->text(), QStringLiteral(u"شاخه جاري"));
}

void TestMainWindow::pickersOpenWhereTheFieldPoints()
{
    // The temporary program has Resources with the default pictures in it.
    Fixture fx([](TempProgram &tp) {
        tp.write("Resources/MyBook.jpg", "j");
        tp.write("Resources/Other.jpg", "j");
        tp.mkdir("Books/Sub");
    });
    Form1 &f = *fx.f;
    QString folder, selected;
    fx.rec.onModal("zorvel::Form5", [&](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        folder = picker.File1->path();
        selected = picker.File1->fileName();
        d.reject();
    });
    fx.rec.onModal("zorvel::Form2", [&](QDialog &d) {
        folder = static_cast<Form2 &>(d).Dir1->path();
        d.reject();
    });

    // A relative file path: its folder under the program folder, the file chosen.
    f.Command5_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.file("Resources")));
    QCOMPARE(selected, QStringLiteral("MyBook.jpg"));

    // A file that is not there: its folder all the same, nothing chosen.
    f.Back->setText(fx.tp.file("Books/Sub/Gone.jpg"));
    f.Command8_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.file("Books/Sub")));
    QCOMPARE(selected, QString());

    // A folder field opens at the folder itself.
    f.ExBox->setText(fx.tp.file("Books/Sub"));
    f.Command1_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.file("Books/Sub")));

    // "شاخه جاري" is the program folder.
    f.Command9_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.path()));
}

void TestMainWindow::pickersFallBackToTheLastFolderOfTheKind()
{
    Fixture fx([](TempProgram &tp) {
        tp.write("Pics/Cover.jpg", "j");
        tp.write("Songs/Song.mp3", "m");
        tp.mkdir("Projects/One");
    });
    Form1 &f = *fx.f;
    QString folder;
    QString chooseIn; // where the handler confirms, empty to cancel
    QString chooseFile;
    fx.rec.onModal("zorvel::Form5", [&](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        folder = picker.File1->path();
        if (chooseIn.isEmpty())
            return d.reject();
        picker.Dir1->setPath(chooseIn);
        picker.File1->selectFile(chooseFile);
        picker.btn[0]->click();
    });
    fx.rec.onModal("zorvel::Form2", [&](QDialog &d) {
        auto &picker = static_cast<Form2 &>(d);
        folder = picker.Dir1->path();
        if (chooseIn.isEmpty())
            return d.reject();
        picker.Dir1->setPath(chooseIn);
        picker.btn[0]->click();
    });
    for (QLineEdit *e : {f.index, f.Back, f.Mus1, f.Mus2})
        e->setText(fx.tp.file("Missing/x"));

    // Nothing used yet: the program folder.
    f.Command8_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.path()));

    // A picture found in Pics: the next picture request starts there...
    chooseIn = fx.tp.file("Pics");
    chooseFile = "Cover.jpg";
    f.Command5_Click();
    QCOMPARE(f.index->text(), QDir::toNativeSeparators(fx.tp.file("Pics/Cover.jpg")));
    chooseIn.clear();
    f.Command8_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.file("Pics")));
    // ...but music does not.
    f.Command6_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.path()));
    chooseIn = fx.tp.file("Songs");
    chooseFile = "Song.mp3";
    f.Command6_Click();
    chooseIn.clear();
    f.Command7_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.file("Songs")));

    // Folders: the export folder does not exist yet, the last folder chosen
    // for a folder field is taken instead.
    f.ExBox->setText(fx.tp.file("Projects/Export"));
    chooseIn = fx.tp.file("Projects/One");
    f.Command2_Click();
    chooseIn.clear();
    f.Command1_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.file("Projects/One")));

    // A last folder that has gone since is passed over.
    QVERIFY(QDir(fx.tp.file("Pics")).removeRecursively());
    f.Back->setText(QString());
    f.Command8_Click();
    QCOMPARE(folder, QDir::toNativeSeparators(fx.tp.path()));
}

void TestMainWindow::clickSelectsWholeTextInEveryWindow()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // At start the input folder is selected, so that typing replaces it,
    // whether or not the window has been activated yet.
    QCOMPARE(f.Text1->selectedText(), f.Text1->text());

    // A click gives the focus and selects, though the click places a caret.
    QTest::mouseClick(f.ExBox, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(f.ExBox->selectedText(), f.ExBox->text());
    // A second click in the same field places the caret as usual.
    QTest::mouseClick(f.ExBox, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(!f.ExBox->hasSelectedText());

    // The rule holds for any one-line text box of the program, whatever its window.
    QWidget other;
    auto *box = new QLineEdit(QStringLiteral(u"عنوان قبلي"), &other);
    auto *second = new QLineEdit(QStringLiteral("x"), &other);
    second->move(0, 40);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    second->setFocus();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_COMPARE(box->selectedText(), box->text());
    QTest::keyClicks(box, QStringLiteral("new"));
    QCOMPARE(box->text(), QStringLiteral("new"));
}

void TestMainWindow::pathFieldsShowTheirEnd()
{
    Fixture fx;
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QString longPath = fx.tp.path() + sep() + QStringLiteral(u"کتاب‌های من") + sep()
        + QStringLiteral("a rather long folder name") + sep() + QStringLiteral("MySound1.mp3");
    f.Mus1->setText(longPath);
    QCOMPARE(f.Mus1->toolTip(), longPath);
    QCOMPARE(f.Mus1->cursorPosition(), longPath.size());
    // Edited at its start and left: the end shows again.
    f.Mus1->setFocus();
    f.Mus1->setCursorPosition(0);
    f.Mus2->setFocus();
    QTRY_COMPARE(f.Mus1->cursorPosition(), longPath.size());
    // The file name is what stands in the field's visible part: the caret at
    // the end lies inside the field.
    QVERIFY(f.Mus1->rect().contains(f.Mus1->inputMethodQuery(Qt::ImCursorRectangle).toRect().center()));
    for (QLineEdit *e : {f.Text1, f.idir, f.index, f.Mus2, f.Back, f.ExBox})
        QCOMPARE(e->toolTip(), e->text());
    saveShot(&f, "form1-long-path");
}

void TestMainWindow::bookListIsWideEnoughForItsEntries()
{
    Fixture fx([](TempProgram &tp) {
        tp.write("Data/BookTXT/CDProperty.xml", utf16le(buildSettingsText({"10", "10", "10", true, true, false})));
    });
    Form1 &f = *fx.f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(f.dataName->count() > 20);
    const QFontMetrics metrics(f.dataName->view()->font());
    int widest = 0;
    for (int i = 0; i < f.dataName->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(f.dataName->itemText(i)));
    f.dataName->showPopup();
    QAbstractItemView *list = f.dataName->view();
    QTRY_VERIFY(list->isVisible());
    // Every entry fits in the open list beside its scroll bar.
    QVERIFY2(list->viewport()->width() >= widest,
             qPrintable(QStringLiteral("%1 < %2").arg(list->viewport()->width()).arg(widest)));
    saveShot(f.dataName->view()->window(), "form1-book-list");
    f.dataName->hidePopup();
    QCOMPARE(f.dataName->toolTip(), f.dataName->currentText());
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
