#include "core/book/titlesuggest.h"

#include <QHash>
#include <QRegularExpression>

namespace zorvel {

namespace {

constexpr int kShortLine = 80; // letters: a title is shorter

struct Line {
    int start = 0; // first character that is not a space
    int end = 0; // after the last one
    int letters = 0;
    bool blank = true;
    bool endsSentence = false;
    bool hasLetter = false;
    QString clean; // marks removed, ی and ک folded, trimmed
};

bool isFormatMark(char16_t c)
{
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || c == 0xFEFF;
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == 0x00A0;
}

bool endsASentence(QStringView clean)
{
    qsizetype i = clean.size();
    // Closing quotes and brackets after the mark do not hide it.
    while (i > 0 && QStringView(u"\"'»”’)]").contains(clean[i - 1]))
        --i;
    return i > 0 && QStringView(u".!?؟;؛:,،…").contains(clean[i - 1]);
}

QString numberPattern()
{
    return QStringLiteral("[0-9\u06F0-\u06F9\u0660-\u0669]{1,4}");
}

QString ordinalPattern()
{
    const QString units = QStringLiteral(u"یکم|اول|نخست|دوم|سوم|چهارم|پنجم|ششم|هفتم|هشتم|نهم");
    const QString teens = QStringLiteral(
        u"دهم|یازدهم|دوازدهم|سیزدهم|چهاردهم|پانزدهم|شانزدهم|هفدهم|هجدهم|هیجدهم|نوزدهم");
    const QString tens = QStringLiteral(u"بیست|سی|چهل|پنجاه|شصت|هفتاد|هشتاد|نود");
    return QStringLiteral("(?:(?:%1)\\s*و\\s*(?:%2)|(?:%1)م|سی\u200Cام|سیام|%3|%2)")
        .arg(tens, units, teens);
}

// "فصل اول", "درس 3", "Chapter 2": a chapter word, then a number or an ordinal.
const QRegularExpression &keywordTitle()
{
    static const QRegularExpression re(
        QStringLiteral(u"^(?:فصل|بخش|درس|گفتار|باب|مقاله|قسمت|جلسه|مبحث|کتاب|دفتر|جلد|بند|ماده|"
                       u"تبصره|پرسش|سوال|سؤال|تمرین|مرحله|داستان|حکایت|chapter|part|lesson|"
                       u"section|unit)\\s+(?:%1|%2)(?![\\p{L}\\p{N}])")
            .arg(numberPattern(), ordinalPattern()),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

// "۱.", "1-", "2)", "الف)", "ب -": a number or a letter and a mark.
const QRegularExpression &markedTitle()
{
    static const QRegularExpression re(
        QStringLiteral(u"^(?:%1\\s*[.\\-–—)]|(?:الف|[آ-ی])\\s*[)\\-–—])").arg(numberPattern()),
        QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

// A first word and a number or ordinal: a pattern when the text repeats it.
const QRegularExpression &wordAndNumber()
{
    static const QRegularExpression re(QStringLiteral(u"^(\\p{L}+)\\s+(?:%1|%2)(?![\\p{L}\\p{N}])")
                                           .arg(numberPattern(), ordinalPattern()),
        QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

QList<Line> splitLines(const QString &text)
{
    QList<Line> lines;
    const char16_t *d = reinterpret_cast<const char16_t *>(text.utf16());
    const int n = int(text.size());
    int from = 0;
    while (from <= n) {
        int to = from;
        while (to < n && d[to] != u'\r' && d[to] != u'\n')
            ++to;
        Line line;
        int s = from, e = to;
        while (s < e && (isSpace(d[s]) || isFormatMark(d[s])))
            ++s;
        while (e > s && (isSpace(d[e - 1]) || isFormatMark(d[e - 1])))
            --e;
        line.start = s;
        line.end = e;
        line.blank = s == e;
        if (!line.blank) {
            // Only short lines are looked at closely; a long one is a paragraph.
            int letters = 0;
            for (int i = s; i < e && letters < kShortLine; ++i)
                if (!isFormatMark(d[i]) && !isSpace(d[i]))
                    ++letters;
            line.letters = letters;
            if (letters < kShortLine) {
                QString clean;
                clean.reserve(e - s);
                for (int i = s; i < e; ++i) {
                    char16_t c = d[i];
                    if (isFormatMark(c))
                        continue;
                    if (c == u'ي' || c == u'ى')
                        c = u'ی';
                    else if (c == u'ك')
                        c = u'ک';
                    if (QChar(c).isLetter())
                        line.hasLetter = true;
                    clean.append(QChar(c));
                }
                line.clean = clean;
            }
            line.endsSentence
                = endsASentence(line.letters < kShortLine ? QStringView(line.clean)
                                                          : QStringView(text).sliced(s, e - s));
        }
        lines.append(line);
        if (to >= n)
            break;
        from = to + (d[to] == u'\r' && to + 1 < n && d[to + 1] == u'\n' ? 2 : 1);
    }
    return lines;
}

enum class Kind { None, Keyword, Marked, Pattern, Plain };

} // namespace

QList<TitleCandidate> suggestTitles(const QString &text)
{
    const QList<Line> lines = splitLines(text);
    const int count = int(lines.size());
    const auto shortOpen = [](const Line &l) {
        return !l.blank && l.letters < kShortLine && !l.endsSentence && l.hasLetter;
    };
    const auto isBody
        = [](const Line &l) { return !l.blank && (l.letters >= kShortLine || l.endsSentence); };

    // The words that stand before a number on more than one short line.
    QHash<QString, int> leadingWords;
    for (const Line &l : lines) {
        if (!shortOpen(l))
            continue;
        const QRegularExpressionMatch m = wordAndNumber().match(l.clean);
        if (m.hasMatch())
            ++leadingWords[m.captured(1)];
    }

    QList<Kind> kinds(count, Kind::None);
    for (int i = 0; i < count; ++i) {
        const Line &l = lines[i];
        if (!shortOpen(l))
            continue;
        if (keywordTitle().match(l.clean).hasMatch()) {
            kinds[i] = Kind::Keyword;
        } else if (markedTitle().match(l.clean).hasMatch()) {
            kinds[i] = Kind::Marked;
        } else {
            const QRegularExpressionMatch m = wordAndNumber().match(l.clean);
            kinds[i] = m.hasMatch() && leadingWords.value(m.captured(1)) > 1 ? Kind::Pattern
                                                                             : Kind::Plain;
        }
    }

    const auto neighbour = [&](int i, int step) {
        for (int k = i + step; k >= 0 && k < count; k += step)
            if (!lines[k].blank)
                return k;
        return -1;
    };
    QList<TitleCandidate> out;
    QList<bool> taken(count, false);
    for (int i = 0; i < count; ++i) {
        const Kind kind = kinds[i];
        if (kind == Kind::None)
            continue;
        const int prev = neighbour(i, -1);
        const int next = neighbour(i, +1);
        bool title = false;
        switch (kind) {
        case Kind::Keyword:
        case Kind::Pattern:
            title = true;
            break;
        case Kind::Marked:
            // A run of short numbered lines is a list, not a row of titles.
            title = next >= 0 && (isBody(lines[next]) || kinds[next] == Kind::Keyword)
                && !(prev >= 0 && kinds[prev] == Kind::Marked && !taken[prev]);
            break;
        case Kind::Plain:
            title = lines[i].letters >= 2 && next >= 0 && isBody(lines[next])
                && (prev < 0 || isBody(lines[prev]) || taken[prev]);
            break;
        case Kind::None:
            break;
        }
        if (title) {
            taken[i] = true;
            out.append(TitleCandidate { lines[i].start, lines[i].end - lines[i].start });
        }
    }
    return out;
}

QList<SuggestedPiece> suggestedPieces(const QString &text, const QList<TitleCandidate> &titles)
{
    QList<SuggestedPiece> pieces;
    const int n = int(text.size());
    const auto isBreakOrSpace = [&](int i) {
        const QChar c = text[i];
        return c == u'\r' || c == u'\n' || c == u' ' || c == u'\t';
    };
    for (qsizetype k = 0; k < titles.size(); ++k) {
        SuggestedPiece p;
        p.title = titles[k];
        p.spanEnd = k + 1 < titles.size() ? titles[k + 1].start : n;
        // The next title's line starts after its own leading spaces: the span
        // runs to the start of that line.
        while (k + 1 < titles.size() && p.spanEnd > 0 && text[p.spanEnd - 1] != u'\n'
            && text[p.spanEnd - 1] != u'\r' && p.spanEnd > titles[k].start + titles[k].length)
            --p.spanEnd;
        int s = p.title.start + p.title.length;
        int e = p.spanEnd;
        while (s < e && isBreakOrSpace(s))
            ++s;
        while (e > s && isBreakOrSpace(e - 1))
            --e;
        p.bodyStart = s;
        p.bodyLength = e - s;
        pieces.append(p);
    }
    return pieces;
}

} // namespace zorvel
