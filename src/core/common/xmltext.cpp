#include "core/common/xmltext.h"

namespace zorvel {

namespace {

bool xmlAllowed(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

void appendXmlEscaped(QString &out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            out += QLatin1StringView("&amp;");
            continue;
        case u'<':
            out += QLatin1StringView("&lt;");
            continue;
        case u'>':
            out += QLatin1StringView("&gt;");
            continue;
        case u'"':
            out += QLatin1StringView("&quot;");
            continue;
        default:
            break;
        }
        if (c.isHighSurrogate()) {
            if (i + 1 < n && text[i + 1].isLowSurrogate()) {
                out += c;
                out += text[++i];
            }
            continue;
        }
        if (c.isLowSurrogate() || !xmlAllowed(c.unicode()))
            continue;
        out += c;
    }
}

QString xmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    appendXmlEscaped(out, text);
    return out;
}

QString unescapeXml(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const qsizetype semi = c == u'&' ? text.indexOf(u';', i + 1) : -1;
        if (semi < 0 || semi - i > 10) {
            out += c;
            continue;
        }
        const QString name = text.mid(i + 1, semi - i - 1);
        QString replacement;
        if (name == QLatin1String("amp"))
            replacement = QStringLiteral("&");
        else if (name == QLatin1String("lt"))
            replacement = QStringLiteral("<");
        else if (name == QLatin1String("gt"))
            replacement = QStringLiteral(">");
        else if (name == QLatin1String("quot"))
            replacement = QStringLiteral("\"");
        else if (name == QLatin1String("apos"))
            replacement = QStringLiteral("'");
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                ? name.mid(2).toUInt(&ok, 16)
                : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t c32 = code;
                replacement = QString::fromUcs4(&c32, 1);
            }
        }
        if (replacement.isEmpty()) {
            out += c;
            continue;
        }
        out += replacement;
        i = semi;
    }
    return out;
}

std::optional<QString> elementText(const QString &oip, const QString &wht)
{
    const QString open = u'<' + wht + u'>';
    const QString close = QStringLiteral("</") + wht + u'>';
    const qsizetype p = oip.indexOf(open);
    if (p < 0)
        return QString();
    const qsizetype q = oip.indexOf(close);
    const qsizetype start = p + open.size();
    if (q < start)
        return std::nullopt;
    return oip.mid(start, q - start);
}

} // namespace zorvel
