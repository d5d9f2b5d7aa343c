#include "workbench/textrules.h"

namespace zorvel {

QString Rep(const QString &mata)
{
    const QString crlf = QStringLiteral("\r\n");
    QString t = mata;
    t.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    t.replace(QStringLiteral("<ircMAIN>"), QStringLiteral(" "));
    t.replace(QStringLiteral("</ircMAIN>"), crlf);
    t.replace(QStringLiteral(" \r\n"), crlf);
    t.replace(QStringLiteral("\r\n "), crlf);
    t.replace(QStringLiteral("\r\n "), crlf);

    // The remaining steps each touch one character and none creates a match
    // for another, so one pass does them all.
    constexpr char16_t zwnj = 0x200C;
    QString out;
    out.reserve(t.size() + t.size() / 8);
    for (QChar ch : std::as_const(t)) {
        const char16_t u = ch.unicode();
        if ((u >= u'0' && u <= u'9') || u == u'!' || u == u'.' || u == u':' || u == u')'
            || u == u'(' || u == 0x00AB || u == 0x00BB) {
            out.append(ch);
            out.append(QChar(zwnj));
        } else if (u == 0x0649) {
            out.append(QChar(0x064A));
        } else {
            out.append(ch);
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

} // namespace zorvel
