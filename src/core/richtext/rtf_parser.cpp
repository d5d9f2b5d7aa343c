#include "core/richtext/rtf_parser.h"

#include "core/common/codepage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace zorvel::rtf {

namespace {

// Deeper groups are still counted, so braces stay balanced, but they share the
// state of the deepest kept group: input nested a million levels deep must not
// cost a million saved states.
constexpr int kMaxDepth = 2000;
// Control words are at most 32 letters; a longer one is read whole and ignored.
constexpr int kMaxWordLength = 32;
// Indents and tab stops beyond 22 inches are taken as 22 inches; a paragraph
// keeps its first 64 tab stops.
constexpr int kMaxIndent = 22 * 1440;
constexpr size_t kMaxTabs = 64;

enum class Dest : unsigned char {
    Text, // document text
    Skip, // ignored group
    FontTable,
    ColorTable,
    Pict, // picture data
    Object, // \object group: text ignored
    ObjResult, // an object's \result: text ignored, its picture kept
};

enum class Word {
    Unknown,
    // header
    Rtf,
    Ansi,
    AnsiCpg,
    Deff,
    FontTable,
    ColorTable,
    Fcharset,
    Red,
    Green,
    Blue,
    // destinations read or skipped
    SkipDest,
    Pict,
    Object,
    ObjData,
    Result,
    ShpPict,
    NonShpPict,
    // text
    Par,
    Line,
    Tab,
    Sect,
    Emdash,
    Endash,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Zwj,
    Zwnj,
    LtrMark,
    RtlMark,
    U,
    Uc,
    Bin,
    // character properties
    Plain,
    F,
    Fs,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Cf,
    // paragraph properties
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    RtlPar,
    LtrPar,
    Fi,
    Li,
    Ri,
    Lin,
    Rin,
    Tx,
    Tqr,
    Tqc,
    // pictures and objects
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    PngBlip,
    JpegBlip,
    OtherBlip,
    ObjW,
    ObjH,
    ObjScaleX,
    ObjScaleY,
    Shp,
    ShpInst,
    ShpLeft,
    ShpRight,
    ShpTop,
    ShpBottom,
    RtlCh,
    LtrCh,
    Af,
    Afs,
    Ab,
    Ai,
};

const std::unordered_map<std::string_view, Word> &wordTable()
{
    static const std::unordered_map<std::string_view, Word> table = {
        { "rtf", Word::Rtf },
        { "ansi", Word::Ansi },
        { "ansicpg", Word::AnsiCpg },
        { "deff", Word::Deff },
        { "fonttbl", Word::FontTable },
        { "colortbl", Word::ColorTable },
        { "fcharset", Word::Fcharset },
        { "red", Word::Red },
        { "green", Word::Green },
        { "blue", Word::Blue },
        // groups whose text is not document text
        { "stylesheet", Word::SkipDest },
        { "info", Word::SkipDest },
        { "header", Word::SkipDest },
        { "headerl", Word::SkipDest },
        { "headerr", Word::SkipDest },
        { "headerf", Word::SkipDest },
        { "footer", Word::SkipDest },
        { "footerl", Word::SkipDest },
        { "footerr", Word::SkipDest },
        { "footerf", Word::SkipDest },
        { "footnote", Word::SkipDest },
        { "fldinst", Word::SkipDest },
        { "xe", Word::SkipDest },
        { "tc", Word::SkipDest },
        { "txe", Word::SkipDest },
        { "rxe", Word::SkipDest },
        { "annotation", Word::SkipDest },
        { "atnid", Word::SkipDest },
        { "atnauthor", Word::SkipDest },
        { "listtable", Word::SkipDest },
        { "listoverridetable", Word::SkipDest },
        { "revtbl", Word::SkipDest },
        { "rsidtbl", Word::SkipDest },
        { "template", Word::SkipDest },
        { "pntxta", Word::SkipDest },
        { "pntxtb", Word::SkipDest },
        { "objclass", Word::SkipDest },
        { "objname", Word::SkipDest },
        { "private", Word::SkipDest },
        { "pgdsctbl", Word::SkipDest },
        { "bkmkstart", Word::SkipDest },
        { "bkmkend", Word::SkipDest },
        { "themedata", Word::SkipDest },
        { "colorschememapping", Word::SkipDest },
        { "datastore", Word::SkipDest },
        { "latentstyles", Word::SkipDest },
        { "generator", Word::SkipDest },
        { "pict", Word::Pict },
        { "object", Word::Object },
        { "objdata", Word::ObjData },
        { "result", Word::Result },
        { "shppict", Word::ShpPict },
        { "nonshppict", Word::NonShpPict },
        { "par", Word::Par },
        { "line", Word::Line },
        { "tab", Word::Tab },
        { "sect", Word::Sect },
        { "emdash", Word::Emdash },
        { "endash", Word::Endash },
        { "bullet", Word::Bullet },
        { "lquote", Word::Lquote },
        { "rquote", Word::Rquote },
        { "ldblquote", Word::Ldblquote },
        { "rdblquote", Word::Rdblquote },
        { "zwj", Word::Zwj },
        { "zwnj", Word::Zwnj },
        { "ltrmark", Word::LtrMark },
        { "rtlmark", Word::RtlMark },
        { "u", Word::U },
        { "uc", Word::Uc },
        { "bin", Word::Bin },
        { "plain", Word::Plain },
        { "f", Word::F },
        { "fs", Word::Fs },
        { "b", Word::Bold },
        { "i", Word::Italic },
        { "ul", Word::Underline },
        { "uld", Word::Underline },
        { "uldb", Word::Underline },
        { "ulw", Word::Underline },
        { "ulth", Word::Underline },
        { "ulwave", Word::Underline },
        { "uldash", Word::Underline },
        { "ulnone", Word::UnderlineNone },
        { "cf", Word::Cf },
        { "pard", Word::Pard },
        { "ql", Word::Ql },
        { "qr", Word::Qr },
        { "qc", Word::Qc },
        { "qj", Word::Qj },
        { "rtlpar", Word::RtlPar },
        { "ltrpar", Word::LtrPar },
        { "fi", Word::Fi },
        { "li", Word::Li },
        { "ri", Word::Ri },
        { "lin", Word::Lin },
        { "rin", Word::Rin },
        { "tx", Word::Tx },
        { "tqr", Word::Tqr },
        { "tqc", Word::Tqc },
        { "picw", Word::PicW },
        { "pich", Word::PicH },
        { "picwgoal", Word::PicWGoal },
        { "pichgoal", Word::PicHGoal },
        { "picscalex", Word::PicScaleX },
        { "picscaley", Word::PicScaleY },
        { "pngblip", Word::PngBlip },
        { "jpegblip", Word::JpegBlip },
        { "wmetafile", Word::OtherBlip },
        { "emfblip", Word::OtherBlip },
        { "dibitmap", Word::OtherBlip },
        { "wbitmap", Word::OtherBlip },
        { "macpict", Word::OtherBlip },
        { "pmmetafile", Word::OtherBlip },
        { "objw", Word::ObjW },
        { "objh", Word::ObjH },
        { "objscalex", Word::ObjScaleX },
        { "objscaley", Word::ObjScaleY },
        { "shp", Word::Shp },
        { "shpinst", Word::ShpInst },
        { "shprslt", Word::SkipDest },
        { "shpleft", Word::ShpLeft },
        { "shpright", Word::ShpRight },
        { "shptop", Word::ShpTop },
        { "shpbottom", Word::ShpBottom },
        { "rtlch", Word::RtlCh },
        { "ltrch", Word::LtrCh },
        { "af", Word::Af },
        { "afs", Word::Afs },
        { "ab", Word::Ab },
        { "ai", Word::Ai },
    };
    return table;
}

// 256 characters per code page, built once per code page.
const char16_t *byteTable(int codePage)
{
    static std::unordered_map<int, std::unique_ptr<std::array<char16_t, 256>>> cache;
    auto it = cache.find(codePage);
    if (it != cache.end())
        return it->second->data();
    auto table = std::make_unique<std::array<char16_t, 256>>();
    for (int b = 0; b < 256; ++b)
        (*table)[size_t(b)] = decodeCodePageByte(codePage, static_cast<unsigned char>(b)).unicode();
    const char16_t *data = table->data();
    cache.emplace(codePage, std::move(table));
    return data;
}

int hexValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// \af, \afs, \ab, \ai: for right-to-left runs (\rtlch); -1 or 0 when not given.
struct Associated {
    int font = -1;
    int halfPoints = 0;
    int bold = -1;
    int italic = -1;
};

struct State {
    CharProps chars; // what text is written with
    CharProps latin; // \f, \fs, \b, \i, \ul, \cf
    Associated assoc;
    bool rtlch = false;
    ParaProps para;
    Dest dest = Dest::Text;
    bool star = false; // "\*" opened this group
    int uc = 1;
    const char16_t *codePage = nullptr; // bytes of the current font
    qsizetype groupStart = 0; // offset of the group's "{"
};

class Parser {
public:
    Parser(QStringView input, Sink &sink, Mode mode)
        : m_begin(input.utf16())
        , m_p(m_begin)
        , m_end(m_begin + input.size())
        , m_sink(sink)
        , m_mode(mode)
    {
        m_sink.tables = &m_tables;
    }

    void run();

private:
    // tokens
    void controlWord();
    void controlSymbol();
    void openGroup();
    bool closeGroup(); // false when the outer group closed
    void text(char16_t c);
    void textSpan();
    void skipSpan();

    // words
    void word(Word w, bool hasParam, int param, bool opensGroup);
    void fontNumber(int number);
    void updateChars();
    void updateCodePage();

    // output
    void addChar(char16_t c);
    void beforeContent();
    void flushRun();
    void paragraph();
    void lineBreak();
    void emitObject(const EmbeddedObject &object, const CharProps &chars);
    void finishPicture();
    void finishObject();
    void commitFont();

    const char16_t *m_begin;
    const char16_t *m_p;
    const char16_t *m_end;
    Sink &m_sink;
    Mode m_mode;
    Tables m_tables;

    State m_st;
    std::vector<State> m_stack;
    int m_overflow = 0; // groups beyond kMaxDepth still open
    int m_ucSkip = 0; // fallback characters still to skip after \uN

    QString m_run;
    CharProps m_runProps;

    bool m_pendingPar = false; // a \par whose paragraph end waits for more content
    ParaProps m_pendingParProps;
    ParaProps m_lastPara; // properties of the paragraph being read
    bool m_paraStated = false;
    TabKind m_tabKind = TabKind::Leading; // for the next \tx

    // font table entry being read
    int m_fontNumber = -1;
    QString m_fontName;
    int m_fontCharset = -1;
    bool m_fontOpen = false;

    Color m_color;

    // picture being read
    int m_pictDepth = -1;
    Picture m_pict;
    int m_pictNibble = -1;
    int m_picW = 0, m_picH = 0, m_picGoalW = 0, m_picGoalH = 0, m_picScaleX = 100,
        m_picScaleY = 100;
    qsizetype m_pictStart = 0;
    CharProps m_pictChars;

    // object being read
    int m_objectDepth = -1;
    EmbeddedObject m_object;
    int m_objScaleX = 100, m_objScaleY = 100;
    int m_shpLeft = 0, m_shpRight = 0, m_shpTop = 0, m_shpBottom = 0;
    qsizetype m_objectStart = 0;
    CharProps m_objectChars;
};

void Parser::run()
{
    while (m_p < m_end && *m_p != '{')
        ++m_p;
    if (m_p == m_end)
        return;
    m_st.groupStart = m_p - m_begin;
    ++m_p;
    updateCodePage();
    m_run.reserve(256);

    bool open = true;
    while (open && m_p < m_end) {
        const char16_t c = *m_p;
        if (c == '\\') {
            ++m_p;
            if (m_p == m_end)
                break;
            if (isLetter(*m_p))
                controlWord();
            else
                controlSymbol();
        } else if (c == '{') {
            openGroup();
            ++m_p;
        } else if (c == '}') {
            open = closeGroup();
            ++m_p;
        } else if (m_st.dest == Dest::Skip) {
            skipSpan();
        } else if (m_st.dest == Dest::Text && m_ucSkip == 0) {
            textSpan();
        } else {
            ++m_p;
            if (c >= 0x80 && c <= 0xFF)
                text(m_st.codePage[c]);
            else if (c >= 0x20 || c == '\t')
                text(c);
        }
    }
    flushRun();
    if (m_fontOpen)
        commitFont();
    if (m_pendingPar) {
        // the mark that ends a document's last paragraph is not a paragraph of its own
        m_sink.finish(m_pendingParProps, true);
    } else {
        m_sink.finish(m_lastPara, m_paraStated);
    }
}

void Parser::skipSpan()
{
    while (m_p < m_end && *m_p != '\\' && *m_p != '{' && *m_p != '}')
        ++m_p;
}

// A stretch of plain characters goes into the run in one piece.
void Parser::textSpan()
{
    const char16_t *start = m_p;
    while (m_p < m_end) {
        const char16_t c = *m_p;
        if (c == '\\' || c == '{' || c == '}' || c < 0x20 || (c >= 0x80 && c <= 0xFF) || c == 0x2029
            || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1)
            break;
        ++m_p;
    }
    if (m_p > start) {
        beforeContent();
        if (!(m_runProps == m_st.chars)) {
            flushRun();
            m_runProps = m_st.chars;
        }
        m_run.append(QStringView(start, m_p - start));
    }
    if (m_p < m_end) {
        const char16_t c = *m_p;
        if (c != '\\' && c != '{' && c != '}') {
            ++m_p;
            if (c >= 0x80 && c <= 0xFF)
                text(m_st.codePage[c]);
            else if (c >= 0x20 || c == '\t')
                text(c);
            // other control characters, line ends included, are not text
        }
    }
}

void Parser::text(char16_t c)
{
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    switch (m_st.dest) {
    case Dest::Text:
        addChar(c);
        break;
    case Dest::FontTable:
        if (c == ';')
            commitFont();
        else if (m_fontOpen)
            m_fontName.append(QChar(c));
        break;
    case Dest::ColorTable:
        if (c == ';') {
            m_tables.colors.push_back(m_color);
            m_color = Color();
        }
        break;
    case Dest::Pict: {
        const int v = hexValue(c);
        if (v < 0)
            break;
        if (m_pictNibble < 0) {
            m_pictNibble = v;
        } else {
            m_pict.data.append(char((m_pictNibble << 4) | v));
            m_pictNibble = -1;
        }
        break;
    }
    default:
        break;
    }
}

void Parser::addChar(char16_t c)
{
    // Characters that would split a paragraph or pose as an object are not
    // text; other control characters are dropped.
    if (c == 0x2029 || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1)
        c = ' ';
    else if (c < 0x20 && c != '\t')
        return;
    beforeContent();
    if (!(m_runProps == m_st.chars)) {
        flushRun();
        m_runProps = m_st.chars;
    }
    m_run.append(QChar(c));
}

void Parser::beforeContent()
{
    if (m_pendingPar) {
        flushRun();
        m_sink.paragraphEnd(m_pendingParProps);
        m_pendingPar = false;
    }
    m_lastPara = m_st.para;
}

void Parser::flushRun()
{
    if (!m_run.isEmpty()) {
        m_sink.text(m_run, m_runProps);
        m_run.resize(0);
    }
}

void Parser::paragraph()
{
    flushRun();
    if (m_mode == Mode::Fragment) {
        m_sink.paragraphEnd(m_st.para);
    } else {
        if (m_pendingPar)
            m_sink.paragraphEnd(m_pendingParProps);
        m_pendingPar = true;
        m_pendingParProps = m_st.para;
    }
    m_lastPara = m_st.para;
    m_paraStated = false;
}

void Parser::lineBreak()
{
    beforeContent();
    flushRun();
    m_sink.lineBreak(m_st.chars);
}

void Parser::emitObject(const EmbeddedObject &object, const CharProps &chars)
{
    beforeContent();
    flushRun();
    m_sink.object(object, chars);
}

void Parser::openGroup()
{
    m_ucSkip = 0;
    if (int(m_stack.size()) >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_st);
    m_st.star = false;
    m_st.groupStart = m_p - m_begin;
}

bool Parser::closeGroup()
{
    m_ucSkip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return true;
    }
    const int depth = int(m_stack.size());
    if (m_st.dest == Dest::FontTable && m_fontOpen)
        commitFont();
    if (depth == m_pictDepth)
        finishPicture();
    if (depth == m_objectDepth)
        finishObject();
    if (m_stack.empty())
        return false;
    m_st = m_stack.back();
    m_stack.pop_back();
    return true;
}

void Parser::controlSymbol()
{
    const char16_t c = *m_p++;
    switch (c) {
    case '\'': {
        // \'hh: one byte in the current code page; a bad digit ends the escape.
        int value = -1;
        if (m_p < m_end && hexValue(*m_p) >= 0) {
            value = hexValue(*m_p++);
            if (m_p < m_end && hexValue(*m_p) >= 0)
                value = value * 16 + hexValue(*m_p++);
        }
        if (value < 0)
            return;
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        if (m_st.dest == Dest::Text)
            addChar(m_st.codePage[value]);
        else if (m_st.dest == Dest::FontTable && m_fontOpen)
            m_fontName.append(QChar(m_st.codePage[value]));
        else if (m_st.dest == Dest::Pict)
            m_pict.data.append(char(value));
        return;
    }
    case '\\':
    case '{':
    case '}':
        text(c);
        return;
    case '*':
        m_st.star = true;
        return;
    case '\r':
    case '\n':
        // a backslash before a line end is a paragraph mark
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        if (m_st.dest == Dest::Text)
            paragraph();
        return;
    case '~':
        text(0x00A0);
        return;
    case '_':
        text(0x2011);
        return;
    case '-': // optional hyphen
    default:
        if (m_ucSkip > 0)
            --m_ucSkip;
        return;
    }
}

void Parser::controlWord()
{
    const char16_t *start = m_p;
    while (m_p < m_end && isLetter(*m_p))
        ++m_p;
    const qsizetype length = m_p - start;

    bool hasParam = false;
    bool negative = false;
    long long param = 0;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && (m_p[1] >= '0' && m_p[1] <= '9')) {
        negative = true;
        ++m_p;
    }
    while (m_p < m_end && *m_p >= '0' && *m_p <= '9') {
        hasParam = true;
        if (param < INT_MAX)
            param = param * 10 + (*m_p - '0');
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
    param = std::min<long long>(param, INT_MAX);
    const int value = int(negative ? -param : param);

    if (m_st.dest == Dest::Skip) {
        // only \binN matters inside a skipped group: its data may hold braces
        if (length == 3 && start[0] == 'b' && start[1] == 'i' && start[2] == 'n' && value > 0)
            m_p += std::min<qsizetype>(value, m_end - m_p);
        return;
    }

    char name[kMaxWordLength + 1];
    Word w = Word::Unknown;
    if (length <= kMaxWordLength) {
        for (qsizetype i = 0; i < length; ++i)
            name[i] = char(start[i]);
        const auto &table = wordTable();
        auto it = table.find(std::string_view(name, size_t(length)));
        if (it != table.end())
            w = it->second;
    }

    if (m_st.star) {
        // "\*" marks a group to skip unless we know its word
        m_st.star = false;
        if (w != Word::ShpPict && w != Word::ShpInst) {
            m_st.dest = Dest::Skip;
            return;
        }
    }

    if (m_ucSkip > 0 && w != Word::Bin) {
        --m_ucSkip;
        return;
    }
    // Pictures and objects are kept as the group they open; one that does not
    // open its group (or stands in the outer group) is not kept.
    const bool opensGroup = !m_stack.empty() && start - 2 == m_begin + m_st.groupStart;
    word(w, hasParam, value, opensGroup);
}

void Parser::word(Word w, bool hasParam, int param, bool opensGroup)
{
    const bool inText = m_st.dest == Dest::Text;
    const bool on = !hasParam || param != 0;
    // Inside an object or picture, header words would change how the rest of
    // the document decodes, and they come back each time the object is read.
    const bool inEmbedded = m_objectDepth >= 0 || m_pictDepth >= 0;
    switch (w) {
    case Word::Unknown:
    case Word::Rtf:
    case Word::Ansi:
    case Word::ShpPict:
        return;
    case Word::AnsiCpg:
        if (inEmbedded)
            return;
        if (isKnownCodePage(param))
            m_tables.ansiCodePage = param;
        updateCodePage();
        return;
    case Word::Deff:
        if (inEmbedded)
            return;
        m_tables.defaultFont = param;
        updateCodePage();
        return;
    case Word::FontTable:
        m_st.dest = inEmbedded ? Dest::Skip : Dest::FontTable;
        return;
    case Word::ColorTable:
        m_st.dest = inEmbedded ? Dest::Skip : Dest::ColorTable;
        m_color = Color();
        return;
    case Word::Fcharset:
        if (m_st.dest == Dest::FontTable)
            m_fontCharset = param;
        return;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        if (m_st.dest == Dest::ColorTable) {
            const int v = std::clamp(param, 0, 255);
            (w == Word::Red ? m_color.red : w == Word::Green ? m_color.green : m_color.blue) = v;
            m_color.automatic = false;
        }
        return;
    case Word::SkipDest:
    case Word::ObjData:
    case Word::NonShpPict:
        m_st.dest = Dest::Skip;
        return;
    case Word::Pict:
        if (!opensGroup || m_pictDepth >= 0
            || (m_st.dest != Dest::Text && m_st.dest != Dest::ObjResult)) {
            m_st.dest = Dest::Skip;
            return;
        }
        m_st.dest = Dest::Pict;
        m_pictDepth = int(m_stack.size());
        m_pict = Picture();
        m_pict.kind = Picture::Other;
        m_pictNibble = -1;
        m_picW = m_picH = m_picGoalW = m_picGoalH = 0;
        m_picScaleX = m_picScaleY = 100;
        m_pictStart = m_st.groupStart;
        m_pictChars = m_st.chars;
        return;
    case Word::Object:
    case Word::Shp: // a drawing shape: kept whole like an object, shown by its picture
        if (!opensGroup || m_objectDepth >= 0 || !inText) {
            m_st.dest = Dest::Skip;
            return;
        }
        m_st.dest = Dest::Object;
        m_objectDepth = int(m_stack.size());
        m_object = EmbeddedObject();
        m_object.isObject = true;
        m_objScaleX = m_objScaleY = 100;
        m_objectStart = m_st.groupStart;
        m_objectChars = m_st.chars;
        m_shpLeft = m_shpRight = m_shpTop = m_shpBottom = 0;
        return;
    case Word::ShpInst:
        m_st.dest = m_st.dest == Dest::Object ? Dest::ObjResult : Dest::Skip;
        return;
    case Word::ShpLeft:
        m_shpLeft = param;
        return;
    case Word::ShpRight:
        m_shpRight = param;
        return;
    case Word::ShpTop:
        m_shpTop = param;
        return;
    case Word::ShpBottom:
        m_shpBottom = param;
        return;
    case Word::Result:
        if (m_st.dest == Dest::Object)
            m_st.dest = Dest::ObjResult;
        return;

    case Word::Par:
    case Word::Sect:
        if (m_ucSkip == 0 && inText)
            paragraph();
        return;
    case Word::Line:
        if (inText)
            lineBreak();
        return;
    case Word::Tab:
        text('\t');
        return;
    case Word::Emdash:
        text(0x2014);
        return;
    case Word::Endash:
        text(0x2013);
        return;
    case Word::Bullet:
        text(0x2022);
        return;
    case Word::Lquote:
        text(0x2018);
        return;
    case Word::Rquote:
        text(0x2019);
        return;
    case Word::Ldblquote:
        text(0x201C);
        return;
    case Word::Rdblquote:
        text(0x201D);
        return;
    case Word::Zwj:
        text(0x200D);
        return;
    case Word::Zwnj:
        text(0x200C);
        return;
    case Word::LtrMark:
        text(0x200E);
        return;
    case Word::RtlMark:
        text(0x200F);
        return;
    case Word::U: {
        // signed 16-bit in the file: negative values stand for 32768..65535
        int code = param < 0 ? param + 65536 : param;
        if (code >= 0 && code <= 0xFFFF && code != 0) {
            if (m_st.dest == Dest::Text)
                addChar(char16_t(code));
            else if (m_st.dest == Dest::FontTable && m_fontOpen)
                m_fontName.append(QChar(char16_t(code)));
        }
        m_ucSkip = m_st.uc;
        return;
    }
    case Word::Uc:
        m_st.uc = std::clamp(param, 0, 1 << 20);
        return;
    case Word::Bin: {
        const qsizetype count = std::min<qsizetype>(std::max(param, 0), m_end - m_p);
        if (m_st.dest == Dest::Pict) {
            for (qsizetype i = 0; i < count; ++i)
                m_pict.data.append(char(m_p[i] & 0xFF));
        }
        m_p += count;
        return;
    }

    case Word::Plain:
        m_st.latin = CharProps();
        m_st.assoc = Associated();
        m_st.rtlch = false;
        updateChars();
        return;
    case Word::F:
        if (m_st.dest == Dest::FontTable) {
            if (m_fontOpen)
                commitFont();
            m_fontOpen = true;
            m_fontNumber = param;
            m_fontName.clear();
            m_fontCharset = -1;
            return;
        }
        fontNumber(param);
        return;
    case Word::Fs:
        if (hasParam && param > 0)
            m_st.latin.halfPoints = std::min(param, 3276);
        updateChars();
        return;
    case Word::Bold:
        m_st.latin.bold = on;
        updateChars();
        return;
    case Word::Italic:
        m_st.latin.italic = on;
        updateChars();
        return;
    case Word::Underline:
        m_st.latin.underline = on;
        updateChars();
        return;
    case Word::UnderlineNone:
        m_st.latin.underline = false;
        updateChars();
        return;
    case Word::Cf:
        m_st.latin.color = std::max(param, 0);
        updateChars();
        return;
    // right-to-left runs take the associated properties where they are given
    case Word::RtlCh:
        m_st.rtlch = true;
        updateChars();
        return;
    case Word::LtrCh:
        m_st.rtlch = false;
        updateChars();
        return;
    case Word::Af:
        m_st.assoc.font = param;
        updateChars();
        return;
    case Word::Afs:
        if (hasParam && param > 0)
            m_st.assoc.halfPoints = std::min(param, 3276);
        updateChars();
        return;
    case Word::Ab:
        m_st.assoc.bold = on ? 1 : 0;
        updateChars();
        return;
    case Word::Ai:
        m_st.assoc.italic = on ? 1 : 0;
        updateChars();
        return;

    case Word::Pard:
        m_st.para = ParaProps();
        m_tabKind = TabKind::Leading;
        m_paraStated = true;
        m_lastPara = m_st.para;
        return;
    case Word::Fi:
    case Word::Li:
    case Word::Ri:
    case Word::Lin:
    case Word::Rin: {
        const int twips = std::clamp(param, -kMaxIndent, kMaxIndent);
        ParaProps &para = m_st.para;
        if (w == Word::Fi)
            para.firstIndent = twips;
        else if (w == Word::Li)
            para.leftIndent = twips;
        else if (w == Word::Ri)
            para.rightIndent = twips;
        else if (w == Word::Lin)
            para.leadingIndent = twips;
        else
            para.trailingIndent = twips;
        m_paraStated = true;
        m_lastPara = m_st.para;
        return;
    }
    case Word::Tqr:
        m_tabKind = TabKind::Trailing;
        return;
    case Word::Tqc:
        m_tabKind = TabKind::Center;
        return;
    case Word::Tx:
        if (m_st.para.tabs.size() < kMaxTabs)
            m_st.para.tabs.push_back(TabStop { std::clamp(param, 0, kMaxIndent), m_tabKind });
        m_tabKind = TabKind::Leading;
        m_paraStated = true;
        m_lastPara = m_st.para;
        return;
    case Word::Ql:
    case Word::Qr:
    case Word::Qc:
    case Word::Qj:
        m_st.para.align = w == Word::Ql ? Align::Left
            : w == Word::Qr             ? Align::Right
            : w == Word::Qc             ? Align::Center
                                        : Align::Justify;
        m_paraStated = true;
        m_lastPara = m_st.para;
        return;
    case Word::RtlPar:
        m_st.para.direction = Direction::RightToLeft;
        m_paraStated = true;
        m_lastPara = m_st.para;
        return;
    case Word::LtrPar:
        m_st.para.direction = Direction::LeftToRight;
        m_paraStated = true;
        m_lastPara = m_st.para;
        return;

    case Word::PicW:
        m_picW = param;
        return;
    case Word::PicH:
        m_picH = param;
        return;
    case Word::PicWGoal:
        m_picGoalW = param;
        return;
    case Word::PicHGoal:
        m_picGoalH = param;
        return;
    case Word::PicScaleX:
        m_picScaleX = param;
        return;
    case Word::PicScaleY:
        m_picScaleY = param;
        return;
    case Word::PngBlip:
        if (m_st.dest == Dest::Pict)
            m_pict.kind = Picture::Png;
        return;
    case Word::JpegBlip:
        if (m_st.dest == Dest::Pict)
            m_pict.kind = Picture::Jpeg;
        return;
    case Word::OtherBlip:
        if (m_st.dest == Dest::Pict)
            m_pict.kind = Picture::Other;
        return;
    case Word::ObjW:
        m_object.widthTwips = param;
        return;
    case Word::ObjH:
        m_object.heightTwips = param;
        return;
    case Word::ObjScaleX:
        m_objScaleX = param;
        return;
    case Word::ObjScaleY:
        m_objScaleY = param;
        return;
    }
}

void Parser::fontNumber(int number)
{
    m_st.latin.font = number;
    updateChars();
}

void Parser::updateChars()
{
    m_st.chars = m_st.latin;
    if (m_st.rtlch) {
        const Associated &a = m_st.assoc;
        if (a.font >= 0)
            m_st.chars.font = a.font;
        if (a.halfPoints > 0)
            m_st.chars.halfPoints = a.halfPoints;
        if (a.bold >= 0)
            m_st.chars.bold = a.bold != 0;
        if (a.italic >= 0)
            m_st.chars.italic = a.italic != 0;
    }
    updateCodePage();
}

void Parser::updateCodePage()
{
    const int font = m_st.chars.font >= 0 ? m_st.chars.font : m_tables.defaultFont;
    m_st.codePage = byteTable(codePageForFont(m_tables, font));
}

void Parser::commitFont()
{
    if (m_fontOpen) {
        Font font;
        font.name = m_fontName.trimmed();
        font.charset = m_fontCharset;
        m_tables.fonts.insert(m_fontNumber, font);
    }
    m_fontOpen = false;
    m_fontName.clear();
}

// Sizes from the file are clamped: the numbers may be anything.
int clampSize(long long value)
{
    return int(std::clamp<long long>(value, 0, INT_MAX));
}

int scaled(int value, int percent)
{
    if (percent <= 0)
        return clampSize(value);
    return clampSize((long long)value * percent / 100);
}

void Parser::finishPicture()
{
    m_pictDepth = -1;
    Picture pict = std::move(m_pict);
    m_pict = Picture();
    // \picw and \pich are pixels for bitmaps, hundredths of a millimetre for metafiles
    int w = m_picGoalW;
    int h = m_picGoalH;
    if (w <= 0)
        w = clampSize(pict.kind == Picture::Other ? (long long)m_picW * 1440 / 2540
                                                  : (long long)m_picW * 15);
    if (h <= 0)
        h = clampSize(pict.kind == Picture::Other ? (long long)m_picH * 1440 / 2540
                                                  : (long long)m_picH * 15);
    pict.widthTwips = std::max(0, scaled(w, m_picScaleX));
    pict.heightTwips = std::max(0, scaled(h, m_picScaleY));

    if (m_objectDepth >= 0) {
        if (m_object.picture.kind == Picture::None)
            m_object.picture = std::move(pict);
        return;
    }
    EmbeddedObject object;
    const qsizetype end = m_p - m_begin + 1; // the closing brace is at m_p
    object.raw = QStringView(m_begin + m_pictStart, end - m_pictStart).toString();
    object.widthTwips = pict.widthTwips;
    object.heightTwips = pict.heightTwips;
    object.picture = std::move(pict);
    emitObject(object, m_pictChars);
}

void Parser::finishObject()
{
    m_objectDepth = -1;
    EmbeddedObject object = std::move(m_object);
    m_object = EmbeddedObject();
    const qsizetype end = m_p - m_begin + 1;
    object.raw = QStringView(m_begin + m_objectStart, end - m_objectStart).toString();
    object.widthTwips = std::max(0, scaled(object.widthTwips, m_objScaleX));
    object.heightTwips = std::max(0, scaled(object.heightTwips, m_objScaleY));
    if (object.widthTwips == 0 || object.heightTwips == 0) {
        object.widthTwips = clampSize((long long)m_shpRight - m_shpLeft);
        object.heightTwips = clampSize((long long)m_shpBottom - m_shpTop);
    }
    if (object.widthTwips == 0 || object.heightTwips == 0) {
        object.widthTwips = object.picture.widthTwips;
        object.heightTwips = object.picture.heightTwips;
    }
    emitObject(object, m_objectChars);
}

} // namespace

bool looksLikeRtf(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size()
        && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    return text.mid(i).startsWith(u"{\\rtf");
}

int codePageForFont(const Tables &tables, int fontNumber)
{
    if (const Font *font = tables.font(fontNumber)) {
        const int codePage = codePageForCharset(font->charset);
        if (codePage != 0)
            return codePage;
    }
    return tables.ansiCodePage;
}

void parse(QStringView rtf, Sink &sink, Mode mode)
{
    Parser parser(rtf, sink, mode);
    parser.run();
}

} // namespace zorvel::rtf
