#include "core/richtext/textunits.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextDocument>

#include <algorithm>

namespace zorvel {

int textLengthOf(const QTextDocument &doc)
{
    return doc.characterCount() - 1 + doc.blockCount() - 1;
}

int textPositionOf(const QTextDocument &doc, int documentPosition)
{
    const QTextBlock block = doc.findBlock(documentPosition);
    return documentPosition + std::max(block.blockNumber(), 0);
}

int documentPositionOf(const QTextDocument &doc, int textPosition)
{
    if (textPosition <= 0)
        return 0;
    if (textPosition >= textLengthOf(doc))
        return doc.characterCount() - 1;
    // The last block whose start, in text units (position + block number), is
    // at or before the text position.
    int low = 0;
    int high = doc.blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (doc.findBlockByNumber(mid).position() + mid <= textPosition)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc.findBlockByNumber(low);
    const int offset = textPosition - (block.position() + low);
    // A position between CR and LF, or past them, stays at the end of the line.
    return block.position() + std::min(offset, block.length() - 1);
}

int alignmentAt(const QTextDocument &doc, int documentPosition)
{
    const QTextBlock block = doc.findBlock(documentPosition);
    const QTextBlockFormat format = block.blockFormat();
    const Qt::Alignment align = format.hasProperty(QTextFormat::BlockAlignment)
        ? format.alignment()
        : doc.defaultTextOption().alignment();
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

} // namespace zorvel
