// RichTextBox: text units, selection, the RTF properties the windows use, and
// the help window that shows one.
#include "core/common/filesystem.h"
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_reader.h"
#include "support/tempprogram.h"
#include "ui/richtext/plaintextbox.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/form4.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

using namespace zorvel;
using zorvel::testing::TempProgram;

namespace {

QString rtfDoc(const QString &body)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 "
                          "Tahoma;}}")
        + body + QStringLiteral("\\par}");
}

QString pictureTemplate()
{
    return FileSystem().read1256(QStringLiteral(ZORVEL_RESOURCES_DIR "/img.bin"));
}

// The paragraph editor's inline picture steps, done on Text positions only.
void insertPicture(RichTextBox &box, const QString &templ, int number)
{
    if (box.SelStart() == 0)
        box.setSelStart(1);
    const int c = box.SelStart();
    const int crlf = box.Text().left(c).lastIndexOf(QLatin1String("\r\n"));
    box.setSelStart(crlf >= 0 ? crlf + 1 : 0);
    const int p = box.SelStart();
    if (p != 0)
        box.setSelText(QStringLiteral("\r\n"));
    QString numbered = templ;
    numbered.replace(
        QLatin1String("\\objw330\\objh270"), QStringLiteral("\\objw330\\I%1\\objh270").arg(number));
    box.setSelRTF(numbered);
    box.setSelText(QStringLiteral("{%1}").arg(number));
    if (p == 0)
        box.setSelText(QStringLiteral("\r\n"));
}

// What the paragraph editor does to a body when it opens.
void turnRightToLeft(RichTextBox &box)
{
    box.setSelStart(0);
    box.setSelLength(box.Text().size());
    QString rtf = box.SelRTF();
    rtf.replace(QLatin1String("\\ltrpar"), QLatin1String("\\rtlpar"));
    box.setSelRTF(rtf);
    box.setSelStart(0);
    box.setSelLength(box.Text().size());
    box.setSelAlignment(1);
    box.setSelLength(0);
}

const QString kHelpTitle = QStringLiteral(u"راهنماي استفاده از نرمافزار");

} // namespace

class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void alignAllOnSmallAndLargeTexts_data();
    void alignAllOnSmallAndLargeTexts();
    void textJoinsParagraphsAndObjectsReadAsSpace();
    void setTextSplitsParagraphs_data();
    void setTextSplitsParagraphs();
    void positionsAroundParagraphBreaks_data();
    void positionsAroundParagraphBreaks();
    void positionsAgreeWithTextEverywhere();
    void setSelStartCollapsesSelection();
    void selTextReplacesSelection();
    void selectionRtfPastedBack();
    void selectedObjectKeepsItsGroup();
    void ltrparRewriteTurnsParagraphsRightToLeft();
    void selAlignment_data();
    void selAlignment();
    void rightAligningEverything();
    void inlinePictureOnALineOfItsOwn_data();
    void inlinePictureOnALineOfItsOwn();
    void plainBoxAgreesWithRichBox_data();
    void plainBoxAgreesWithRichBox();
    void loadFile();
    void helpWindowShowsHelp();
    void helpWindowBulletsHangOnTheRight();
    void helpWindowKeepsDesignLineWithoutFile();
    void helpWindowReadsFileEachTime();
    void helpWindowSurvivesDamagedFile();
};

void TestRichTextBox::alignAllOnSmallAndLargeTexts_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("alignedBefore");
    QTest::newRow("small text") << 3 << false;
    // A large plain text takes the document's alignment instead of each paragraph's.
    QTest::newRow("large plain text") << 20000 << false;
    QTest::newRow("large text with aligned paragraphs") << 20000 << true;
}

void TestRichTextBox::alignAllOnSmallAndLargeTexts()
{
    QFETCH(int, lines);
    QFETCH(bool, alignedBefore);
    RichTextBox box;
    const QString line = QStringLiteral(u"سطري از متن كتاب");
    box.setText(QStringList(lines, line).join(QStringLiteral("\r\n")));
    if (alignedBefore) {
        box.setSelStart(0);
        box.setSelLength(5);
        box.setSelAlignment(2);
    }
    box.setSelStart(7);
    box.setAlignmentAll(1);
    QCOMPARE(box.SelStart(), 7);
    QCOMPARE(box.SelLength(), 0);
    for (int at : {0, box.textLength() / 2, box.textLength()}) {
        box.setSelStart(at);
        QCOMPARE(box.SelAlignment(), 1);
    }
    // The alignment travels with the text's RTF, whichever way it was set.
    box.setSelStart(box.textLength() - line.size());
    box.setSelLength(line.size());
    const QString rtf = box.SelRTF();
    QVERIFY2(rtf.contains(QStringLiteral("\\qr")), qPrintable(rtf.left(300)));
    RichTextBox other;
    other.setTextRTF(rtf);
    QCOMPARE(other.SelAlignment(), 1);
}

void TestRichTextBox::textJoinsParagraphsAndObjectsReadAsSpace()
{
    RichTextBox box;
    box.setTextRTF(rtfDoc(QStringLiteral("\\'c7\\'e1{\\object\\objemb\\objw330\\I3\\objh270{"
                                         "\\result{\\pict\\pngblip 00}}}\\{3\\}\\par "
                                         "b\\line c\\par\\par d")));
    const QString expected = QStringLiteral(u"ال {3}\r\nb\nc\r\n\r\nd");
    QCOMPARE(box.Text(), expected);
    QCOMPARE(box.textLength(), expected.size());
    QCOMPARE(rtfToText(box.TextRTF()), expected);
    QVERIFY(!box.Text().contains(QChar::ObjectReplacementCharacter));
}

void TestRichTextBox::setTextSplitsParagraphs_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("paragraphs");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb") << 2;
    QTest::newRow("LF alone") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb") << 2;
    QTest::newRow("CR alone") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb") << 2;
    QTest::newRow("empty paragraphs and a last break")
        << QStringLiteral("a\r\n\r\nb\r\n") << QStringLiteral("a\r\n\r\nb\r\n") << 4;
    QTest::newRow("empty") << QString() << QString() << 1;
}

void TestRichTextBox::setTextSplitsParagraphs()
{
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(int, paragraphs);
    RichTextBox box;
    box.setText(input);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.document()->blockCount(), paragraphs);
    QCOMPARE(box.textLength(), text.size());
}

void TestRichTextBox::positionsAroundParagraphBreaks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("readStart");
    QTest::addColumn<int>("readLength");
    QTest::addColumn<QString>("selected");
    // text: "ab" CR LF "cd" CR LF CR LF "ef"
    QTest::newRow("in the first line") << 0 << 2 << 0 << 2 << QStringLiteral("ab");
    QTest::newRow("the break alone") << 2 << 2 << 2 << 2 << QStringLiteral("\r\n");
    QTest::newRow("across a break") << 1 << 4 << 1 << 4 << QStringLiteral("b\r\nc");
    QTest::newRow("start between CR and LF stays at the line end") << 3 << 0 << 2 << 0 << QString();
    QTest::newRow("end between CR and LF leaves the break out")
        << 0 << 3 << 0 << 2 << QStringLiteral("ab");
    QTest::newRow("second line") << 4 << 2 << 4 << 2 << QStringLiteral("cd");
    QTest::newRow("an empty paragraph") << 6 << 4 << 6 << 4 << QStringLiteral("\r\n\r\n");
    QTest::newRow("last line") << 10 << 2 << 10 << 2 << QStringLiteral("ef");
    QTest::newRow("past the end is cut") << 11 << 50 << 11 << 1 << QStringLiteral("f");
    QTest::newRow("negative start is the start") << -5 << 1 << 0 << 1 << QStringLiteral("a");
    QTest::newRow("everything") << 0 << 12 << 0 << 12 << QStringLiteral("ab\r\ncd\r\n\r\nef");
}

void TestRichTextBox::positionsAroundParagraphBreaks()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, readStart);
    QFETCH(int, readLength);
    QFETCH(QString, selected);
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd\r\n\r\nef"));
    box.setSelStart(start);
    box.setSelLength(length);
    QCOMPARE(box.SelStart(), readStart);
    QCOMPARE(box.SelLength(), readLength);
    QCOMPARE(box.SelText(), selected);
    QCOMPARE(box.Text().mid(readStart, readLength), selected);
}

// Every text position of a text with many paragraphs, empty ones and line
// breaks among them, maps to the character Text() has there.
void TestRichTextBox::positionsAgreeWithTextEverywhere()
{
    QString text;
    for (int i = 0; i < 400; ++i) {
        const int kind = (i * 7) % 5;
        if (kind == 0)
            text += QString(); // an empty paragraph
        else if (kind == 1)
            text += QStringLiteral(u"پاراگراف %1").arg(i);
        else if (kind == 2)
            text += QStringLiteral("x");
        else
            text += QString(i % 13 + 1, QLatin1Char('a' + i % 26));
        text += QStringLiteral("\r\n");
    }
    text += QStringLiteral("end");
    RichTextBox box;
    box.setText(text);
    QCOMPARE(box.Text(), text);
    int checked = 0;
    for (int position = 0; position <= text.size(); ++position) {
        const bool insideBreak = position > 0 && text[position - 1] == QLatin1Char('\r')
            && position < text.size() && text[position] == QLatin1Char('\n');
        box.setSelStart(position);
        QCOMPARE(box.SelStart(), insideBreak ? position - 1 : position);
        if (insideBreak || position == text.size())
            continue;
        box.setSelLength(1);
        const int length = text[position] == QLatin1Char('\r') ? 2 : 1;
        box.setSelLength(length);
        QCOMPARE(box.SelText(), text.mid(position, length));
        ++checked;
    }
    QCOMPARE(checked, text.size() - text.count(QLatin1String("\r\n")));
}

void TestRichTextBox::setSelStartCollapsesSelection()
{
    RichTextBox box;
    box.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    box.setSelStart(2);
    box.setSelLength(6);
    QCOMPARE(box.SelText(), QStringLiteral("e\r\ntwo"));
    box.setSelStart(5);
    QCOMPARE(box.SelLength(), 0);
    QCOMPARE(box.SelStart(), 5);
    box.setSelLength(3);
    QCOMPARE(box.SelText(), QStringLiteral("two"));
}

void TestRichTextBox::selTextReplacesSelection()
{
    RichTextBox box;
    box.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    box.setSelStart(2);
    box.setSelLength(6); // "e" CR LF "two"
    box.setSelText(QStringLiteral("X\r\nY"));
    QCOMPARE(box.Text(), QStringLiteral("onX\r\nY\r\nthree"));
    QCOMPARE(box.SelStart(), 6); // caret after the inserted text
    QCOMPARE(box.SelLength(), 0);
    box.setSelStart(0);
    box.setSelLength(box.Text().size());
    box.setSelText(QString());
    QCOMPARE(box.Text(), QString());
}

void TestRichTextBox::selectionRtfPastedBack()
{
    RichTextBox box;
    box.setTextRTF(rtfDoc(QStringLiteral("\\pard\\rtlpar\\qr \\'c7\\'e1{\\b "
                                         "\\'dd\\'c8}\\par\\pard\\ltrpar\\ql {\\i Latin} {\\ul two}"
                                         "\\par\\pard\\rtlpar\\qc\\fs32 \\'d3\\'e5")));
    const QString text = box.Text();
    const QString rtf = box.TextRTF();
    box.setSelStart(1);
    box.setSelLength(10);
    const QString piece = box.SelRTF();
    QCOMPARE(rtfToText(piece), box.SelText());
    box.setSelText(QString());
    QCOMPARE(box.Text(), text.left(1) + text.mid(11));
    box.setSelRTF(piece);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.SelStart(), 11);
    QCOMPARE(box.TextRTF(), rtf);
}

void TestRichTextBox::selectedObjectKeepsItsGroup()
{
    const QString object = QStringLiteral("{\\object\\objemb\\objw330\\I7\\objh270{\\*\\objdata "
                                          "0105}{\\result{\\pict\\pngblip 00}}}");
    RichTextBox box;
    box.setTextRTF(rtfDoc(QStringLiteral("a") + object + QStringLiteral("\\{7\\}")));
    box.setSelStart(1);
    box.setSelLength(1);
    QCOMPARE(box.SelText(), QStringLiteral(" "));
    const QString piece = box.SelRTF();
    QVERIFY(piece.contains(object));
    box.setSelStart(5);
    box.setSelRTF(piece);
    QCOMPARE(box.Text(), QStringLiteral("a {7} "));
    QCOMPARE(box.TextRTF().count(object), 2);
}

void TestRichTextBox::ltrparRewriteTurnsParagraphsRightToLeft()
{
    RichTextBox box;
    box.setTextRTF(
        rtfDoc(QStringLiteral("\\pard\\ltrpar\\ql English first\\par"
                              "\\pard\\ltrpar\\qr \\'e3\\'ca\\'e4 \\'dd\\'c7\\'d1\\'d3\\'ed\\par"
                              "\\pard\\rtlpar\\qc \\'c8\\'cf\\par"
                              "\\pard\\ltrpar English last")));
    const QString text = box.Text();
    turnRightToLeft(box);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.document()->blockCount(), 4);
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        QCOMPARE(block.blockFormat().layoutDirection(), Qt::RightToLeft);
        QCOMPARE(int(block.blockFormat().alignment()), int(Qt::AlignRight | Qt::AlignAbsolute));
    }
    QVERIFY(!box.TextRTF().contains(QLatin1String("\\ltrpar")));
    QCOMPARE(box.SelStart(), 0);
    QCOMPARE(box.SelLength(), 0);

    // A body marked from plain left-to-right text in the workbench.
    RichTextBox workbench;
    workbench.setText(QStringLiteral("Left to right\r\nstill Latin"));
    workbench.setSelStart(0);
    workbench.setSelLength(workbench.Text().size());
    RichTextBox editor;
    editor.setTextRTF(workbench.SelRTF());
    QCOMPARE(editor.document()->firstBlock().textDirection(), Qt::LeftToRight);
    turnRightToLeft(editor);
    QCOMPARE(editor.Text(), QStringLiteral("Left to right\r\nstill Latin"));
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
        QCOMPARE(block.textDirection(), Qt::RightToLeft);
}

void TestRichTextBox::selAlignment_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("alignment");
    QTest::newRow("right in a right-to-left paragraph") << QStringLiteral("\\rtlpar\\qr") << 1;
    QTest::newRow("left in a right-to-left paragraph") << QStringLiteral("\\rtlpar\\ql") << 0;
    QTest::newRow("right in a left-to-right paragraph") << QStringLiteral("\\ltrpar\\qr") << 1;
    QTest::newRow("centre") << QStringLiteral("\\rtlpar\\qc") << 2;
    QTest::newRow("unstated in a right-to-left paragraph") << QStringLiteral("\\rtlpar") << 1;
    QTest::newRow("unstated in a left-to-right paragraph") << QStringLiteral("\\ltrpar") << 0;
}

void TestRichTextBox::selAlignment()
{
    QFETCH(QString, words);
    QFETCH(int, alignment);
    RichTextBox box;
    box.setTextRTF(rtfDoc(QStringLiteral("\\pard") + words + QStringLiteral(" text")));
    box.setSelStart(2);
    QCOMPARE(box.SelAlignment(), alignment);
    // and what is set reads back, in either direction
    for (int value : { 0, 1, 2 }) {
        box.setSelAlignment(value);
        QCOMPARE(box.SelAlignment(), value);
        RichTextBox copy;
        copy.setTextRTF(box.TextRTF());
        QCOMPARE(copy.SelAlignment(), value);
    }
}

void TestRichTextBox::rightAligningEverything()
{
    RichTextBox box;
    box.setText(QStringLiteral(u"سطر اول\r\nLatin line\r\n\r\nسطر آخر"));
    box.setSelStart(0);
    box.setSelLength(box.Text().size());
    box.setSelAlignment(1);
    box.setSelLength(0);
    QCOMPARE(box.SelStart(), 0);
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QCOMPARE(int(block.blockFormat().alignment()), int(Qt::AlignRight | Qt::AlignAbsolute));
    QCOMPARE(box.TextRTF().count(QLatin1String("\\qr")), 4);
}

void TestRichTextBox::inlinePictureOnALineOfItsOwn_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("text");
    // text: "first line" CR LF "second line"
    QTest::newRow("caret at the very start")
        << 0 << QStringLiteral(" {0}\r\nfirst line\r\nsecond line");
    QTest::newRow("caret in the first line")
        << 5 << QStringLiteral(" {0}\r\nfirst line\r\nsecond line");
    QTest::newRow("caret in the second line")
        << 15 << QStringLiteral("first line\r\n {0}\r\nsecond line");
    QTest::newRow("caret at the end") << 23 << QStringLiteral("first line\r\n {0}\r\nsecond line");
}

void TestRichTextBox::inlinePictureOnALineOfItsOwn()
{
    QFETCH(int, caret);
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(QStringLiteral("first line\r\nsecond line"));
    box.setSelStart(caret);
    insertPicture(box, pictureTemplate(), 0);
    QCOMPARE(box.Text(), text);
    // a second picture in the same body gets its own line and number
    box.setSelStart(box.Text().size());
    insertPicture(box, pictureTemplate(), 1);
    QVERIFY(box.Text().endsWith(QLatin1String("\r\n {1}\r\nsecond line")));
    const QString rtf = box.TextRTF();
    QVERIFY(rtf.contains(QLatin1String("\\objw330\\I0\\objh270")));
    QVERIFY(rtf.contains(QLatin1String("\\objw330\\I1\\objh270")));
    QCOMPARE(rtfToText(rtf), box.Text());
}

void TestRichTextBox::plainBoxAgreesWithRichBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("persian lines") << QStringLiteral(u"عنوان يك\r\nمتن مرتبط: «نمونه» 12\r\nپايان");
    QTest::newRow("empty paragraphs and a mixed line")
        << QStringLiteral(u"\r\n\r\nLatin و فارسي\r\n\r\nx\r\n");
    QTest::newRow("one line") << QStringLiteral(u"تنها");
    QString large;
    for (int i = 0; i < 20000; ++i)
        large += QStringLiteral(u"سطر %1 از متن كتاب\r\n").arg(i);
    QTest::newRow("a large text") << large;
}

// The workbench's plain box gives what the rich box gave: the same text, the
// same units, selections and their RTF (the bodies of marked paragraphs).
void TestRichTextBox::plainBoxAgreesWithRichBox()
{
    QFETCH(QString, text);
    RichTextBox rich;
    PlainTextBox plain;
    rich.setText(text);
    plain.setText(text);
    rich.setAlignmentAll(1);
    plain.setAlignmentAll(1);
    QCOMPARE(plain.Text(), rich.Text());
    QCOMPARE(plain.textLength(), rich.textLength());
    const int n = rich.textLength();
    const QList<std::pair<int, int>> selections = {
        {0, 0}, {0, 1}, {0, n}, {1, 4}, {n / 2, 7}, {n / 3, 0}, {n - 3, 10}, {n, 0}, {-2, 3}};
    for (const auto &[start, length] : selections) {
        rich.setSelStart(start);
        rich.setSelLength(length);
        plain.setSelStart(start);
        plain.setSelLength(length);
        const QByteArray where = QByteArray::number(start) + '+' + QByteArray::number(length);
        QVERIFY2(plain.SelStart() == rich.SelStart(), where);
        QVERIFY2(plain.SelLength() == rich.SelLength(), where);
        QVERIFY2(plain.SelText() == rich.SelText(), where);
        QVERIFY2(plain.SelAlignment() == 1 && rich.SelAlignment() == 1, where);
        if (length > 0)
            QVERIFY2(plain.SelRTF() == rich.SelRTF(), where);
    }
    // Cutting a piece out, as a mark with deletion does.
    rich.setSelStart(1);
    rich.setSelLength(5);
    rich.setSelText(QString());
    plain.setSelStart(1);
    plain.setSelLength(5);
    plain.setSelText(QString());
    QCOMPARE(plain.Text(), rich.Text());
    QCOMPARE(plain.SelStart(), rich.SelStart());
}

void TestRichTextBox::loadFile()
{
    TempProgram program(false);
    RichTextBox box;
    box.setText(QStringLiteral("kept"));
    QVERIFY(!box.LoadFile(program.file(QStringLiteral("missing.rtf"))));
    QCOMPARE(box.Text(), QStringLiteral("kept"));
    const QString path = program.write(QStringLiteral("a.rtf"),
        QByteArray("{\\rtf1\\ansi\\ansicpg1256 \\'d3\\'e1\\'c7\\'e3\\par}"));
    QVERIFY(box.LoadFile(path));
    QCOMPARE(box.Text(), QStringLiteral(u"سلام"));
}

void TestRichTextBox::helpWindowShowsHelp()
{
    TempProgram program;
    Form4 window(program.path());
    QCOMPARE(window.windowTitle(), QStringLiteral("Help"));
    QVERIFY(window.windowFlags() & Qt::Tool);
    QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.size(), QSize(691, 508));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.Box1->geometry(), QRect(8, 8, 675, 492));

    const QString help
        = rtfToText(QString::fromLatin1(program.read(QStringLiteral("Resources/Help.rtf"))));
    QCOMPARE(window.Box1->Text(), help);
    QVERIFY(help.startsWith(kHelpTitle + QStringLiteral("\r\n")));
    QVERIFY(help.count(QLatin1String("\r\n")) > 20);
    QCOMPARE(window.Box1->document()->firstBlock().textDirection(), Qt::RightToLeft);
    QCOMPARE(window.Box1->SelStart(), 0);

    const QString shots = qEnvironmentVariable("ZORVEL_SCREENSHOTS");
    if (!shots.isEmpty()) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.grab().save(shots + QStringLiteral("/form4.png")));
    }
}

void TestRichTextBox::helpWindowBulletsHangOnTheRight()
{
    TempProgram program;
    Form4 window(program.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTextDocument *doc = window.Box1->document();
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    // the frame's right edge, in the block's own coordinates
    const qreal frameRight = doc->textWidth() - doc->documentMargin();

    int bullets = 0;
    int wrapped = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (!block.text().startsWith(QStringLiteral(u"•	"))) {
            QCOMPARE(format.rightMargin(), 0.0);
            QCOMPARE(format.textIndent(), 0.0);
            continue;
        }
        ++bullets;
        QCOMPARE(block.textDirection(), Qt::RightToLeft);
        QCOMPARE(format.rightMargin(), 24.0);
        QCOMPARE(format.textIndent(), -24.0);

        const QRectF rect = layout->blockBoundingRect(block);
        const QTextLayout *lines = block.layout();
        QVERIFY(lines->lineCount() >= 1);
        const QTextLine first = lines->lineAt(0);
        // The bullet starts the line at the right edge, inside the frame; the
        // text after the tab starts one indent further left.
        const qreal bulletX = first.cursorToX(0);
        const qreal textX = first.cursorToX(2);
        QVERIFY2(qAbs(rect.x() + bulletX - frameRight) < 1, qPrintable(block.text()));
        QVERIFY(qAbs(bulletX - textX - 24) < 1);
        QVERIFY(first.cursorToX(1) < bulletX); // the bullet's own width, right to left
        if (lines->lineCount() < 2)
            continue;
        ++wrapped;
        // wrapped lines start under the text, not under the bullet
        for (int i = 1; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            QVERIFY(qAbs(line.cursorToX(line.textStart()) - textX) < 1);
            QVERIFY(rect.x() + line.x() >= 0);
        }
    }
    QCOMPARE(bullets, 14);
    QVERIFY(wrapped > 0);

    // Nothing scrolls sideways: the lines' ends are where the box shows them.
    QCOMPARE(window.Box1->horizontalScrollBar()->maximum(), 0);
    const QRect viewport = window.Box1->viewport()->rect();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        const QRect start = window.Box1->cursorRect(cursor);
        cursor.movePosition(QTextCursor::EndOfLine);
        const QRect end = window.Box1->cursorRect(cursor);
        if (start.bottom() > viewport.bottom())
            break;
        QVERIFY2(start.right() <= viewport.right() && end.left() >= 0, qPrintable(block.text()));
    }

    const QString shots = qEnvironmentVariable("ZORVEL_SCREENSHOTS");
    if (!shots.isEmpty())
        QVERIFY(window.grab().save(shots + QStringLiteral("/form4_bullets.png")));
}

void TestRichTextBox::helpWindowKeepsDesignLineWithoutFile()
{
    TempProgram program(false);
    Form4 window(program.path());
    QCOMPARE(window.Box1->Text(), kHelpTitle);
    QCOMPARE(
        window.Box1->document()->firstBlock().blockFormat().layoutDirection(), Qt::RightToLeft);
    QCOMPARE(window.Box1->SelAlignment(), 1);
    QTextCursor cursor(window.Box1->document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontFamilies().toStringList(),
        QStringList { QStringLiteral("Tahoma") });
    QCOMPARE(
        Form4::helpPath(program.path()), program.path() + QStringLiteral("/Resources/Help.rtf"));
    QCOMPARE(Form4::helpPath(program.path() + QLatin1Char('/')), Form4::helpPath(program.path()));

    const QString shots = qEnvironmentVariable("ZORVEL_SCREENSHOTS");
    if (!shots.isEmpty()) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.grab().save(shots + QStringLiteral("/form4_design.png")));
    }
}

void TestRichTextBox::helpWindowReadsFileEachTime()
{
    TempProgram program(false);
    program.write(QStringLiteral("Resources/Help.rtf"), QByteArray("{\\rtf1 first}"));
    {
        Form4 window(program.path());
        QCOMPARE(window.Box1->Text(), QStringLiteral("first"));
    }
    program.write(QStringLiteral("Resources/Help.rtf"), QByteArray("{\\rtf1 second}"));
    Form4 window(program.path());
    QCOMPARE(window.Box1->Text(), QStringLiteral("second"));
}

void TestRichTextBox::helpWindowSurvivesDamagedFile()
{
    TempProgram program(false);
    QByteArray damaged("{\\rtf1\\ansi\\ansicpg1256 \\'d3\\'e1\\'c7\\'e3{\\object\\objw");
    damaged += QByteArray(20000, '{');
    damaged += QByteArray("\\bin99999999 ");
    program.write(QStringLiteral("Resources/Help.rtf"), damaged);
    Form4 window(program.path());
    QCOMPARE(window.Box1->Text(), QStringLiteral(u"سلام"));
}

QTEST_MAIN(TestRichTextBox)
#include "test_richtext_box.moc"
