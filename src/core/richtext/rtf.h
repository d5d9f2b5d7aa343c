#pragma once

#include <QString>
#include <QStringView>

namespace zorvel {

// The plain text of an RTF document as RichTextBox::Text gives it: paragraphs
// joined by CR LF, a line break inside a paragraph as LF, every embedded object
// or picture as one space. Text that is not RTF comes back as it is, its line
// ends turned into CR LF. Reads the RTF straight to text; no document is built.
QString rtfToText(QStringView rtf);

// The characters of a QTextDocument (raw text, a selection) in the units of
// RichTextBox::Text: U+2029 becomes CR LF, U+2028 LF, U+FFFC a space.
QString documentCharsToText(QStringView chars);

// Plain text with CR LF, lone CR or LF as line ends, turned into the form
// QTextDocument splits into paragraphs ('\n').
QString textToDocumentChars(QStringView text);

} // namespace zorvel
