#include "ui/richtext/plaintextbox.h"

#include "core/richtext/rtf.h"
#include "core/richtext/rtf_writer.h"
#include "core/richtext/textunits.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace zorvel {

PlainTextBox::PlainTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // The same font as the rich box, so that the selection's RTF is the same.
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10);
    document()->setDefaultFont(font);
}

QString PlainTextBox::Text() const
{
    return documentCharsToText(document()->toRawText());
}

void PlainTextBox::setText(const QString &text)
{
    setPlainText(textToDocumentChars(text));
}

int PlainTextBox::textLength() const
{
    return textLengthOf(*document());
}

int PlainTextBox::SelStart() const
{
    return textPositionOf(*document(), textCursor().selectionStart());
}

void PlainTextBox::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPositionOf(*document(), position));
    setTextCursor(cursor);
}

int PlainTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return textPositionOf(*document(), cursor.selectionEnd())
        - textPositionOf(*document(), cursor.selectionStart());
}

void PlainTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = textPositionOf(*document(), cursor.selectionStart());
    cursor.setPosition(documentPositionOf(*document(), start));
    cursor.setPosition(documentPositionOf(*document(), start + std::max(length, 0)),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString PlainTextBox::SelText() const
{
    return documentCharsToText(textCursor().selectedText());
}

void PlainTextBox::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(textToDocumentChars(text));
    setTextCursor(cursor);
}

QString PlainTextBox::SelRTF() const
{
    return writeSelectionRtf(textCursor());
}

int PlainTextBox::SelAlignment() const
{
    return alignmentAt(*document(), textCursor().selectionStart());
}

void PlainTextBox::setAlignmentAll(int alignment)
{
    QTextDocument *doc = document();
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(alignmentFormat(alignment).alignment());
    doc->setDefaultTextOption(option);
}

} // namespace zorvel
