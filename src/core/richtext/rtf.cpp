#include "core/richtext/rtf.h"

#include "core/richtext/rtf_parser.h"

namespace zorvel {

namespace {

class PlainTextSink : public rtf::Sink {
public:
    explicit PlainTextSink(qsizetype expected) { out.reserve(expected); }

    void text(QStringView text, const rtf::CharProps &) override { out.append(text); }
    void lineBreak(const rtf::CharProps &) override { out.append(QLatin1Char('\n')); }
    void paragraphEnd(const rtf::ParaProps &) override { out.append(u"\r\n"); }
    void object(const rtf::EmbeddedObject &, const rtf::CharProps &) override
    {
        out.append(QLatin1Char(' '));
    }

    QString out;
};

} // namespace

QString rtfToText(QStringView rtf)
{
    if (!rtf::looksLikeRtf(rtf)) {
        QString text = textToDocumentChars(rtf);
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return text;
    }
    // Escaped text is about a quarter of its RTF.
    PlainTextSink sink(rtf.size() / 4 + 16);
    rtf::parse(rtf, sink, rtf::Mode::Document);
    return sink.out;
}

QString documentCharsToText(QStringView chars)
{
    QString out;
    out.reserve(chars.size() + chars.size() / 16 + 16);
    const char16_t *p = chars.utf16();
    const char16_t *end = p + chars.size();
    const char16_t *start = p;
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (c != 0x2029 && c != 0x2028 && c != 0xFFFC)
            continue;
        out.append(QStringView(start, p - start));
        if (c == 0x2029)
            out.append(u"\r\n");
        else if (c == 0x2028)
            out.append(QLatin1Char('\n'));
        else
            out.append(QLatin1Char(' '));
        start = p + 1;
    }
    out.append(QStringView(start, end - start));
    return out;
}

QString textToDocumentChars(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    const char16_t *start = p;
    for (; p < end; ++p) {
        if (*p != '\r')
            continue;
        out.append(QStringView(start, p - start));
        out.append(QLatin1Char('\n'));
        if (p + 1 < end && p[1] == '\n')
            ++p;
        start = p + 1;
    }
    out.append(QStringView(start, end - start));
    return out;
}

} // namespace zorvel
