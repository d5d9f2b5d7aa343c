#include "richtext/richtextbox.h"

#include "common/filesystem.h"
#include "richtext/rtf.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zorvel {

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false); // pasted HTML would bring formats RTF cannot carry
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10);
    document()->setDefaultFont(font);
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
    const QTextDocument *doc = document();
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

int RichTextBox::toTextPosition(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    return documentPosition + std::max(block.blockNumber(), 0);
}

int RichTextBox::toDocumentPosition(int textPosition) const
{
    const QTextDocument *doc = document();
    if (textPosition <= 0)
        return 0;
    if (textPosition >= textLength())
        return doc->characterCount() - 1;
    // The last block whose start, in text units (position + block number), is
    // at or before the text position.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= textPosition)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const int offset = textPosition - (block.position() + low);
    // A position between CR and LF, or past them, stays at the end of the line.
    return block.position() + std::min(offset, block.length() - 1);
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
    const QTextBlock block = document()->findBlock(textCursor().selectionStart());
    const QTextBlockFormat format = block.blockFormat();
    const Qt::Alignment align = format.hasProperty(QTextFormat::BlockAlignment)
        ? format.alignment()
        : document()->defaultTextOption().alignment();
    if (align & Qt::AlignHCenter)
        return 2;
    const bool rtl = block.textDirection() == Qt::RightToLeft;
    const bool absolute = align & Qt::AlignAbsolute;
    bool right;
    if (align & Qt::AlignRight)
        right = absolute || !rtl;
    else if (align & Qt::AlignJustify)
        right = rtl;
    else
        right = !absolute && rtl; // leading edge: the right of a right-to-left paragraph
    return right ? 1 : 0;
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

namespace {

QTextBlockFormat alignmentFormat(int alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case 1:
        format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case 2:
        format.setAlignment(Qt::AlignHCenter);
        break;
    default:
        format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    }
    return format;
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
