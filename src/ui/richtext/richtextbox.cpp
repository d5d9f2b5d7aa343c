#include "ui/richtext/richtextbox.h"

#include "core/common/filesystem.h"
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_reader.h"
#include "core/richtext/rtf_writer.h"
#include "core/richtext/textunits.h"

#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace zorvel {

namespace {

// The most any paragraph's first line hangs out, in whole pixels (one more
// is allowed for rounding); formats are shared, so this looks at few of them.
int widestHang(const QTextDocument &doc)
{
    qreal widest = 0;
    for (const QTextFormat &format : doc.allFormats()) {
        if (format.isBlockFormat())
            widest = std::max(widest, -format.toBlockFormat().textIndent());
    }
    return int(std::ceil(widest));
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false); // pasted HTML would bring formats RTF cannot carry
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10);
    document()->setDefaultFont(font);

    // Qt measures the first line of a right-to-left paragraph with a hanging
    // indent as if it began at the paragraph's right indent, so the document
    // claims up to the hang more width than its lines take and the box would
    // scroll that far sideways, cutting off the left of every line. Lines
    // wrap at the box's width, so no more than that claim is dropped.
    QScrollBar *bar = horizontalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (maximum > 0 && lineWrapMode() != NoWrap && maximum <= widestHang(*document()) + 1)
            bar->setRange(0, 0);
    });
}

QString RichTextBox::Text() const
{
    return documentCharsToText(document()->toRawText());
}

void RichTextBox::setText(const QString &text)
{
    setPlainText(textToDocumentChars(text));
}

QString RichTextBox::TextRTF() const
{
    return writeRtf(*document());
}

void RichTextBox::setTextRTF(const QString &rtfText)
{
    if (!rtf::looksLikeRtf(rtfText)) {
        setText(rtfText);
        return;
    }
    // Built aside and handed over whole: the box then lays it out lazily and
    // its caret starts at the top, instead of laying out everything it
    // inserts while the caret is pushed along to the end.
    const QPointer<QTextDocument> old = document();
    auto *fresh = new QTextDocument(this);
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDefaultTextOption(old->defaultTextOption());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setIndentWidth(old->indentWidth());
    fresh->setUndoRedoEnabled(false);
    {
        QTextCursor cursor(fresh);
        cursor.beginEditBlock();
        readRtf(cursor, rtfText, rtf::Mode::Document);
        cursor.endEditBlock();
    }
    fresh->setUndoRedoEnabled(old->isUndoRedoEnabled());
    fresh->setModified(false);
    setDocument(fresh); // deletes the old document when the control owned it
    if (old && old->parent() == this)
        delete old;
}

int RichTextBox::textLength() const
{
    return textLengthOf(*document());
}

int RichTextBox::toTextPosition(int documentPosition) const
{
    return textPositionOf(*document(), documentPosition);
}

int RichTextBox::toDocumentPosition(int textPosition) const
{
    return documentPositionOf(*document(), textPosition);
}

int RichTextBox::SelStart() const
{
    return toTextPosition(textCursor().selectionStart());
}

void RichTextBox::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(position));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return toTextPosition(cursor.selectionEnd()) - toTextPosition(cursor.selectionStart());
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = toTextPosition(cursor.selectionStart());
    cursor.setPosition(toDocumentPosition(start));
    cursor.setPosition(toDocumentPosition(start + std::max(length, 0)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    return documentCharsToText(textCursor().selectedText());
}

void RichTextBox::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(textToDocumentChars(text));
    setTextCursor(cursor);
}

QString RichTextBox::SelRTF() const
{
    return writeSelectionRtf(textCursor());
}

void RichTextBox::setSelRTF(const QString &rtfText)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    readRtf(cursor, rtfText, rtf::Mode::Fragment);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

int RichTextBox::SelAlignment() const
{
    return alignmentAt(*document(), textCursor().selectionStart());
}

namespace {

// Characters from which aligning a whole plain text sets the document's alignment.
constexpr int kWholeDocumentShortcut = 200000;

bool anyExplicitAlignment(const QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.blockFormat().hasProperty(QTextFormat::BlockAlignment))
            return true;
    return false;
}

} // namespace

void RichTextBox::setSelAlignment(int alignment)
{
    QTextCursor cursor = textCursor();
    cursor.mergeBlockFormat(alignmentFormat(alignment));
}

void RichTextBox::setAlignmentAll(int alignment)
{
    const QTextBlockFormat format = alignmentFormat(alignment);
    QTextDocument *doc = document();
    if (doc->characterCount() > kWholeDocumentShortcut && !anyExplicitAlignment(*doc)) {
        // Aligning every paragraph of a large plain text lays each one out
        // again at once; the document's own alignment is laid out lazily.
        // SelAlignment and the writer read it for paragraphs without one.
        QTextOption option = doc->defaultTextOption();
        option.setAlignment(format.alignment());
        doc->setDefaultTextOption(option);
        return;
    }
    // Through a cursor of its own: the box's selection is left alone.
    QTextCursor all(doc);
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(format);
}

bool RichTextBox::LoadFile(const QString &path)
{
    QByteArray bytes;
    try {
        bytes = FileSystem().readBytes(path);
    } catch (const FsError &) {
        return false;
    }
    setTextRTF(QString::fromLatin1(bytes));
    return true;
}

} // namespace zorvel
