#pragma once

#include <QList>
#include <QString>

namespace zorvel {

// A line of a text that looks like a title, by its place in the text (CR LF
// counts two, as the workbench's text box counts): the line without its line
// break and without the spaces around it.
struct TitleCandidate {
    int start = 0;
    int length = 0;

    bool operator==(const TitleCandidate &) const = default;
};

// The lines of `text` that look like titles, top to bottom: lines that begin
// with a chapter word and a number or ordinal ("فصل اول", "درس 3"), with a
// number or letter and a mark ("۱.", "1-", "الف)"), or with a word the text
// repeats before a number, and short lines without final sentence
// punctuation that stand between longer paragraphs. A title is short (under
// 80 letters) and never ends a sentence. Lines are split at CR LF, CR or LF.
QList<TitleCandidate> suggestTitles(const QString &text);

// One suggestion taken: the title line and the text up to the next title
// (its related text, without the line breaks around it), and the whole span
// from the title to the next title, which leaves the text with it.
struct SuggestedPiece {
    TitleCandidate title;
    int bodyStart = 0;
    int bodyLength = 0; // 0: nothing stands between this title and the next
    int spanEnd = 0; // where the next title (or the text) begins
};

// The pieces the candidates cut `text` into, in order: candidate i's related
// text runs to candidate i + 1, the last one's to the end of the text.
QList<SuggestedPiece> suggestedPieces(const QString &text, const QList<TitleCandidate> &titles);

} // namespace zorvel
