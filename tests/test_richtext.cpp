// RTF reader and writer: plain text, the document they build, round trips,
// files written by other programs, and malformed input.
#include "core/common/filesystem.h"
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_parser.h"
#include "core/richtext/rtf_reader.h"
#include "core/richtext/rtf_writer.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace zorvel;

namespace {

QString dataPath(const QString &name)
{
    return QStringLiteral(ZORVEL_SOURCE_DIR "/tests/data/rtf/") + name;
}

QString readRtfFile(const QString &path)
{
    return QString::fromLatin1(FileSystem().readBytes(path));
}

std::unique_ptr<QTextDocument> documentOf(const QString &rtf)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    readRtf(cursor, rtf, rtf::Mode::Document);
    return doc;
}

QString textOf(const QTextDocument &doc)
{
    return documentCharsToText(doc.toRawText());
}

QString rtfDoc(const QString &body)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 "
                          "Tahoma;}}")
        + body + QLatin1Char('}');
}

// One line per run of equal format: text and the formats that matter.
QStringList describeRuns(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat bf = block.blockFormat();
        out << QStringLiteral("block dir=%1 align=%2")
                   .arg(int(block.textDirection()))
                   .arg(int(bf.alignment()));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            const QStringList families = cf.fontFamilies().toStringList();
            QString line = QStringLiteral("  [%1] font=%2 pt=%3 b=%4 i=%5 u=%6 fg=%7")
                               .arg(f.text(), families.value(0))
                               .arg(cf.fontPointSize())
                               .arg(cf.fontWeight() >= QFont::DemiBold)
                               .arg(cf.fontItalic())
                               .arg(cf.fontUnderline())
                               .arg(cf.hasProperty(QTextFormat::ForegroundBrush)
                                       ? cf.foreground().color().name()
                                       : QString());
            if (cf.hasProperty(kRtfObjectProperty))
                line += QStringLiteral(" object=") + cf.property(kRtfObjectProperty).toString();
            out << line;
        }
    }
    return out;
}

// Merges neighbouring runs that differ in nothing described, so that two ways
// of splitting the same text compare equal.
QStringList normalisedRuns(const QTextDocument &doc)
{
    QStringList out;
    QString lastFormat;
    for (const QString &line : describeRuns(doc)) {
        if (!line.startsWith(QLatin1String("  ["))) {
            out << line;
            lastFormat.clear();
            continue;
        }
        const qsizetype close = line.indexOf(QLatin1String("] font="));
        const QString text = line.mid(3, close - 3);
        const QString format = line.mid(close);
        if (format == lastFormat && !format.contains(QLatin1String("object="))) {
            QString &prev = out.last();
            prev.insert(prev.indexOf(QLatin1String("] font=")), text);
        } else {
            out << line;
        }
        lastFormat = format;
    }
    return out;
}

QList<QTextCharFormat> objectFormats(const QTextDocument &doc)
{
    QList<QTextCharFormat> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            for (QChar c : f.text()) {
                if (c == QChar::ObjectReplacementCharacter)
                    out << f.charFormat();
            }
        }
    }
    return out;
}

QList<QTextBlockFormat> blockFormats(const QTextDocument &doc)
{
    QList<QTextBlockFormat> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        out << block.blockFormat();
    return out;
}

// A block's indents in pixels and its tab stops (L, R, C for Qt's left,
// right and centre tabs), or "none" when the block has no such property.
QString indentsOf(const QTextBlockFormat &format)
{
    if (!format.hasProperty(QTextFormat::BlockLeftMargin)
        && !format.hasProperty(QTextFormat::BlockRightMargin)
        && !format.hasProperty(QTextFormat::TextIndent)
        && !format.hasProperty(QTextFormat::TabPositions))
        return QStringLiteral("none");
    QStringList tabs;
    for (const QTextOption::Tab &tab : format.tabPositions()) {
        const char type = tab.type == QTextOption::LeftTab ? 'L'
            : tab.type == QTextOption::RightTab            ? 'R'
            : tab.type == QTextOption::CenterTab           ? 'C'
                                                           : '?';
        tabs << QStringLiteral("%1%2").arg(tab.position).arg(QLatin1Char(type));
    }
    return QStringLiteral("left=%1 right=%2 first=%3 tabs=%4")
        .arg(format.leftMargin())
        .arg(format.rightMargin())
        .arg(format.textIndent())
        .arg(tabs.join(QLatin1Char(' ')));
}

QString fromLibreOfficeText(const QString &name)
{
    QString text = QString::fromUtf8(FileSystem().readBytes(dataPath(name)));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

class TestRichText : public QObject {
    Q_OBJECT
private slots:
    void plainText_data();
    void plainText();
    void characterFormats();
    void rightToLeftRunsTakeAssociatedProperties();
    void paragraphAlignmentAndDirection_data();
    void paragraphAlignmentAndDirection();
    void paragraphIndents_data();
    void paragraphIndents();
    void indentsRoundTrip();
    void writerEscapesAndHeader();
    void documentRoundTrip();
    void selectionRtfPastedBack_data();
    void selectionRtfPastedBack();
    void objectRoundTripKeepsNumber();
    void pictureTemplate();
    void picturesShowDecodedImages();
    void realProgramFiles_data();
    void realProgramFiles();
    void badInput_data();
    void badInput();
    void savedFuzzInputs();
};

void TestRichText::plainText_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("hex escapes in the document code page")
        << rtfDoc("\\f0 \\'d1\\'c7\\'e5") << QStringLiteral(u"راه");
    QTest::newRow("font charset wins over ansicpg1252")
        << QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 "
                          "Tahoma;}{\\f1\\fnil\\fcharset0 Arial;}}\\f0 \\'81\\'e5\\f1 \\'e9}")
        << QStringLiteral(u"په\u00e9");
    QTest::newRow("font without charset uses ansicpg")
        << QStringLiteral("{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0 Tahoma;}}\\f0 \\'ca}")
        << QStringLiteral(u"ت");
    QTest::newRow("8-bit bytes in the text decode like escapes")
        << QStringLiteral("{\\rtf1\\ansi\\ansicpg1256 ") + QChar(0xd1) + QChar(0xc7)
            + QLatin1Char('}')
        << QStringLiteral(u"را");
    QTest::newRow("unicode with fallback skipped")
        << rtfDoc("\\u1662?\\u1670?") << QStringLiteral(u"پچ");
    QTest::newRow("negative unicode is counted from 65536")
        << rtfDoc("\\u-1279?\\u-257?") << QStringLiteral(u"\uFB01\uFEFF");
    QTest::newRow("uc2 skips two fallbacks, an escape counting as one")
        << rtfDoc("\\uc2\\u1662\\'3f\\'3fX") << QStringLiteral(u"پX");
    QTest::newRow("uc0 has no fallback") << rtfDoc("\\uc0\\u1662 X") << QStringLiteral(u"پX");
    QTest::newRow("fallback ends at a brace")
        << rtfDoc("{\\uc3\\u1662?}x") << QStringLiteral(u"پx");
    QTest::newRow("fallback counts a control word as one")
        << rtfDoc("\\u1662\\tab x") << QStringLiteral(u"پx");
    QTest::newRow("uc is kept per group") << rtfDoc("{\\uc2 a}\\u1662?b") << QStringLiteral(u"aپb");
    QTest::newRow("persian control words") << rtfDoc("a\\zwnj b\\rtlmark\\ltrmark\\~c")
                                           << QStringLiteral(u"a\u200Cb\u200F\u200E\u00A0c");
    QTest::newRow("escaped braces and backslash")
        << rtfDoc("\\{7\\}\\\\") << QStringLiteral("{7}\\");
    QTest::newRow("paragraphs joined by CR LF")
        << rtfDoc("one\\par two\\par three") << QStringLiteral("one\r\ntwo\r\nthree");
    QTest::newRow("the last paragraph mark adds no paragraph")
        << rtfDoc("one\\par two\\par\r\n") << QStringLiteral("one\r\ntwo");
    QTest::newRow("an empty last paragraph stays")
        << rtfDoc("one\\par\\par") << QStringLiteral("one\r\n");
    QTest::newRow("pard does not end a paragraph")
        << rtfDoc("a\\pard b\\pard\\qr c") << QStringLiteral("abc");
    QTest::newRow("backslash before a line end is a paragraph")
        << rtfDoc("a\\\r\nb\\\nc") << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("line ends in the file are not text")
        << rtfDoc("a\r\nb\nc") << QStringLiteral("abc");
    QTest::newRow("line break inside a paragraph") << rtfDoc("a\\line b") << QStringLiteral("a\nb");
    QTest::newRow("tab") << rtfDoc("a\\tab b") << QStringLiteral("a\tb");
    QTest::newRow("bytes after the closing brace are ignored")
        << rtfDoc("a") + QChar(0) + QStringLiteral("tail}more") << QStringLiteral("a");
    QTest::newRow("tables and unknown destinations skipped") << QStringLiteral(
        "{\\rtf1{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red1\\green2\\blue3;}"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\*\\generator G;}"
        "{\\*\\unknown{x}y}\\unknownword z}") << QStringLiteral("z");
    QTest::newRow("field result is read, instruction is not")
        << rtfDoc("{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}")
        << QStringLiteral("link");
    QTest::newRow("an object reads as one space")
        << rtfDoc("a{\\object\\objemb\\objw330\\I4\\objh270{\\*\\objdata 0102}"
                  "{\\result{\\pict\\wmetafile8 0100}}}\\{4\\}")
        << QStringLiteral("a {4}");
    QTest::newRow("a picture reads as one space")
        << rtfDoc("a{\\pict\\pngblip 89504e47}b") << QStringLiteral("a b");
    QTest::newRow("only the drawn picture of a shape")
        << rtfDoc("a{\\*\\shppict{\\pict\\pngblip 89}}{\\nonshppict{\\pict\\wmetafile8 01}}b")
        << QStringLiteral("a b");
    QTest::newRow("text that is not RTF passes with CR LF")
        << QStringLiteral("plain\ntext\r\nhere") << QStringLiteral("plain\r\ntext\r\nhere");
}

// Both consumers of the parser, the plain-text path and the document, give
// the same text.
void TestRichText::plainText()
{
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    QCOMPARE(rtfToText(rtf), text);
    auto doc = documentOf(rtf);
    QCOMPARE(textOf(*doc), text);
}

void TestRichText::characterFormats()
{
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "\\f0\\fs20 n{\\b b}{\\i i}{\\ul u\\ulnone x}{\\f1\\fs36 big}\\cf1 red\\cf0\\b1 "
        "B\\b0\\plain p}");
    auto doc = documentOf(rtf);
    const QStringList runs = describeRuns(*doc);
    const QStringList expected = {
        QStringLiteral("block dir=0 align=1"),
        QStringLiteral("  [n] font=Tahoma pt=10 b=0 i=0 u=0 fg="),
        QStringLiteral("  [b] font=Tahoma pt=10 b=1 i=0 u=0 fg="),
        QStringLiteral("  [i] font=Tahoma pt=10 b=0 i=1 u=0 fg="),
        QStringLiteral("  [u] font=Tahoma pt=10 b=0 i=0 u=1 fg="),
        QStringLiteral("  [x] font=Tahoma pt=10 b=0 i=0 u=0 fg="),
        QStringLiteral("  [big] font=Times New Roman pt=18 b=0 i=0 u=0 fg="),
        QStringLiteral("  [red] font=Tahoma pt=10 b=0 i=0 u=0 fg=#ff0000"),
        QStringLiteral("  [B] font=Tahoma pt=10 b=1 i=0 u=0 fg="),
        QStringLiteral("  [p] font=Tahoma pt=12 b=0 i=0 u=0 fg="),
    };
    QCOMPARE(runs, expected);
}

void TestRichText::rightToLeftRunsTakeAssociatedProperties()
{
    // As LibreOffice writes Persian runs: \rtlch with \af, \afs, \ab.
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Times;}{\\f1\\fnil\\fcharset178 "
        "Tahoma;}}\\f0\\fs20 {\\ltrch \\rtlch\\af1\\afs32\\ab \\'d1}{\\rtlch\\af1 \\ltrch\\fs24 L}"
        "{\\rtlch\\ai\\i0 \\'c7}{\\rtlch\\af1\\plain \\'c8}}");
    auto doc = documentOf(rtf);
    const QStringList expected = {
        QStringLiteral("block dir=1 align=1"),
        QStringLiteral(u"  [ر] font=Tahoma pt=16 b=1 i=0 u=0 fg="),
        QStringLiteral("  [L] font=Times pt=12 b=0 i=0 u=0 fg="),
        QStringLiteral(u"  [\u00c7] font=Times pt=10 b=0 i=1 u=0 fg="),
        QStringLiteral(u"  [\u00c8] font=Times pt=12 b=0 i=0 u=0 fg="),
    };
    QCOMPARE(describeRuns(*doc), expected);
    // and what is written keeps them
    auto again = documentOf(writeRtf(*doc));
    QCOMPARE(describeRuns(*again), expected);
}

void TestRichText::paragraphAlignmentAndDirection_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("direction");

    const int absLeft = int(Qt::AlignLeft | Qt::AlignAbsolute);
    const int absRight = int(Qt::AlignRight | Qt::AlignAbsolute);
    QTest::newRow("ql stays left in a right-to-left paragraph")
        << QStringLiteral("\\rtlpar\\ql") << absLeft << int(Qt::RightToLeft);
    QTest::newRow("qr stays right in a right-to-left paragraph")
        << QStringLiteral("\\rtlpar\\qr") << absRight << int(Qt::RightToLeft);
    QTest::newRow("qr in a left-to-right paragraph")
        << QStringLiteral("\\ltrpar\\qr") << absRight << int(Qt::LeftToRight);
    QTest::newRow("qc") << QStringLiteral("\\qc") << int(Qt::AlignHCenter)
                        << int(Qt::LayoutDirectionAuto);
    QTest::newRow("qj") << QStringLiteral("\\rtlpar\\qj") << int(Qt::AlignJustify)
                        << int(Qt::RightToLeft);
    QTest::newRow("pard resets the properties before it")
        << QStringLiteral("\\rtlpar\\qc\\pard\\qr") << absRight << int(Qt::LayoutDirectionAuto);
    QTest::newRow("the last of two directions holds")
        << QStringLiteral("\\ltrpar\\qc\\rtlpar") << int(Qt::AlignHCenter) << int(Qt::RightToLeft);
}

void TestRichText::paragraphAlignmentAndDirection()
{
    QFETCH(QString, words);
    QFETCH(int, alignment);
    QFETCH(int, direction);
    // The same properties for a middle paragraph and for the last one.
    auto doc = documentOf(rtfDoc(QStringLiteral("\\pard first\\par\\pard") + words
        + QStringLiteral(" second\\par\\pard") + words + QStringLiteral(" third\\par")));
    QCOMPARE(doc->blockCount(), 3);
    QCOMPARE(int(doc->firstBlock().blockFormat().layoutDirection()), int(Qt::LayoutDirectionAuto));
    for (int n : { 1, 2 }) {
        const QTextBlockFormat format = doc->findBlockByNumber(n).blockFormat();
        QCOMPARE(int(format.alignment()), alignment);
        QCOMPARE(int(format.layoutDirection()), direction);
    }
}

void TestRichText::paragraphIndents_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("indents");

    QTest::newRow("left-to-right hanging indent") << QStringLiteral(
        "\\ltrpar\\li360\\fi-360\\tx360") << QStringLiteral("left=24 right=0 first=-24 tabs=24L");
    QTest::newRow("right-to-left hanging indent on the leading side")
        << QStringLiteral("\\rtlpar\\qr\\lin360\\fi-360\\tx360")
        << QStringLiteral("left=0 right=24 first=-24 tabs=24R");
    QTest::newRow("li and ri are the physical sides in a right-to-left paragraph")
        << QStringLiteral("\\rtlpar\\li720\\ri360")
        << QStringLiteral("left=48 right=24 first=0 tabs=");
    QTest::newRow("lin and rin win over li and ri, right to left")
        << QStringLiteral("\\rtlpar\\li100\\ri200\\lin360\\rin720")
        << QStringLiteral("left=48 right=24 first=0 tabs=");
    QTest::newRow("lin and rin, left to right") << QStringLiteral("\\ltrpar\\ri200\\lin360\\rin720")
                                                << QStringLiteral("left=24 right=48 first=0 tabs=");
    QTest::newRow("lin without rin leaves the other side to ri") << QStringLiteral(
        "\\rtlpar\\li150\\lin360") << QStringLiteral("left=10 right=24 first=0 tabs=");
    QTest::newRow("positive first-line indent")
        << QStringLiteral("\\rtlpar\\fi300") << QStringLiteral("left=0 right=0 first=20 tabs=");
    QTest::newRow("a hanging indent is a tab stop without tx") << QStringLiteral(
        "\\rtlpar\\ri360\\fi-360") << QStringLiteral("left=0 right=24 first=-24 tabs=24R");
    QTest::newRow("a stop before the indent takes the place of the indent's") << QStringLiteral(
        "\\ltrpar\\li720\\fi-720\\tx360") << QStringLiteral("left=48 right=0 first=-48 tabs=24L");
    QTest::newRow("stops count from where the first line starts")
        << QStringLiteral("\\ltrpar\\li720\\fi-360\\tx1080")
        << QStringLiteral("left=48 right=0 first=-24 tabs=24L 48L");
    QTest::newRow("stops before the first line's start are dropped") << QStringLiteral(
        "\\rtlpar\\ri720\\tx360\\tx1080") << QStringLiteral("left=0 right=48 first=0 tabs=24R");
    QTest::newRow("trailing and centred stops, sorted")
        << QStringLiteral("\\ltrpar\\tqr\\tx2880\\tqc\\tx1440\\tx720")
        << QStringLiteral("left=0 right=0 first=0 tabs=48L 96C 192R");
    QTest::newRow("a trailing stop right to left") << QStringLiteral(
        "\\rtlpar\\tqr\\tx2880\\tx720") << QStringLiteral("left=0 right=0 first=0 tabs=48R 192L");
    QTest::newRow("the first line hangs no further than the indent") << QStringLiteral(
        "\\rtlpar\\ri360\\fi-720") << QStringLiteral("left=0 right=24 first=-24 tabs=24R");
    QTest::newRow("without a direction, as its text is shown") << QStringLiteral(
        "\\li720\\ri360\\fi-720\\lin240") << QStringLiteral("left=16 right=24 first=-16 tabs=16L");
    QTest::newRow("without a direction, right-to-left text") << QStringLiteral(
        "\\li720\\ri360\\fi-720 \\'d3") << QStringLiteral("left=48 right=24 first=-24 tabs=24R");
    QTest::newRow("indents into the margin are not kept")
        << QStringLiteral("\\ltrpar\\li-360\\ri-100") << QStringLiteral("none");
    QTest::newRow("pard resets indents and stops")
        << QStringLiteral("\\rtlpar\\ri360\\fi-360\\tx360\\pard\\rtlpar") << QStringLiteral("none");
    QTest::newRow("stated after the text, for the whole paragraph") << QStringLiteral(
        "\\rtlpar x\\ri360\\fi-360") << QStringLiteral("left=0 right=24 first=-24 tabs=24R");
}

void TestRichText::paragraphIndents()
{
    QFETCH(QString, words);
    QFETCH(QString, indents);
    // Stated for a middle and the last paragraph; \pard ends them for the next.
    auto doc = documentOf(rtfDoc(QStringLiteral("\\pard first\\par\\pard") + words
        + QStringLiteral(" second\\par\\pard fourth\\par\\pard") + words
        + QStringLiteral(" third\\par")));
    QCOMPARE(doc->blockCount(), 4);
    QCOMPARE(indentsOf(doc->findBlockByNumber(0).blockFormat()), QStringLiteral("none"));
    QCOMPARE(indentsOf(doc->findBlockByNumber(1).blockFormat()), indents);
    QCOMPARE(indentsOf(doc->findBlockByNumber(2).blockFormat()), QStringLiteral("none"));
    QCOMPARE(indentsOf(doc->findBlockByNumber(3).blockFormat()), indents);
}

void TestRichText::indentsRoundTrip()
{
    const QString body = QStringLiteral(
        "\\pard\\rtlpar\\qc \\'da\\'e4\\'e6\\'c7\\'e4\\par"
        "\\pard\\rtlpar\\qr\\ri360\\fi-360 \\bullet\\tab \\'c7\\'e1\\'dd\\par"
        "\\pard\\ltrpar\\ql\\li720\\ri240\\fi-360\\tx1440 \\bullet\\tab Latin\\par"
        "\\pard\\rtlpar\\qr\\lin200\\rin400\\fi300\\tqc\\tx2000\\tqr\\tx4000 \\'c8\\par"
        "\\pard\\rtlpar\\qj \\'cc\\par");
    auto first = documentOf(rtfDoc(body));
    const QString written = writeRtf(*first);
    // Paragraphs with indents name them; the others are written as before.
    QVERIFY(written.contains(QLatin1String("\\pard\\rtlpar\\qc \\f0")));
    QVERIFY(written.contains(QLatin1String("\\pard\\rtlpar\\qr\\fi-360\\ri360\\lin360\\tx360 ")));
    QVERIFY(written.contains(
        QLatin1String("\\pard\\ltrpar\\ql\\fi-360\\li720\\ri240\\lin720\\rin240\\tx720\\tx1440 ")));
    QVERIFY(written.contains(QLatin1String(
        "\\pard\\rtlpar\\qr\\fi300\\li400\\ri200\\lin200\\rin400\\tqc\\tx2000\\tqr\\tx4000 ")));
    QVERIFY(written.contains(QLatin1String("\\pard\\rtlpar\\qj ")));

    auto second = documentOf(written);
    QCOMPARE(textOf(*second), textOf(*first));
    const QList<QTextBlockFormat> before = blockFormats(*first);
    const QList<QTextBlockFormat> after = blockFormats(*second);
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        QCOMPARE(indentsOf(after[i]), indentsOf(before[i]));
    QCOMPARE(writeRtf(*second), written);

    // A selection across the indented paragraphs pastes back with them.
    QTextCursor cursor(first.get());
    cursor.setPosition(first->findBlockByNumber(1).position() + 1);
    cursor.setPosition(first->findBlockByNumber(3).position() + 1, QTextCursor::KeepAnchor);
    const QString piece = writeSelectionRtf(cursor);
    cursor.removeSelectedText();
    readRtf(cursor, piece, rtf::Mode::Fragment);
    const QList<QTextBlockFormat> pasted = blockFormats(*first);
    QCOMPARE(pasted.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        QCOMPARE(indentsOf(pasted[i]), indentsOf(before[i]));

    // pandoc's bullets: \li360\fi-360 without a direction, \tx360 after the bullet
    auto pandoc = documentOf(readRtfFile(dataPath("pandoc_persian.rtf")));
    QStringList bullets;
    for (QTextBlock block = pandoc->begin(); block.isValid(); block = block.next()) {
        if (block.text().startsWith(QChar(0x2022)))
            bullets << indentsOf(block.blockFormat());
    }
    // shown right to left, so \fi has no room to hang on the right
    QCOMPARE(bullets, QStringList(2, QStringLiteral("left=24 right=0 first=0 tabs=24R")));
    auto pandocAgain = documentOf(writeRtf(*pandoc));
    const QList<QTextBlockFormat> pandocBefore = blockFormats(*pandoc);
    const QList<QTextBlockFormat> pandocAfter = blockFormats(*pandocAgain);
    QCOMPARE(pandocAfter.size(), pandocBefore.size());
    for (qsizetype i = 0; i < pandocBefore.size(); ++i)
        QCOMPARE(indentsOf(pandocAfter[i]), indentsOf(pandocBefore[i]));
}

void TestRichText::writerEscapesAndHeader()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    // Persian in 1256, Farsi yeh and digits outside it, a character above
    // 32767, a surrogate pair, RTF's own characters.
    cursor.insertText(
        QStringLiteral(u"پاگ\u200C\u06CC\u06F1\uFB01{a}\\") + QString::fromUcs4(U"\U0001F600"));
    cursor.insertText(QStringLiteral("\ttab"));
    const QString rtf = writeRtf(doc);
    QVERIFY(rtf.startsWith(QLatin1String("{\\rtf1\\ansi\\ansicpg1256\\deff0")));
    QVERIFY(rtf.contains(QLatin1String("{\\f0\\fnil\\fcharset178 Tahoma;}")));
    QVERIFY(rtf.contains(QLatin1String("\\'81\\'c7\\'90\\'9d\\u1740?\\u1777?\\u-1279?\\{a\\}\\\\"
                                       "\\u-10179?\\u-8704?\\tab tab\\par")));
    for (QChar c : rtf)
        QVERIFY2(c.unicode() < 0x80, "RTF must be 7-bit");
    QCOMPARE(rtfToText(rtf), doc.toRawText());
}

void TestRichText::documentRoundTrip()
{
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}"
        "{\\f1\\fnil\\fcharset0 Courier New;}}{\\colortbl ;\\red0\\green128\\blue0;}"
        "\\pard\\rtlpar\\qc\\f0\\fs32\\b \\'da\\'e4\\'e6\\'c7\\'e4\\par"
        "\\pard\\rtlpar\\qr\\b0\\fs20 \\'e3\\'ca\\'e4 {\\i \\'df\\'cc} {\\ul\\cf1 \\u1740?}\\line "
        "\\'c8\\'da\\'cf\\par"
        "\\pard\\ltrpar\\ql\\f1 Latin \\{braces\\} and \\\\ backslash\\tab end\\par"
        "\\pard\\rtlpar\\qj\\f0 {\\object\\objemb\\objw330\\I2\\objh270{\\result{\\pict\\pngblip "
        "00}}}"
        "\\{2\\}\\par\\pard\\par}");
    auto first = documentOf(rtf);
    const QString written = writeRtf(*first);
    auto second = documentOf(written);
    QCOMPARE(textOf(*second), textOf(*first));
    QCOMPARE(normalisedRuns(*second), normalisedRuns(*first));
    // and once more: writing what was read back changes nothing
    QCOMPARE(writeRtf(*second), written);
    QCOMPARE(textOf(*first),
        QStringLiteral(
            u"عنوان\r\nمتن كج ی\nبعد\r\nLatin {braces} and \\ backslash\tend\r\n {2}\r\n"));
}

void TestRichText::selectionRtfPastedBack_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("inside one paragraph") << 2 << 5;
    QTest::newRow("across paragraphs") << 3 << 17;
    QTest::newRow("ending just after a paragraph break") << 0 << 8;
    QTest::newRow("starting at a paragraph break") << 7 << 14;
    QTest::newRow("the whole document") << 0 << -1;
    QTest::newRow("only a paragraph break") << 7 << 8;
}

void TestRichText::selectionRtfPastedBack()
{
    QFETCH(int, from);
    QFETCH(int, to);
    auto doc = documentOf(
        rtfDoc(QStringLiteral("\\pard\\rtlpar\\qr\\fs20 \\'c7\\'e1{\\b \\'dd}\\'c8 \\'cc\\'cf\\par"
                              "\\pard\\ltrpar\\ql {\\i Latin} two\\par"
                              "\\pard\\rtlpar\\qc\\fs28 \\'d3\\'e5 {\\ul\\'c8\\'cf}\\par")));
    const QStringList before = normalisedRuns(*doc);
    const QString textBefore = textOf(*doc);
    if (to < 0)
        to = doc->characterCount() - 1;

    QTextCursor cursor(doc.get());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    const QString piece = writeSelectionRtf(cursor);
    cursor.removeSelectedText();
    QVERIFY(textOf(*doc) != textBefore);
    readRtf(cursor, piece, rtf::Mode::Fragment);

    QCOMPARE(cursor.position(), to);
    QCOMPARE(textOf(*doc), textBefore);
    QCOMPARE(normalisedRuns(*doc), before);
}

void TestRichText::objectRoundTripKeepsNumber()
{
    const QString rtf = readRtfFile(dataPath("richedit_object.rtf"));
    auto doc = documentOf(rtf);
    QCOMPARE(textOf(*doc), QStringLiteral(u"متن با تصوير\r\n {7}\r\nLatin blue line"));

    const QList<QTextCharFormat> objects = objectFormats(*doc);
    QCOMPARE(objects.size(), 1);
    const QString raw = objects.first().property(kRtfObjectProperty).toString();
    QVERIFY(raw.startsWith(
        QLatin1String("{\\object\\objemb{\\*\\objclass Picture}\\objw330\\I7\\objh270{")));
    QVERIFY(raw.endsWith(QLatin1String("}}}")));
    QVERIFY(rtf.contains(raw)); // exactly as it stood in the file
    QCOMPARE(objects.first().toImageFormat().width(), 22.0);
    QCOMPARE(objects.first().toImageFormat().height(), 18.0);

    const QString written = writeRtf(*doc);
    QVERIFY(written.contains(raw));
    auto again = documentOf(written);
    const QList<QTextCharFormat> objectsAgain = objectFormats(*again);
    QCOMPARE(objectsAgain.size(), 1);
    QCOMPARE(objectsAgain.first().property(kRtfObjectProperty).toString(), raw);
    QCOMPARE(textOf(*again), textOf(*doc));
}

void TestRichText::pictureTemplate()
{
    const QString path = QStringLiteral(ZORVEL_RESOURCES_DIR "/img.bin");
    const QString templ = FileSystem().read1256(path);
    QCOMPARE(templ.count(QLatin1String("\\objw330\\objh270")), 1);
    QCOMPARE(rtfToText(templ), QStringLiteral(" "));
    for (QChar c : templ)
        QVERIFY(c.unicode() < 0x80);

    // Inserted as a fragment, numbered, at a caret inside a paragraph.
    QString numbered = templ;
    numbered.replace(QLatin1String("\\objw330\\objh270"), QLatin1String("\\objw330\\I12\\objh270"));
    auto doc = documentOf(rtfDoc("ab"));
    QTextCursor cursor(doc.get());
    cursor.setPosition(1);
    readRtf(cursor, numbered, rtf::Mode::Fragment);
    cursor.insertText(QStringLiteral("{12}"));
    QCOMPARE(textOf(*doc), QStringLiteral("a {12}b"));
    const QList<QTextCharFormat> objects = objectFormats(*doc);
    QCOMPARE(objects.size(), 1);
    QVERIFY(objects.first()
                .property(kRtfObjectProperty)
                .toString()
                .contains(QLatin1String("\\objw330\\I12\\objh270")));
    // its picture shows, not the placeholder
    const QImage image
        = doc->resource(QTextDocument::ImageResource, QUrl(objects.first().toImageFormat().name()))
              .value<QImage>();
    QCOMPARE(image.size(), QSize(22, 18));
    QVERIFY(writeRtf(*doc).contains(QLatin1String("\\objw330\\I12\\objh270")));
}

void TestRichText::picturesShowDecodedImages()
{
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "PNG"));
    auto doc = documentOf(
        rtfDoc(QStringLiteral("{\\pict\\pngblip\\picw5\\pich3\\picwgoal150\\pichgoal90 ")
            + QString::fromLatin1(png.toHex()) + QStringLiteral("}{\\pict\\wmetafile8 0100}")));
    const QList<QTextCharFormat> objects = objectFormats(*doc);
    QCOMPARE(objects.size(), 2);
    const QImage shown
        = doc->resource(QTextDocument::ImageResource, QUrl(objects[0].toImageFormat().name()))
              .value<QImage>();
    QCOMPARE(shown.size(), QSize(5, 3));
    QCOMPARE(shown.pixelColor(2, 1), QColor(Qt::red));
    QCOMPARE(objects[0].toImageFormat().width(), 10.0); // 150 twips
    // a metafile gets the placeholder, but keeps its group
    QVERIFY(!doc->resource(QTextDocument::ImageResource, QUrl(objects[1].toImageFormat().name()))
                 .value<QImage>()
                 .isNull());
    QCOMPARE(objects[1].property(kRtfObjectProperty).toString(),
        QStringLiteral("{\\pict\\wmetafile8 0100}"));
}

void TestRichText::realProgramFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("alignments"); // per paragraph
    QTest::addColumn<QList<int>>("directions");
    QTest::addColumn<int>("objects");

    const int c = int(Qt::AlignHCenter);
    const int r = int(Qt::AlignRight | Qt::AlignAbsolute);
    const int l = int(Qt::AlignLeft | Qt::AlignAbsolute);
    const int rtl = int(Qt::RightToLeft);
    const int ltr = int(Qt::LeftToRight);
    QTest::newRow("LibreOffice, by font charset and \\uN")
        << QStringLiteral("libreoffice_persian") << QList<int> { c, r, l, r, r, l, r }
        << QList<int> { rtl, rtl, ltr, rtl, rtl, ltr, rtl } << 1;
    const int a = int(Qt::LayoutDirectionAuto);
    QTest::newRow("pandoc, \\uN with fallback")
        << QStringLiteral("pandoc_persian") << QList<int> { l, l, l, l, l, l, l }
        << QList<int> { a, a, a, a, a, a, a } << 0;
}

void TestRichText::realProgramFiles()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, alignments);
    QFETCH(QList<int>, directions);
    QFETCH(int, objects);

    const QString rtf = readRtfFile(dataPath(name + ".rtf"));
    auto doc = documentOf(rtf);

    // The text LibreOffice reads, up to line ends; its text export leaves
    // pictures out, ours reads each as one space.
    QString ours = doc->toRawText();
    QCOMPARE(ours.count(QChar::ObjectReplacementCharacter), objects);
    ours.remove(QChar::ObjectReplacementCharacter);
    ours = documentCharsToText(ours).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QCOMPARE(ours, fromLibreOfficeText(name + ".txt"));
    QCOMPARE(rtfToText(rtf), textOf(*doc));

    const QList<QTextBlockFormat> blocks = blockFormats(*doc);
    QCOMPARE(blocks.size(), alignments.size());
    for (int i = 0; i < blocks.size(); ++i) {
        QCOMPARE(int(blocks[i].alignment()), alignments[i]);
        QCOMPARE(int(blocks[i].layoutDirection()), directions[i]);
    }

    if (name == QLatin1String("libreoffice_persian")) {
        // Persian runs carry their formatting in associated properties
        const QStringList runs = describeRuns(*doc);
        QVERIFY(runs.contains(
            QStringLiteral(u"  [راهنماي ساخت كتاب] font=Tahoma pt=16 b=1 i=0 u=0 fg=")));
        QVERIFY(runs.contains(QStringLiteral(u"  [فارسي] font=Tahoma pt=12 b=1 i=0 u=0 fg=")));
        QVERIFY(runs.contains(
            QStringLiteral(u"  [اندازه‌هاي] font=Tahoma pt=18 b=0 i=0 u=0 fg=")));
        QVERIFY(runs.contains(
            QStringLiteral(u"  [left to right] font=DejaVu Sans pt=11 b=1 i=0 u=0 fg=")));
    }

    // read, write, read: text, formats and objects stay
    auto again = documentOf(writeRtf(*doc));
    QCOMPARE(textOf(*again), textOf(*doc));
    QCOMPARE(normalisedRuns(*again), normalisedRuns(*doc));
}

void TestRichText::badInput_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("kept"); // the text that must come through

    const QString head = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256 ");
    QTest::newRow("truncated in a paragraph")
        << head + "abc\\par de" << QStringLiteral("abc\r\nde");
    QTest::newRow("truncated in a control word") << head + "abc\\pa" << QStringLiteral("abc");
    QTest::newRow("truncated in an escape") << head + "abc\\'" << QStringLiteral("abc");
    QTest::newRow("truncated after a backslash") << head + "abc\\" << QStringLiteral("abc");
    QTest::newRow("truncated in an object")
        << head + "abc{\\object\\objw330\\objh270{\\result{\\pict 89" << QStringLiteral("abc");
    QTest::newRow("truncated in the font table")
        << QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Tah") << QString();
    QTest::newRow("closing brace too many") << head + "a}b}c}" << QStringLiteral("a");
    QTest::newRow("opening braces never closed") << head + "a{{{b{c" << QStringLiteral("abc");
    QTest::newRow("hundred thousand levels deep")
        << head + QString(100000, QLatin1Char('{')) + "x" + QString(100000, QLatin1Char('}')) + "y}"
        << QStringLiteral("xy");
    QTest::newRow("hundred thousand levels never closed")
        << head + QString(100000, QLatin1Char('{')) + "x" << QStringLiteral("x");
    QTest::newRow("absurd uc") << head + "{\\uc2147483647\\u1662 abc}d" << QStringLiteral(u"پd");
    QTest::newRow("negative uc") << head + "\\uc-5\\u1662 abc" << QStringLiteral(u"پabc");
    QTest::newRow("absurd bin") << head + "a\\bin2147483647 bcd" << QStringLiteral("a");
    QTest::newRow("negative bin") << head + "a\\bin-4 bcd" << QStringLiteral("abcd");
    QTest::newRow("bin with braces in a skipped group")
        << head + "a{\\*\\x\\bin3 }}{}b" << QStringLiteral("ab");
    QTest::newRow("invalid hex") << head + "a\\'zzb\\'4c" << QStringLiteral("azzbL");
    QTest::newRow("control word of thousands of letters")
        << head + "a\\" + QString(5000, QLatin1Char('x')) + " b" << QStringLiteral("ab");
    QTest::newRow("parameter of fifty digits") << head + "a\\fs" + QString(50, QLatin1Char('9'))
            + " b\\u" + QString(50, QLatin1Char('9'))
            + " cd" << QStringLiteral("abd");
    QTest::newRow("unicode out of range") << head + "\\u-99999?\\u99999?x" << QStringLiteral("x");
    QTest::newRow("unicode zero and paragraph separators")
        << head + "a\\u0?b\\u8233?c\\u13?d\\u65532?e" << QStringLiteral("ab cd e");
    QTest::newRow("font and colour numbers out of range")
        << head + "{\\fonttbl{\\f2147483647\\fcharset-3 X;}}\\f2147483647 \\cf99999 \\'c8}"
        << QStringLiteral(u"ب");
    QTest::newRow("huge picture and object sizes") << head
            + "{\\pict\\pngblip\\picwgoal2147483647\\pichgoal-5\\picscalex2147483647 00}"
              "{\\object\\objw2147483647\\objh2147483647\\objscalex999999{\\result x}}z"
                                                   << QStringLiteral("  z");
    QTest::newRow("picture and shape sizes at the ends of int") << head
            + "{\\pict\\pngblip\\picw2147483647\\pich-2147483647 00}"
              "{\\shp{\\*\\shpinst\\shpleft-2147483647\\shpright2147483647\\shptop2147483647"
              "\\shpbottom-2147483647}}z" << QStringLiteral("  z");
    QTest::newRow("nested objects and pictures")
        << head + "{\\object{\\object{\\pict{\\pict 00}}}{\\result{\\pict{\\object x}}}}z"
        << QStringLiteral(" z");
    QTest::newRow("NUL characters")
        << head + QChar(0) + "a" + QChar(0) + "b}" << QStringLiteral("ab");
    QTest::newRow("only a brace is not RTF") << QStringLiteral("{") << QStringLiteral("{");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("garbage before the group")
        << QStringLiteral("  \r\n{\\rtf1 ok}") << QStringLiteral("ok");
}

void TestRichText::badInput()
{
    QFETCH(QString, rtf);
    QFETCH(QString, kept);
    const QString plain = rtfToText(rtf);
    auto doc = documentOf(rtf);
    const QString fromDocument = textOf(*doc);
    QCOMPARE(plain, kept);
    QCOMPARE(fromDocument, kept);
    // what was kept can be written and read again
    auto again = documentOf(writeRtf(*doc));
    QCOMPARE(textOf(*again), fromDocument);
    // and pasted as a fragment
    QTextDocument target;
    QTextCursor cursor(&target);
    readRtf(cursor, rtf, rtf::Mode::Fragment);
    QVERIFY(target.characterCount() >= 1);
}

// Inputs the fuzzer once crashed or hung on, kept as they were found.
void TestRichText::savedFuzzInputs()
{
    const QDir dir(dataPath(QStringLiteral("fuzz")));
    const QStringList names = dir.entryList(QDir::Files);
    for (const QString &name : names) {
        const QString rtf = readRtfFile(dir.filePath(name));
        const QString plain = rtfToText(rtf);
        auto doc = documentOf(rtf);
        if (rtf::looksLikeRtf(rtf))
            QCOMPARE(textOf(*doc), plain);
        // control characters other than tab are not text and are not written
        QString expected = textOf(*doc);
        expected.removeIf(
            [](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n'; });
        auto again = documentOf(writeRtf(*doc));
        QCOMPARE(textOf(*again), expected);
    }
}

QTEST_MAIN(TestRichText)
#include "test_richtext.moc"
