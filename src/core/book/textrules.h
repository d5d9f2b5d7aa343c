#pragma once

#include <QString>

namespace zorvel {

// Cleans a raw input text: entities and markup left by the text's source,
// spaces around line breaks, and a zero-width non-joiner after digits and
// punctuation so they keep their place in right-to-left text.
QString Rep(const QString &mata);

// Shortens a text for a list row: cut at the first space at or after
// position tam (1-based), or at tam when there is none, and mark with "...".
QString BeBor(const QString &mata, qint16 tam);

// The text without its leading line breaks (CR LF).
QString DelCrLf(const QString &ipol);

// Leading and trailing spaces (U+0020 only) removed; line breaks stay.
QString trimSpaces(const QString &text);

// A title as it is marked: spaces trimmed, the leading line breaks removed
// (DelCrLf), and the line breaks and spaces at its end removed, so that a
// title selected as a whole line keeps no line break.
QString trimTitle(const QString &selection);

// The ASCII digits of a text as Persian digits (U+06F0..U+06F9): "12" -> "۱۲".
QString persianDigits(const QString &text);

} // namespace zorvel
