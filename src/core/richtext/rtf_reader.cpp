#include "core/richtext/rtf_reader.h"

#include "core/richtext/rtf.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <vector>

namespace zorvel {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMaxShownPixels = 4000;

int twipsToPixels(int twips, int fallback)
{
    if (twips <= 0)
        return fallback;
    return std::clamp(twips / kTwipsPerPixel, 1, kMaxShownPixels);
}

// Drawn in place of an object whose picture we cannot show.
QImage placeholderImage()
{
    static const QImage image = [] {
        QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(0xe8, 0xe8, 0xe8));
        QPainter painter(&img);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(0, 0, 31, 31);
        painter.drawLine(0, 0, 31, 31);
        painter.drawLine(0, 31, 31, 0);
        return img;
    }();
    return image;
}

QString nextResourceName()
{
    static std::atomic<quint64> counter { 0 };
    return QStringLiteral("zorvel-object:%1").arg(++counter);
}

// Characters that would split a paragraph or pose as an object are not text.
QString cleanText(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u == '\r' || u == '\n' || u == 0x2029 || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1)
            c = QLatin1Char(' ');
    }
    return out;
}

bool needsCleaning(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\r' || u == '\n' || u == 0x2029 || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1)
            return true;
    }
    return false;
}

qreal indentPixels(int twips)
{
    return qreal(twips) / kTwipsPerPixel;
}

// Qt's margins are physical sides, its text indent moves the first line's
// start along the block's direction (negative hangs), and it measures tab
// stops from where the first line starts, not from the frame edge as RTF does.
// Only what the paragraph states is set: blocks without indents stay plain.
// `para` has a direction: the one the block is shown in.
void setIndents(QTextBlockFormat &format, const rtf::ParaProps &para)
{
    // An indent into the frame's margin would be cut off, and so would a
    // first line that hangs beyond the indent.
    const int left = std::max(para.leftTwips(), 0);
    const int right = std::max(para.rightTwips(), 0);
    const bool rtl = para.rightToLeft();
    const int leading = rtl ? right : left;
    const int first = std::max(para.firstIndent, -leading);
    if (left != 0)
        format.setLeftMargin(indentPixels(left));
    if (right != 0)
        format.setRightMargin(indentPixels(right));
    if (first != 0)
        format.setTextIndent(indentPixels(first));

    const int lineStart = leading + first;
    std::vector<rtf::TabStop> stops;
    for (const rtf::TabStop &stop : para.tabs) {
        if (stop.twips > lineStart)
            stops.push_back(stop);
    }
    // A hanging indent is a tab stop of its own when no stop comes before it:
    // "\bullet\tab text" then starts the text where the wrapped lines start.
    if (first < 0 && std::none_of(stops.begin(), stops.end(), [leading](const rtf::TabStop &stop) {
            return stop.twips <= leading;
        }))
        stops.push_back(rtf::TabStop { leading, rtf::TabKind::Leading });
    if (stops.empty())
        return;
    std::stable_sort(stops.begin(), stops.end(),
        [](const rtf::TabStop &a, const rtf::TabStop &b) { return a.twips < b.twips; });
    // In a right-to-left block Qt's tab types are physical: a right tab is the
    // one whose text starts at the stop.
    QList<QTextOption::Tab> tabs;
    for (const rtf::TabStop &stop : stops) {
        QTextOption::TabType type = QTextOption::CenterTab;
        if (stop.kind == rtf::TabKind::Leading)
            type = rtl ? QTextOption::RightTab : QTextOption::LeftTab;
        else if (stop.kind == rtf::TabKind::Trailing)
            type = rtl ? QTextOption::LeftTab : QTextOption::RightTab;
        const qreal position = indentPixels(stop.twips - lineStart);
        if (tabs.isEmpty() || tabs.last().position != position)
            tabs.append(QTextOption::Tab(position, type));
    }
    format.setTabPositions(tabs);
}

bool hasIndents(const rtf::ParaProps &para)
{
    return para.firstIndent != 0 || para.leftIndent != 0 || para.rightIndent != 0
        || para.leadingIndent || para.trailingIndent || !para.tabs.empty();
}

// `block` holds the paragraph's text: a paragraph without a direction is
// shown in the direction of its text, and its indents follow that.
QTextBlockFormat blockFormat(const rtf::ParaProps &para, const QTextBlock &block)
{
    QTextBlockFormat format;
    switch (para.align) {
    case rtf::Align::Default:
        break;
    // made absolute: Qt would mirror left and right in a right-to-left paragraph
    case rtf::Align::Left:
        format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    case rtf::Align::Right:
        format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case rtf::Align::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case rtf::Align::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    if (para.direction == rtf::Direction::RightToLeft)
        format.setLayoutDirection(Qt::RightToLeft);
    else if (para.direction == rtf::Direction::LeftToRight)
        format.setLayoutDirection(Qt::LeftToRight);
    if (hasIndents(para)) {
        rtf::ParaProps shown = para;
        if (shown.direction == rtf::Direction::Default)
            shown.direction = block.text().isRightToLeft() ? rtf::Direction::RightToLeft
                                                           : rtf::Direction::LeftToRight;
        setIndents(format, shown);
    }
    return format;
}

class DocumentSink : public rtf::Sink {
public:
    DocumentSink(QTextCursor &cursor, rtf::Mode mode)
        : m_cursor(cursor)
        , m_mode(mode)
        , m_document(cursor.document())
    {
    }

    void text(QStringView text, const rtf::CharProps &chars) override
    {
        if (needsCleaning(text))
            m_cursor.insertText(cleanText(text), charFormat(chars));
        else
            m_cursor.insertText(text.toString(), charFormat(chars));
    }

    void lineBreak(const rtf::CharProps &chars) override
    {
        m_cursor.insertText(QString(QChar::LineSeparator), charFormat(chars));
    }

    void paragraphEnd(const rtf::ParaProps &para) override
    {
        m_cursor.setBlockFormat(blockFormat(para, m_cursor.block()));
        m_cursor.insertBlock();
    }

    void object(const rtf::EmbeddedObject &object, const rtf::CharProps &chars) override
    {
        QImage image;
        if (object.picture.kind == rtf::Picture::Png)
            image.loadFromData(object.picture.data, "PNG");
        else if (object.picture.kind == rtf::Picture::Jpeg)
            image.loadFromData(object.picture.data, "JPG");
        int width = object.widthTwips > 0 ? object.widthTwips : object.picture.widthTwips;
        int height = object.heightTwips > 0 ? object.heightTwips : object.picture.heightTwips;
        if (image.isNull())
            image = placeholderImage();
        const QString name = nextResourceName();
        m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);

        QTextImageFormat format;
        format.merge(charFormat(chars));
        format.setName(name);
        format.setWidth(twipsToPixels(width, std::min(image.width(), kMaxShownPixels)));
        format.setHeight(twipsToPixels(height, std::min(image.height(), kMaxShownPixels)));
        format.setProperty(kRtfObjectProperty, object.raw);
        m_cursor.insertImage(format);
    }

    void finish(const rtf::ParaProps &para, bool stated) override
    {
        if (m_mode == rtf::Mode::Document || stated)
            m_cursor.setBlockFormat(blockFormat(para, m_cursor.block()));
    }

private:
    const QTextCharFormat &charFormat(const rtf::CharProps &chars)
    {
        for (const auto &entry : m_formats) {
            if (entry.first == chars)
                return entry.second;
        }
        if (m_formats.size() > 64)
            m_formats.clear();
        m_formats.emplace_back(chars, makeCharFormat(chars));
        return m_formats.back().second;
    }

    QTextCharFormat makeCharFormat(const rtf::CharProps &chars) const
    {
        QTextCharFormat format;
        const int fontNumber = chars.font >= 0 ? chars.font : tables->defaultFont;
        if (const rtf::Font *font = tables->font(fontNumber)) {
            if (!font->name.isEmpty())
                format.setFontFamilies(QStringList { font->name });
        }
        format.setFontPointSize(chars.halfPoints / 2.0);
        if (chars.bold)
            format.setFontWeight(QFont::Bold);
        if (chars.italic)
            format.setFontItalic(true);
        if (chars.underline)
            format.setFontUnderline(true);
        if (chars.color > 0 && chars.color < int(tables->colors.size())) {
            const rtf::Color &color = tables->colors[size_t(chars.color)];
            if (!color.automatic)
                format.setForeground(QColor(color.red, color.green, color.blue));
        }
        return format;
    }

    QTextCursor &m_cursor;
    rtf::Mode m_mode;
    QTextDocument *m_document;
    std::vector<std::pair<rtf::CharProps, QTextCharFormat>> m_formats;
};

} // namespace

void readRtf(QTextCursor &cursor, QStringView rtfText, rtf::Mode mode)
{
    if (!cursor.document())
        return;
    if (!rtf::looksLikeRtf(rtfText)) {
        cursor.insertText(textToDocumentChars(rtfText));
        return;
    }
    // Inside an edit block the cursor does not lay out its paragraph after
    // every insertion, which would make long paragraphs quadratic.
    cursor.beginEditBlock();
    DocumentSink sink(cursor, mode);
    rtf::parse(rtfText, sink, mode);
    cursor.endEditBlock();
}

} // namespace zorvel
