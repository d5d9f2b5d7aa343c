#pragma once

#include <QList>
#include <QString>

class QTextCursor;
class QTextDocument;

namespace zorvel {

// A whole document as RTF: declares code page 1256 and a font table whose
// fonts all carry \fcharset178 (Tahoma first, for text without a font), writes
// characters of code page 1256 as \'hh and the others as \uN, bold, italic,
// underline, font, size and colour, each paragraph's alignment and direction,
// its indents and tab stops when it has any, and every object read from RTF
// exactly as it came in. Every paragraph ends in \par, the last one too.
QString writeRtf(const QTextDocument &document);

// The cursor's selection as an RTF fragment: a \par for every paragraph break
// inside the selection and no other. Pasting it back with
// readRtf(..., rtf::Mode::Fragment) restores the selection.
QString writeSelectionRtf(const QTextCursor &cursor);

// One paragraph of paragraphsToRtf: an RTF group written as it is (an
// embedded object, or nothing), then plain text.
struct RtfParagraph {
    QString group;
    QString text;
};

// Plain paragraphs as the fragment a selection of plain right-to-left text
// gives: code page 1256, Tahoma, each paragraph right to left and aligned
// right, \par between them and none after the last.
QString paragraphsToRtf(const QList<RtfParagraph> &paragraphs);

} // namespace zorvel
