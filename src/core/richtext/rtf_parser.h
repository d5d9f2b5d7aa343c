#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace zorvel::rtf {

// Character properties of a text run, as RTF states them.
struct CharProps {
    int font = -1; // \fN; -1 until a font is named (the reader's default font applies)
    int halfPoints = 24; // \fsN
    int color = 0; // \cfN; 0 is the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const CharProps &) const = default;
};

enum class Align : unsigned char { Default, Left, Right, Center, Justify };
enum class Direction : unsigned char { Default, LeftToRight, RightToLeft };

enum class TabKind : unsigned char { Leading, Trailing, Center };

// \txN: the text after the tab starts (Leading), ends (Trailing, \tqr) or is
// centred (\tqc) at the stop, measured in twips from the leading edge.
struct TabStop {
    int twips = 0;
    TabKind kind = TabKind::Leading;

    bool operator==(const TabStop &) const = default;
};

struct ParaProps {
    Align align = Align::Default;
    Direction direction = Direction::Default;
    // Indents in twips. \li and \ri name the physical sides; \lin and \rin
    // name the leading and trailing sides and win over them when given.
    int firstIndent = 0; // \fi, from the leading indent; negative hangs
    int leftIndent = 0; // \li
    int rightIndent = 0; // \ri
    std::optional<int> leadingIndent; // \lin
    std::optional<int> trailingIndent; // \rin
    std::vector<TabStop> tabs; // as they came

    bool operator==(const ParaProps &) const = default;

    bool rightToLeft() const { return direction == Direction::RightToLeft; }
    // A paragraph without a direction is left to right, as RTF has it.
    int leftTwips() const
    {
        const std::optional<int> &side = rightToLeft() ? trailingIndent : leadingIndent;
        return side ? *side : leftIndent;
    }
    int rightTwips() const
    {
        const std::optional<int> &side = rightToLeft() ? leadingIndent : trailingIndent;
        return side ? *side : rightIndent;
    }
    int leadingTwips() const { return rightToLeft() ? rightTwips() : leftTwips(); }
};

struct Font {
    QString name;
    int charset = -1; // \fcharsetN, -1 when not given
};

struct Color {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool automatic = true; // the empty first entry of a colour table
};

struct Picture {
    enum Kind { None, Png, Jpeg, Other };
    Kind kind = None;
    QByteArray data;
    int widthTwips = 0; // shown size, 0 when not stated
    int heightTwips = 0;
};

// An \object group or a \pict group outside an object. `raw` is the group
// exactly as it stood in the input, braces included, so it can be written back
// unchanged.
struct EmbeddedObject {
    QString raw;
    bool isObject = false;
    int widthTwips = 0;
    int heightTwips = 0;
    Picture picture; // the picture itself, or the object's \result picture
};

struct Tables {
    QHash<int, Font> fonts; // by font number
    std::vector<Color> colors; // by colour number
    int defaultFont = 0; // \deffN
    int ansiCodePage = 1252; // \ansicpgN

    const Font *font(int number) const
    {
        auto it = fonts.constFind(number);
        return it == fonts.cend() ? nullptr : &*it;
    }
};

// What the parser finds, in document order. Text of one run arrives in one or
// more pieces with the same properties.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void text(QStringView text, const CharProps &chars) = 0;
    virtual void lineBreak(const CharProps &chars) = 0;
    virtual void paragraphEnd(const ParaProps &para) = 0;
    virtual void object(const EmbeddedObject &object, const CharProps &chars) = 0;
    // The end of input. `para` holds the properties of the last, unterminated
    // paragraph; `stated` tells whether the input gave any for it.
    virtual void finish(const ParaProps &para, bool stated)
    {
        Q_UNUSED(para);
        Q_UNUSED(stated);
    }

    const Tables *tables = nullptr; // set by the parser before the first call
};

enum class Mode {
    Document, // a whole document: the \par that ends the last paragraph is dropped
    Fragment, // a piece inserted into a document: every \par counts
};

// True when the text (after leading white space) starts with "{\rtf".
bool looksLikeRtf(QStringView text);

// Reads RTF. Characters above U+00FF pass through as they are; characters
// 0x80..0xFF are taken as bytes of the current code page. Never throws; on
// malformed input it keeps what it could read. Bytes after the closing brace
// of the outer group are ignored.
void parse(QStringView rtf, Sink &sink, Mode mode = Mode::Document);

// The code page that decodes \'hh for a font: the font's \fcharset when it
// names one, else the document's \ansicpg.
int codePageForFont(const Tables &tables, int fontNumber);

} // namespace zorvel::rtf
