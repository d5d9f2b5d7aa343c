#include "core/richtext/rtf_writer.h"

#include "core/common/codepage.h"
#include "core/richtext/rtf_reader.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QUrl>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace zorvel {

namespace {

constexpr int kCodePage = 1256;
constexpr int kTwipsPerPixel = 15;
constexpr int kCharset = 178;
const QString kDefaultFont = QStringLiteral("Tahoma");

// Byte of each character in code page 1256, 0 when it has none (ASCII is
// written as it is and never looked up here).
const std::array<unsigned char, 65536> &encodeTable()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<unsigned char, 65536>>();
        t->fill(0);
        for (int b = 0x80; b < 0x100; ++b) {
            const QChar c = decodeCodePageByte(kCodePage, static_cast<unsigned char>(b));
            if (c.unicode() >= 0x80 && c.unicode() != 0xFFFD)
                (*t)[c.unicode()] = static_cast<unsigned char>(b);
        }
        return t;
    }();
    return *table;
}

const char kHex[] = "0123456789abcdef";

void appendNumber(QString &out, long long n)
{
    char buf[24];
    int i = sizeof buf;
    const bool negative = n < 0;
    unsigned long long v = negative ? 0ULL - (unsigned long long)n : (unsigned long long)n;
    do {
        buf[--i] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        buf[--i] = '-';
    out.append(QLatin1StringView(buf + i, qsizetype(sizeof buf) - i));
}

void appendWord(QString &out, const char *word, long long n)
{
    out.append(QLatin1StringView(word));
    appendNumber(out, n);
}

// Text escaped for RTF: code page 1256 as \'hh, anything else as \uN.
void appendEscaped(QString &out, QStringView text)
{
    const auto &table = encodeTable();
    const qsizetype old = out.size();
    // at most 9 characters per character: \u-32768?
    out.resize(old + text.size() * 9);
    char16_t *const base = reinterpret_cast<char16_t *>(out.data());
    char16_t *d = base + old;
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    auto put = [&d](const char *s) {
        while (*s)
            *d++ = char16_t(*s++);
    };
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (c >= 0x20 && c < 0x80) {
            if (c == '\\' || c == '{' || c == '}')
                *d++ = '\\';
            *d++ = c;
        } else if (c >= 0x80 && table[c] != 0) {
            const unsigned char b = table[c];
            *d++ = '\\';
            *d++ = '\'';
            *d++ = char16_t(kHex[b >> 4]);
            *d++ = char16_t(kHex[b & 15]);
        } else if (c == '\t') {
            put("\\tab ");
        } else if (c == 0x2028) {
            put("\\line ");
        } else if (c < 0x20) {
            // other control characters are not text and RTF has no form for them
        } else {
            // \uN is a signed 16-bit number; '?' is the fallback of \uc1
            char buf[16];
            std::snprintf(buf, sizeof buf, "\\u%d?", c > 32767 ? int(c) - 65536 : int(c));
            put(buf);
        }
    }
    out.resize(d - base);
}

class Writer {
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document)
    {
        m_fonts.append(kDefaultFont);
        m_fontIndex.insert(kDefaultFont, 0);
        const qreal size = document.defaultFont().pointSizeF();
        m_defaultHalfPoints = size > 0 ? int(std::lround(size * 2)) : 20;
    }

    QString write(int start, int end, bool whole);

private:
    struct Chars {
        int font = 0;
        int halfPoints = 20;
        int color = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool operator==(const Chars &) const = default;
    };

    void paragraphStart(const QTextBlock &block);
    void writeIndents(const QTextBlockFormat &format, bool rtl);
    const Chars &charsOf(const QTextFragment &fragment);
    const Chars &charsOf(int formatIndex, const QTextCharFormat &format);
    void writeChars(const Chars &chars);
    void object(const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colorIndex(QRgb rgb);
    QString header() const;

    const QTextDocument &m_document;
    QString m_body;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    int m_defaultHalfPoints = 20;
    Chars m_chars;
    bool m_charsWritten = false;
    // properties by the document's format index: a format is looked at once
    std::vector<Chars> m_charsByIndex;
    std::vector<bool> m_known;
    Chars m_uncached;
};

QString Writer::write(int start, int end, bool whole)
{
    // Every font and colour of the document gets its number before the body
    // is written, so the header comes first and the text is written once.
    const QList<QTextFormat> formats = m_document.allFormats();
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (formats[i].isCharFormat())
            charsOf(int(i), formats[i].toCharFormat());
    }
    m_body = header();
    m_body.reserve(qsizetype(end - start) * 4 + 1024);
    QTextBlock block = m_document.findBlock(start);
    while (block.isValid()) {
        paragraphStart(block);
        const int blockStart = block.position();
        const QString blockText = block.text(); // once per paragraph, not per run
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int fs = fragment.position();
            const int fe = fs + fragment.length();
            if (fe <= start)
                continue;
            if (fs >= end)
                break;
            const int from0 = std::max(start, fs);
            const QStringView piece
                = QStringView(blockText).mid(from0 - blockStart, std::min(end, fe) - from0);
            const Chars &chars = charsOf(fragment);
            qsizetype from = 0;
            const QChar *data = piece.data();
            for (qsizetype i = 0; i <= piece.size(); ++i) {
                if (i < piece.size() && data[i] != QChar::ObjectReplacementCharacter)
                    continue;
                if (i > from) {
                    writeChars(chars);
                    appendEscaped(m_body, piece.mid(from, i - from));
                }
                if (i < piece.size()) {
                    writeChars(chars);
                    object(fragment.charFormat());
                }
                from = i + 1;
            }
        }
        const int breakPosition = block.position() + block.length() - 1;
        if (breakPosition >= end)
            break;
        m_body.append(QLatin1StringView("\\par\r\n"));
        block = block.next();
    }
    if (whole)
        m_body.append(QLatin1StringView("\\par\r\n"));
    m_body.append(QLatin1Char('}'));
    return std::move(m_body);
}

void Writer::paragraphStart(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    m_body.append(QLatin1StringView("\\pard"));
    // A paragraph left to Qt's detection is written with the direction it shows.
    Qt::LayoutDirection direction = format.layoutDirection();
    if (direction == Qt::LayoutDirectionAuto)
        direction = block.textDirection();
    m_body.append(direction == Qt::RightToLeft ? QLatin1StringView("\\rtlpar")
                                               : QLatin1StringView("\\ltrpar"));
    // A paragraph without an alignment of its own takes the document's, when
    // one was set (a whole large text is aligned that way).
    const Qt::Alignment documentAlign = block.document()->defaultTextOption().alignment();
    const bool ownAlignment = format.hasProperty(QTextFormat::BlockAlignment);
    if (ownAlignment || documentAlign != Qt::AlignLeft) {
        const Qt::Alignment align = ownAlignment ? format.alignment() : documentAlign;
        const bool absolute = align & Qt::AlignAbsolute;
        const bool rtl = direction == Qt::RightToLeft;
        if (align & Qt::AlignJustify)
            m_body.append(QLatin1StringView("\\qj"));
        else if (align & Qt::AlignHCenter)
            m_body.append(QLatin1StringView("\\qc"));
        else if (align & Qt::AlignRight)
            m_body.append(absolute || !rtl ? QLatin1StringView("\\qr") : QLatin1StringView("\\ql"));
        else if ((align & Qt::AlignLeft) && absolute)
            m_body.append(QLatin1StringView("\\ql"));
        else if (align & Qt::AlignTrailing)
            m_body.append(rtl ? QLatin1StringView("\\ql") : QLatin1StringView("\\qr"));
    }
    writeIndents(format, direction == Qt::RightToLeft);
    m_body.append(QLatin1Char(' '));
}

// What the reader makes of \fi, \li, \ri and \tx, turned back; nothing for a
// block that has none. Both the physical sides and the leading and trailing
// ones are written, as readers differ in which they look at.
void Writer::writeIndents(const QTextBlockFormat &format, bool rtl)
{
    const auto twips = [](qreal pixels) { return int(std::lround(pixels * kTwipsPerPixel)); };
    const int left = twips(format.leftMargin());
    const int right = twips(format.rightMargin());
    const int first = twips(format.textIndent());
    const int leading = rtl ? right : left;
    const int trailing = rtl ? left : right;
    if (first != 0)
        appendWord(m_body, "\\fi", first);
    if (left != 0)
        appendWord(m_body, "\\li", left);
    if (right != 0)
        appendWord(m_body, "\\ri", right);
    if (leading != 0)
        appendWord(m_body, "\\lin", leading);
    if (trailing != 0)
        appendWord(m_body, "\\rin", trailing);
    // Qt measures stops from the first line's start, RTF from the leading edge.
    const QTextOption::TabType trailingType = rtl ? QTextOption::LeftTab : QTextOption::RightTab;
    for (const QTextOption::Tab &tab : format.tabPositions()) {
        if (tab.type == QTextOption::CenterTab)
            m_body.append(QLatin1StringView("\\tqc"));
        else if (tab.type == trailingType)
            m_body.append(QLatin1StringView("\\tqr"));
        appendWord(m_body, "\\tx", twips(tab.position) + leading + first);
    }
}

int Writer::fontIndex(const QString &family)
{
    auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.cend())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(family);
    m_fontIndex.insert(family, index);
    return index;
}

int Writer::colorIndex(QRgb rgb)
{
    auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.cend())
        return *it;
    m_colors.append(rgb);
    const int index = int(m_colors.size()); // entry 0 is the automatic colour
    m_colorIndex.insert(rgb, index);
    return index;
}

const Writer::Chars &Writer::charsOf(const QTextFragment &fragment)
{
    const int index = fragment.charFormatIndex();
    if (index >= 0 && size_t(index) < m_known.size() && m_known[size_t(index)])
        return m_charsByIndex[size_t(index)];
    return charsOf(index, fragment.charFormat());
}

const Writer::Chars &Writer::charsOf(int formatIndex, const QTextCharFormat &format)
{
    if (formatIndex >= 0 && size_t(formatIndex) < m_known.size() && m_known[size_t(formatIndex)])
        return m_charsByIndex[size_t(formatIndex)];
    Chars chars;
    const QStringList families = format.fontFamilies().toStringList();
    chars.font = families.isEmpty() || families.first().isEmpty() ? 0 : fontIndex(families.first());
    const qreal size = format.fontPointSize();
    chars.halfPoints = size > 0 ? int(std::lround(size * 2)) : m_defaultHalfPoints;
    chars.bold = format.fontWeight() >= QFont::DemiBold;
    chars.italic = format.fontItalic();
    chars.underline = format.fontUnderline();
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        const QBrush brush = format.foreground();
        if (brush.style() != Qt::NoBrush)
            chars.color = colorIndex(brush.color().rgb());
    }
    if (formatIndex < 0) {
        m_uncached = chars;
        return m_uncached;
    }
    if (size_t(formatIndex) >= m_known.size()) {
        m_known.resize(size_t(formatIndex) + 1, false);
        m_charsByIndex.resize(size_t(formatIndex) + 1);
    }
    m_known[size_t(formatIndex)] = true;
    m_charsByIndex[size_t(formatIndex)] = chars;
    return m_charsByIndex[size_t(formatIndex)];
}

void Writer::writeChars(const Chars &chars)
{
    if (m_charsWritten && chars == m_chars)
        return;
    const bool all = !m_charsWritten;
    // Each with its associated form, which readers apply to right-to-left text.
    if (all || chars.font != m_chars.font) {
        appendWord(m_body, "\\f", chars.font);
        appendWord(m_body, "\\af", chars.font);
    }
    if (all || chars.halfPoints != m_chars.halfPoints) {
        appendWord(m_body, "\\fs", chars.halfPoints);
        appendWord(m_body, "\\afs", chars.halfPoints);
    }
    if (all || chars.bold != m_chars.bold)
        m_body.append(chars.bold ? QLatin1StringView("\\b\\ab") : QLatin1StringView("\\b0\\ab0"));
    if (all || chars.italic != m_chars.italic)
        m_body.append(chars.italic ? QLatin1StringView("\\i\\ai") : QLatin1StringView("\\i0\\ai0"));
    if (all || chars.underline != m_chars.underline)
        m_body.append(chars.underline ? QLatin1StringView("\\ul") : QLatin1StringView("\\ulnone"));
    if (all || chars.color != m_chars.color)
        appendWord(m_body, "\\cf", chars.color);
    m_body.append(QLatin1Char(' '));
    m_chars = chars;
    m_charsWritten = true;
}

void Writer::object(const QTextCharFormat &format)
{
    const QString raw = format.property(kRtfObjectProperty).toString();
    if (!raw.isEmpty()) {
        m_body.append(raw);
        return;
    }
    // A picture put into the document some other way: written as PNG.
    if (!format.isImageFormat())
        return;
    const QTextImageFormat image = format.toImageFormat();
    const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(image.name()));
    QImage picture = resource.value<QImage>();
    if (picture.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return;
    const int widthTwips = int((image.width() > 0 ? image.width() : picture.width()) * 15);
    const int heightTwips = int((image.height() > 0 ? image.height() : picture.height()) * 15);
    m_body.append(QLatin1StringView("{\\pict\\pngblip"));
    appendWord(m_body, "\\picw", picture.width());
    appendWord(m_body, "\\pich", picture.height());
    appendWord(m_body, "\\picwgoal", widthTwips);
    appendWord(m_body, "\\pichgoal", heightTwips);
    m_body.append(QLatin1StringView("\r\n"));
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        m_body.append(
            QLatin1StringView(hex.constData() + i, std::min<qsizetype>(128, hex.size() - i)));
        m_body.append(QLatin1StringView("\r\n"));
    }
    m_body.append(QLatin1Char('}'));
}

QString Writer::header() const
{
    QString out;
    out.reserve(256 + m_fonts.size() * 40 + m_colors.size() * 30);
    out.append(QLatin1StringView("{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl"));
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        appendWord(out, "{\\f", i);
        appendWord(out, "\\fnil\\fcharset", kCharset);
        out.append(QLatin1Char(' '));
        appendEscaped(out, m_fonts[i]);
        out.append(QLatin1StringView(";}"));
    }
    out.append(QLatin1StringView("}\r\n"));
    if (!m_colors.isEmpty()) {
        out.append(QLatin1StringView("{\\colortbl ;"));
        for (QRgb rgb : m_colors) {
            appendWord(out, "\\red", qRed(rgb));
            appendWord(out, "\\green", qGreen(rgb));
            appendWord(out, "\\blue", qBlue(rgb));
            out.append(QLatin1Char(';'));
        }
        out.append(QLatin1StringView("}\r\n"));
    }
    out.append(QLatin1StringView("\\viewkind4\\uc1"));
    return out;
}

} // namespace

QString writeRtf(const QTextDocument &document)
{
    Writer writer(document);
    return writer.write(0, document.characterCount() - 1, true);
}

QString paragraphsToRtf(const QList<RtfParagraph> &paragraphs)
{
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl{\\f0\\fnil\\fcharset178 ")
        + kDefaultFont + QStringLiteral(";}}\r\n\\viewkind4\\uc1");
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out.append(QLatin1StringView("\\par\r\n"));
        out.append(QLatin1StringView("\\pard\\rtlpar\\qr \\f0\\fs20 "));
        out.append(paragraphs[i].group);
        appendEscaped(out, paragraphs[i].text);
    }
    out.append(QLatin1Char('}'));
    return out;
}

QString writeSelectionRtf(const QTextCursor &cursor)
{
    if (!cursor.document())
        return QString();
    Writer writer(*cursor.document());
    return writer.write(cursor.selectionStart(), cursor.selectionEnd(), false);
}

} // namespace zorvel
