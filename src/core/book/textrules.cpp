#include "core/book/textrules.h"

namespace zorvel {

namespace {

// Every occurrence of `before` replaced, left to right, as QString::replace
// does, but built in one pass: QString::replace moves the rest of the text
// again for every thousand matches, which on a 10 MB text with a match on
// every line takes a tenth of a second.
QString replaced(const QString &text, QStringView before, QStringView after)
{
    qsizetype at = text.indexOf(before);
    if (at < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (at >= 0) {
        out.append(QStringView(text).sliced(from, at - from));
        out.append(after);
        from = at + before.size();
        at = text.indexOf(before, from);
    }
    out.append(QStringView(text).sliced(from));
    return out;
}

} // namespace

QString Rep(const QString &mata)
{
    const QStringView crlf = u"\r\n";
    QString t = replaced(mata, u"&nbsp;", u" ");
    t = replaced(t, u"<ircMAIN>", u" ");
    t = replaced(t, u"</ircMAIN>", crlf);
    t = replaced(t, u" \r\n", crlf);
    t = replaced(t, u"\r\n ", crlf);
    t = replaced(t, u"\r\n ", crlf);

    // The remaining steps each touch one character and none creates a match
    // for another, so one pass does them all.
    constexpr char16_t zwnj = 0x200C;
    const auto takesZwnj = [](char16_t u) {
        return (u >= u'0' && u <= u'9') || u == u'!' || u == u'.' || u == u':' || u == u')'
            || u == u'(' || u == 0x00AB || u == 0x00BB;
    };
    // Counted first: the text is written once, into a string of its final size.
    qsizetype extra = 0;
    for (const QChar ch : std::as_const(t))
        extra += takesZwnj(ch.unicode());
    QString out(t.size() + extra, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (const QChar ch : std::as_const(t)) {
        const char16_t u = ch.unicode();
        if (takesZwnj(u)) {
            *d++ = u;
            *d++ = zwnj;
        } else {
            *d++ = u == 0x0649 ? char16_t(0x064A) : u;
        }
    }
    return out;
}

QString BeBor(const QString &mata, qint16 tam)
{
    const qsizetype from = tam < 1 ? 0 : tam - 1;
    const qsizetype space = mata.indexOf(u' ', from);
    if (mata.size() <= tam)
        return mata;
    if (space < 0)
        return mata.left(tam) + QStringLiteral("...");
    return mata.left(space + 1) + QStringLiteral("...");
}

QString DelCrLf(const QString &ipol)
{
    qsizetype start = 0;
    while (ipol.mid(start, 2) == QLatin1String("\r\n"))
        start += 2;
    return ipol.mid(start);
}

QString trimSpaces(const QString &text)
{
    qsizetype a = 0, b = text.size();
    while (a < b && text.at(a) == u' ')
        ++a;
    while (b > a && text.at(b - 1) == u' ')
        --b;
    return text.mid(a, b - a);
}

QString trimTitle(const QString &selection)
{
    QString title = DelCrLf(trimSpaces(selection));
    qsizetype end = title.size();
    while (end > 0 && (title.at(end - 1) == u'\r' || title.at(end - 1) == u'\n' || title.at(end - 1) == u' '))
        --end;
    title.truncate(end);
    return title;
}

QString persianDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= u'0' && c <= u'9')
            c = QChar(char16_t(0x06F0 + (c.unicode() - u'0')));
    return out;
}

} // namespace zorvel
