#pragma once

#include <Qt>

class QTextBlockFormat;
class QTextDocument;

namespace zorvel {

// Positions and lengths in the units of the text boxes' Text(): a paragraph
// break is the two characters CR LF, an embedded object one character. Both
// text boxes (rich and plain) count this way.
int textLengthOf(const QTextDocument &doc);
int textPositionOf(const QTextDocument &doc, int documentPosition);
int documentPositionOf(const QTextDocument &doc, int textPosition);

// The alignment of the paragraph at a document position as shown on screen:
// 0 left, 1 right, 2 centre (a paragraph without its own takes the
// document's, and "leading" follows its direction).
int alignmentAt(const QTextDocument &doc, int documentPosition);

// The block format that sets one of those alignments.
QTextBlockFormat alignmentFormat(int alignment);

} // namespace zorvel
