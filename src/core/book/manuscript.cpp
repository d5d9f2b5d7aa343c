#include "core/book/manuscript.h"

#include "core/book/inlinepictures.h"
#include "core/book/paragraphtable.h"
#include "core/book/textrules.h"
#include "core/book/titlesuggest.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/richtext/rtf_writer.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>

namespace zorvel {

namespace {

constexpr qint64 kEntryLimit = 200LL * 1024 * 1024; // bytes unpacked
constexpr char16_t kNoteMark = 0xE000; // where a note is referred to
constexpr char16_t kPictureMark = 0xE001; // where a picture stands

// Thrown inside the reader; turned into ManuscriptRead::problem.
struct Unreadable {
    QString reason;
};

// The archive, read entry by entry into memory.
class Archive {
public:
    Archive(const QByteArray &bytes)
        : m_bytes(bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(
            m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
        if (source)
            m_zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (source && !m_zip)
            zip_source_free(source);
        zip_error_fini(&error);
        if (!m_zip)
            throw Unreadable { QStringLiteral(u"فايل يك بايگاني ZIP نيست") };
    }
    ~Archive()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    bool has(const QString &name) const { return index(name) >= 0; }

    // nullopt when there is no such entry.
    std::optional<QByteArray> read(const QString &name) const
    {
        const zip_int64_t i = index(name);
        if (i < 0)
            return std::nullopt;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, zip_uint64_t(i), 0, &st) < 0 || !(st.valid & ZIP_STAT_SIZE))
            throw Unreadable { QStringLiteral(u"بخش %1 خوانده نشد").arg(name) };
        if (st.size > zip_uint64_t(kEntryLimit))
            throw Unreadable { tooLarge(name) };
        zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(i), 0);
        if (!file)
            throw Unreadable { QStringLiteral(u"بخش %1 خوانده نشد").arg(name) };
        QByteArray out;
        out.resize(qsizetype(st.size));
        qint64 got = 0;
        bool failed = false;
        while (got < out.size()) {
            const zip_int64_t n = zip_fread(file, out.data() + got, zip_uint64_t(out.size() - got));
            if (n <= 0) {
                failed = n < 0;
                break;
            }
            got += n;
        }
        // An entry that unpacks to more than its stated size is not trusted.
        char extra;
        const bool more = !failed && zip_fread(file, &extra, 1) > 0;
        zip_fclose(file);
        if (failed || got != out.size())
            throw Unreadable { QStringLiteral(u"بخش %1 خوانده نشد").arg(name) };
        if (more)
            throw Unreadable { tooLarge(name) };
        return out;
    }

private:
    static QString tooLarge(const QString &name)
    {
        return QStringLiteral(u"بخش %1 باز شده بيش از ۲۰۰ مگابايت است").arg(name);
    }
    zip_int64_t index(const QString &name) const
    {
        return zip_name_locate(m_zip, name.toUtf8().constData(), 0);
    }

    QByteArray m_bytes;
    zip_t *m_zip = nullptr;
};

// One paragraph, or one table row, in reading order.
struct Block {
    int level = -1; // heading level 0..8; -1 for body text
    bool isBookTitle = false;
    QString text; // '\n' between lines; kNoteMark and kPictureMark where they stand
    QList<int> pictures; // by kPictureMark, in order
    QStringList notes; // by kNoteMark, in order

    void append(const Block &other)
    {
        text += other.text;
        pictures += other.pictures;
        notes += other.notes;
    }
    bool empty() const
    {
        for (QChar c : text)
            if (!c.isSpace() && c != u'\u200C' && c != u'\u200D' && c != u'\u200E'
                && c != u'\u200F')
                return false;
        return true;
    }
};

void malformed(const QXmlStreamReader &xml, const QString &entry)
{
    throw Unreadable { QStringLiteral(u"XML بخش %1 نادرست است (سطر %2: %3)")
                           .arg(entry)
                           .arg(xml.lineNumber())
                           .arg(xml.errorString()) };
}

bool inNs(const QXmlStreamReader &xml, QStringView part)
{
    return xml.namespaceUri().contains(part);
}

QString attr(const QXmlStreamReader &xml, QStringView localName)
{
    for (const QXmlStreamAttribute &a : xml.attributes())
        if (a.name() == localName)
            return a.value().toString();
    return {};
}

// Collects the pictures of a manuscript once each, by archive entry.
class Pictures {
public:
    explicit Pictures(const Archive &zip)
        : m_zip(zip)
    {
    }
    // -1 when the entry is missing or not a picture the pages can show.
    int add(const QString &entry)
    {
        const auto it = m_byEntry.constFind(entry);
        if (it != m_byEntry.cend())
            return *it;
        const QString ext = QFileInfo(entry).suffix().toLower();
        static const QSet<QString> shown { QStringLiteral("png"), QStringLiteral("jpg"),
            QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("bmp"),
            QStringLiteral("webp"), QStringLiteral("svg") };
        int n = -1;
        if (shown.contains(ext)) {
            if (std::optional<QByteArray> data = m_zip.read(entry)) {
                n = int(list.size());
                list.append(ManuscriptPicture { entry, ext, *data });
            }
        }
        m_byEntry.insert(entry, n);
        return n;
    }
    QList<ManuscriptPicture> list;

private:
    const Archive &m_zip;
    QHash<QString, int> m_byEntry;
};

void addPicture(Block &b, int n)
{
    if (n < 0)
        return;
    b.text += QChar(kPictureMark);
    b.pictures.append(n);
}

// ---- DOCX ----

struct WordStyle {
    QString name;
    QString basedOn;
    int outline = -2; // -2: not set; 9 body text
    QString numId; // the list a style's paragraphs are numbered in
    int numLevel = 0;
};

// One level of a numbered list of numbering.xml.
struct ListLevel {
    QString format = QStringLiteral("decimal");
    QString text = QStringLiteral("%1.");
    int start = 1;
};

QString romanNumber(int n)
{
    static const std::pair<int, const char *> parts[] = { { 1000, "m" }, { 900, "cm" },
        { 500, "d" }, { 400, "cd" }, { 100, "c" }, { 90, "xc" }, { 50, "l" }, { 40, "xl" },
        { 10, "x" }, { 9, "ix" }, { 5, "v" }, { 4, "iv" }, { 1, "i" } };
    QString out;
    for (const auto &[value, letters] : parts)
        for (; n >= value; n -= value)
            out += QLatin1String(letters);
    return out;
}

// A list number as the format shows it.
QString listNumber(int n, const QString &format)
{
    if (format == u"lowerLetter" || format == u"upperLetter") {
        const QString one(QChar(u'a' + (n - 1) % 26));
        const QString t = one.repeated((n - 1) / 26 + 1);
        return format == u"upperLetter" ? t.toUpper() : t;
    }
    if (format == u"lowerRoman")
        return romanNumber(n);
    if (format == u"upperRoman")
        return romanNumber(n).toUpper();
    if (format == u"bullet")
        return QStringLiteral("•");
    if (format == u"none")
        return {};
    if (format == u"decimalZero" && n < 10)
        return u'0' + QString::number(n);
    if (format == u"arabicAbjad" || format == u"arabicAlpha") {
        const QString letters = format == u"arabicAbjad"
            ? QStringLiteral(u"ابجدهوزحطيكلمنسعفصقرشتثخذضظغ")
            : QStringLiteral(u"ابتثجحخدذرزسشصضطظعغفقكلمنهوي");
        return n >= 1 && n <= letters.size() ? QString(letters[n - 1]) : QString::number(n);
    }
    if (format == u"hindiNumbers" || format == u"arabicAbjadNumeric") {
        QString t = QString::number(n);
        for (QChar &c : t)
            c = QChar(c.unicode() - u'0' + 0x06F0);
        return t;
    }
    return QString::number(n);
}

class DocxReader {
public:
    DocxReader(const Archive &zip)
        : m_zip(zip)
        , m_pictures(zip)
    {
    }

    QList<Block> read(QList<ManuscriptPicture> *pictures)
    {
        const std::optional<QByteArray> document = m_zip.read(QStringLiteral("word/document.xml"));
        if (!document)
            throw Unreadable { QStringLiteral(u"بخش word/document.xml در فايل نيست") };
        readStyles();
        readNumbering();
        readRelations();
        m_notes = readNotes(QStringLiteral("word/footnotes.xml"), u"footnote");
        m_endnotes = readNotes(QStringLiteral("word/endnotes.xml"), u"endnote");

        QList<Block> blocks;
        QXmlStreamReader xml(*document);
        m_entry = QStringLiteral("word/document.xml");
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement() || !inNs(xml, u"wordprocessingml"))
                continue;
            if (xml.name() == u"p")
                addBlock(blocks, paragraph(xml));
            else if (xml.name() == u"tbl")
                table(xml, blocks);
            else if (xml.name() == u"del" || xml.name() == u"moveFrom" || xml.name() == u"sectPr")
                xml.skipCurrentElement();
        }
        if (xml.hasError())
            malformed(xml, m_entry);
        *pictures = m_pictures.list;
        return blocks;
    }

private:
    void addBlock(QList<Block> &blocks, const Block &b)
    {
        if (!b.empty() || !b.pictures.isEmpty())
            blocks.append(b);
    }

    void readStyles()
    {
        const std::optional<QByteArray> bytes = m_zip.read(QStringLiteral("word/styles.xml"));
        if (!bytes)
            return;
        QXmlStreamReader xml(*bytes);
        QString id;
        bool inParagraphProps = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && inNs(xml, u"wordprocessingml")) {
                const QStringView n = xml.name();
                if (n == u"style") {
                    id = attr(xml, u"styleId");
                    if (attr(xml, u"type") != u"paragraph" && !attr(xml, u"type").isEmpty())
                        id.clear();
                    else if (attr(xml, u"default") == u"1" || attr(xml, u"default") == u"true")
                        m_defaultStyle = id;
                    if (!id.isEmpty())
                        m_styles.insert(id, WordStyle {});
                } else if (id.isEmpty()) {
                    continue;
                } else if (n == u"name") {
                    m_styles[id].name = attr(xml, u"val");
                } else if (n == u"basedOn") {
                    m_styles[id].basedOn = attr(xml, u"val");
                } else if (n == u"pPr") {
                    inParagraphProps = true;
                } else if (n == u"outlineLvl" && inParagraphProps) {
                    bool ok = false;
                    const int v = attr(xml, u"val").toInt(&ok);
                    if (ok)
                        m_styles[id].outline = v;
                } else if (n == u"numId" && inParagraphProps) {
                    m_styles[id].numId = attr(xml, u"val");
                } else if (n == u"ilvl" && inParagraphProps) {
                    m_styles[id].numLevel = std::clamp(attr(xml, u"val").toInt(), 0, 8);
                }
            } else if (xml.isEndElement() && inNs(xml, u"wordprocessingml")) {
                if (xml.name() == u"pPr")
                    inParagraphProps = false;
                else if (xml.name() == u"style")
                    id.clear();
            }
        }
        if (xml.hasError())
            malformed(xml, QStringLiteral("word/styles.xml"));
    }

    // The heading level a style gives, -1 for none.
    int styleLevel(const QString &id, int depth = 0) const
    {
        const auto it = m_styles.constFind(id);
        if (it == m_styles.cend() || depth > 20)
            return -1;
        if (it->outline != -2)
            return it->outline >= 0 && it->outline <= 8 ? it->outline : -1;
        // Word keeps the built-in names in English, whatever the style id.
        const QString name = it->name.trimmed().toLower();
        if (name.startsWith(QLatin1String("heading "))) {
            bool ok = false;
            const int n = name.mid(8).toInt(&ok);
            if (ok && n >= 1 && n <= 9)
                return n - 1;
        }
        return it->basedOn.isEmpty() ? -1 : styleLevel(it->basedOn, depth + 1);
    }

    void styleNumbering(const QString &id, QString *numId, int *level, int depth = 0) const
    {
        const auto it = m_styles.constFind(id);
        if (it == m_styles.cend() || depth > 20)
            return;
        if (!it->numId.isEmpty()) {
            *numId = it->numId;
            if (*level < 0)
                *level = it->numLevel;
            return;
        }
        if (!it->basedOn.isEmpty())
            styleNumbering(it->basedOn, numId, level, depth + 1);
    }

    // The number of the next paragraph of list numId at level: counted per
    // list, a level's count starting again under each item above it.
    QString listLabel(const QString &numId, int level)
    {
        if (numId.isEmpty() || numId == u"0" || !m_lists.contains(numId))
            return {};
        const QString abstractId = m_lists.value(numId);
        const QList<ListLevel> levels = m_listLevels.value(abstractId);
        if (level >= levels.size())
            return {};
        QList<int> &count = m_counts[numId];
        count.resize(9);
        count[level] = count[level] == 0 ? levels[level].start : count[level] + 1;
        for (int k = level + 1; k < 9; ++k)
            count[k] = 0;
        QString label = levels[level].text;
        for (int k = 0; k <= level && k < levels.size(); ++k)
            label.replace(QStringLiteral("%") + QString::number(k + 1),
                listNumber(count[k] > 0 ? count[k] : levels[k].start, levels[k].format));
        return levels[level].format == u"bullet" ? QStringLiteral("•") : label.trimmed();
    }

    void readNumbering()
    {
        const QString entry = QStringLiteral("word/numbering.xml");
        const std::optional<QByteArray> bytes = m_zip.read(entry);
        if (!bytes)
            return;
        QXmlStreamReader xml(*bytes);
        QString abstractId, numId;
        int level = -1;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"abstractNum")
                abstractId.clear();
            if (xml.isEndElement() && xml.name() == u"num")
                numId.clear();
            if (!xml.isStartElement() || !inNs(xml, u"wordprocessingml"))
                continue;
            const QStringView n = xml.name();
            if (n == u"abstractNum") {
                abstractId = attr(xml, u"abstractNumId");
                m_listLevels[abstractId] = QList<ListLevel>(9);
            } else if (n == u"num") {
                numId = attr(xml, u"numId");
            } else if (n == u"abstractNumId" && !numId.isEmpty()) {
                m_lists.insert(numId, attr(xml, u"val"));
            } else if (n == u"lvl" && !abstractId.isEmpty()) {
                level = std::clamp(attr(xml, u"ilvl").toInt(), 0, 8);
            } else if (!abstractId.isEmpty() && level >= 0) {
                ListLevel &l = m_listLevels[abstractId][level];
                if (n == u"start")
                    l.start = std::max(attr(xml, u"val").toInt(), 0);
                else if (n == u"numFmt")
                    l.format = attr(xml, u"val");
                else if (n == u"lvlText")
                    l.text = attr(xml, u"val");
            }
        }
        if (xml.hasError())
            malformed(xml, entry);
    }

    bool styleIsTitle(const QString &id, int depth = 0) const
    {
        const auto it = m_styles.constFind(id);
        if (it == m_styles.cend() || depth > 20)
            return id == u"Title";
        if (it->name.compare(QLatin1String("title"), Qt::CaseInsensitive) == 0 || id == u"Title")
            return true;
        return !it->basedOn.isEmpty() && styleIsTitle(it->basedOn, depth + 1);
    }

    bool styleIsContents(const QString &id) const
    {
        const QString name = m_styles.value(id).name.toLower();
        return name.startsWith(QLatin1String("toc ")) || name == u"toc heading"
            || name == u"table of figures";
    }

    void readRelations()
    {
        const QString entry = QStringLiteral("word/_rels/document.xml.rels");
        const std::optional<QByteArray> bytes = m_zip.read(entry);
        if (!bytes)
            return;
        QXmlStreamReader xml(*bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement() || xml.name() != u"Relationship")
                continue;
            if (attr(xml, u"TargetMode").compare(QLatin1String("External"), Qt::CaseInsensitive)
                == 0)
                continue;
            QString target = attr(xml, u"Target");
            target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("word/") + target;
            m_relations.insert(attr(xml, u"Id"), target);
        }
        if (xml.hasError())
            malformed(xml, entry);
    }

    QHash<QString, QString> readNotes(const QString &entry, QStringView element)
    {
        QHash<QString, QString> notes;
        const std::optional<QByteArray> bytes = m_zip.read(entry);
        if (!bytes)
            return notes;
        QXmlStreamReader xml(*bytes);
        m_entry = entry;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement() || !inNs(xml, u"wordprocessingml") || xml.name() != element)
                continue;
            const QString id = attr(xml, u"id");
            const QString type = attr(xml, u"type");
            QStringList parts;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == element)
                    break;
                if (xml.isStartElement() && inNs(xml, u"wordprocessingml") && xml.name() == u"p") {
                    const Block b = paragraph(xml, true);
                    if (!b.empty())
                        parts << b.text.simplified();
                }
            }
            if (type.isEmpty() || type == u"normal")
                notes.insert(id, parts.join(u' '));
        }
        if (xml.hasError())
            malformed(xml, entry);
        return notes;
    }

    // At a w:p start; returns after its end. In a note, references and
    // pictures are left out.
    Block paragraph(QXmlStreamReader &xml, bool inNote = false)
    {
        Block b;
        QString style;
        int ownLevel = -2;
        QString numId;
        int numLevel = -1;
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement()) {
                --depth;
                continue;
            }
            if (xml.isCharacters() || !xml.isStartElement())
                continue;
            ++depth;
            const QStringView n = xml.name();
            const bool w = inNs(xml, u"wordprocessingml");
            if (w && n == u"pPr" && depth == 2) {
                // the paragraph's own properties
                int d = 1;
                while (d > 0 && !xml.atEnd()) {
                    xml.readNext();
                    if (xml.isEndElement()) {
                        --d;
                    } else if (xml.isStartElement()) {
                        ++d;
                        if (xml.name() == u"pStyle" && d == 2)
                            style = attr(xml, u"val");
                        else if (xml.name() == u"outlineLvl" && d == 2)
                            ownLevel = attr(xml, u"val").toInt();
                        else if (xml.name() == u"numId" && d == 3)
                            numId = attr(xml, u"val");
                        else if (xml.name() == u"ilvl" && d == 3)
                            numLevel = std::clamp(attr(xml, u"val").toInt(), 0, 8);
                        else if (xml.name() == u"rPr") {
                            xml.skipCurrentElement();
                            --d;
                        }
                    }
                }
                --depth;
            } else if (w && n == u"t") {
                b.text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            } else if (w
                && (n == u"del" || n == u"moveFrom" || n == u"instrText" || n == u"delText"
                    || n == u"rPr")) {
                xml.skipCurrentElement();
                --depth;
            } else if (n == u"Fallback") {
                // The same drawing once more for older readers.
                xml.skipCurrentElement();
                --depth;
            } else if (w && (n == u"tab" || n == u"ptab")) {
                b.text += u' ';
            } else if (w && (n == u"br" || n == u"cr")) {
                b.text += u'\n';
            } else if (w && n == u"noBreakHyphen") {
                b.text += u'-';
            } else if (w && n == u"p") {
                // a paragraph inside a text box: its own line
                if (!b.text.isEmpty() && !b.text.endsWith(u'\n'))
                    b.text += u'\n';
            } else if (w && (n == u"footnoteReference" || n == u"endnoteReference")) {
                if (!inNote) {
                    const auto &notes = n == u"footnoteReference" ? m_notes : m_endnotes;
                    b.text += QChar(kNoteMark);
                    b.notes.append(notes.value(attr(xml, u"id")));
                }
            } else if (!inNote && (n == u"blip" || n == u"imagedata")) {
                const QString id = n == u"blip" ? attr(xml, u"embed") : attr(xml, u"id");
                const QString target = m_relations.value(id);
                if (!target.isEmpty())
                    addPicture(b, m_pictures.add(target));
            }
        }
        if (xml.hasError())
            malformed(xml, m_entry);
        if (style.isEmpty())
            style = m_defaultStyle;
        if (styleIsContents(style)) {
            b.text.clear(); // a table of contents made by the word processor
            b.pictures.clear();
            b.notes.clear();
        }
        b.level
            = ownLevel != -2 ? (ownLevel >= 0 && ownLevel <= 8 ? ownLevel : -1) : styleLevel(style);
        b.isBookTitle = b.level < 0 && styleIsTitle(style);
        if (!inNote && !b.empty()) {
            if (numId.isEmpty())
                styleNumbering(style, &numId, &numLevel);
            const QString label = listLabel(numId, std::max(numLevel, 0));
            if (!label.isEmpty())
                b.text.prepend(label + u' ');
        }
        return b;
    }

    // At a w:tbl start: one block per row, its cells joined by " | ".
    void table(QXmlStreamReader &xml, QList<Block> &blocks)
    {
        for (const Block &row : rows(xml))
            addBlock(blocks, row);
    }

    QList<Block> rows(QXmlStreamReader &xml, int nesting = 0)
    {
        QList<Block> out;
        if (nesting > 32) {
            xml.skipCurrentElement(); // tables in tables without end: no deeper
            return out;
        }
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"tbl")
                break;
            if (!xml.isStartElement() || !inNs(xml, u"wordprocessingml"))
                continue;
            if (xml.name() == u"tr")
                out.append(row(xml, nesting));
            else if (xml.name() == u"del" || xml.name() == u"tblPr" || xml.name() == u"tblGrid")
                xml.skipCurrentElement();
        }
        return out;
    }

    Block row(QXmlStreamReader &xml, int nesting)
    {
        Block r;
        bool first = true;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"tr")
                break;
            if (!xml.isStartElement() || !inNs(xml, u"wordprocessingml"))
                continue;
            if (xml.name() == u"tc") {
                Block cell;
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isEndElement() && xml.name() == u"tc")
                        break;
                    if (!xml.isStartElement() || !inNs(xml, u"wordprocessingml"))
                        continue;
                    Block part;
                    if (xml.name() == u"p") {
                        part = paragraph(xml);
                    } else if (xml.name() == u"tbl") {
                        for (const Block &inner : rows(xml, nesting + 1)) {
                            if (!part.text.isEmpty())
                                part.text += u' ';
                            part.append(inner);
                        }
                    } else {
                        continue;
                    }
                    if (part.empty() && part.pictures.isEmpty())
                        continue;
                    part.text.replace(u'\n', u' ');
                    if (!cell.text.isEmpty())
                        cell.text += u' ';
                    cell.append(part);
                }
                if (!first)
                    r.text += QStringLiteral(" | ");
                first = false;
                r.append(cell);
            } else if (xml.name() == u"trPr" || xml.name() == u"tblPrEx") {
                xml.skipCurrentElement();
            }
        }
        return r;
    }

    const Archive &m_zip;
    Pictures m_pictures;
    QHash<QString, WordStyle> m_styles;
    QString m_defaultStyle;
    QHash<QString, QString> m_relations;
    QHash<QString, QString> m_notes, m_endnotes;
    QHash<QString, QString> m_lists; // numId -> abstractNumId
    QHash<QString, QList<ListLevel>> m_listLevels;
    QHash<QString, QList<int>> m_counts;
    QString m_entry;
};

// ---- ODT ----

class OdtReader {
public:
    OdtReader(const Archive &zip)
        : m_zip(zip)
        , m_pictures(zip)
    {
    }

    QList<Block> read(QList<ManuscriptPicture> *pictures)
    {
        const std::optional<QByteArray> content = m_zip.read(QStringLiteral("content.xml"));
        if (!content)
            throw Unreadable { QStringLiteral(u"بخش content.xml در فايل نيست") };
        readStyles(QStringLiteral("styles.xml"));
        readStyles(QStringLiteral("content.xml"));
        QList<Block> blocks;
        QXmlStreamReader xml(*content);
        m_entry = QStringLiteral("content.xml");
        bool inBody = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            const QStringView n = xml.name();
            if (inNs(xml, u":office:") && n == u"text") {
                inBody = true;
                continue;
            }
            if (!inBody)
                continue;
            if (inNs(xml, u":text:") && (n == u"p" || n == u"h")) {
                addBlock(blocks, paragraph(xml));
            } else if (inNs(xml, u":table:") && n == u"table") {
                table(xml, blocks);
            } else if (skipped(xml)) {
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            malformed(xml, m_entry);
        *pictures = m_pictures.list;
        return blocks;
    }

private:
    static bool skipped(const QXmlStreamReader &xml)
    {
        const QStringView n = xml.name();
        if (inNs(xml, u":text:"))
            return n == u"tracked-changes" || n == u"table-of-content" || n == u"illustration-index"
                || n == u"alphabetical-index" || n == u"bibliography" || n == u"sequence-decls"
                || n == u"variable-decls" || n == u"user-field-decls" || n == u"note-citation"
                || n == u"user-index" || n == u"object-index" || n == u"table-index";
        if (inNs(xml, u":office:"))
            return n == u"annotation" || n == u"forms";
        return false;
    }

    void addBlock(QList<Block> &blocks, const Block &b)
    {
        if (!b.empty() || !b.pictures.isEmpty())
            blocks.append(b);
    }

    void readStyles(const QString &entry)
    {
        const std::optional<QByteArray> bytes = m_zip.read(entry);
        if (!bytes)
            return;
        QXmlStreamReader xml(*bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && inNs(xml, u":style:") && xml.name() == u"style") {
                const QString name = attr(xml, u"name");
                m_parent.insert(name, attr(xml, u"parent-style-name"));
                m_display.insert(name, attr(xml, u"display-name"));
            }
            if (entry == u"content.xml" && xml.isStartElement() && inNs(xml, u":office:")
                && xml.name() == u"body")
                break;
        }
        if (xml.hasError())
            malformed(xml, entry);
    }

    bool styleIsTitle(const QString &name) const
    {
        QString s = name;
        for (int i = 0; i < 20 && !s.isEmpty(); ++i) {
            if (s == u"Title" || m_display.value(s) == u"Title")
                return true;
            s = m_parent.value(s);
        }
        return false;
    }

    Block paragraph(QXmlStreamReader &xml)
    {
        Block b;
        const bool heading = xml.name() == u"h";
        const QString style = attr(xml, u"style-name");
        if (heading) {
            bool ok = false;
            const int level = attr(xml, u"outline-level").toInt(&ok);
            b.level = ok ? std::clamp(level - 1, 0, 8) : 0;
        }
        b.isBookTitle = !heading && styleIsTitle(style);
        inline_(xml, b);
        return b;
    }

    // Reads up to the end of the current element into b.
    void inline_(QXmlStreamReader &xml, Block &b, bool inNote = false)
    {
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement()) {
                --depth;
                continue;
            }
            if (xml.isCharacters()) {
                // ODF folds white space in text; spaces it keeps are text:s.
                QString t = xml.text().toString();
                for (QChar &c : t)
                    if (c == u'\n' || c == u'\r' || c == u'\t')
                        c = u' ';
                while (t.contains(QStringLiteral("  ")))
                    t.replace(QStringLiteral("  "), QStringLiteral(" "));
                if (t.startsWith(u' ')
                    && (b.text.isEmpty() || b.text.endsWith(u' ') || b.text.endsWith(u'\n')))
                    t.remove(0, 1);
                b.text += t;
                continue;
            }
            if (!xml.isStartElement())
                continue;
            ++depth;
            const QStringView n = xml.name();
            const bool text = inNs(xml, u":text:");
            if (skipped(xml) || (text && n == u"deletion")) {
                xml.skipCurrentElement();
                --depth;
            } else if (text && n == u"s") {
                bool ok = false;
                const int c = attr(xml, u"c").toInt(&ok);
                b.text += QString(ok && c > 0 ? std::min(c, 1000) : 1, u' ');
            } else if (text && n == u"tab") {
                b.text += u' ';
            } else if (text && n == u"line-break") {
                b.text += u'\n';
            } else if (text && (n == u"p" || n == u"h")) {
                if (!b.text.isEmpty() && !b.text.endsWith(u'\n'))
                    b.text += u'\n';
            } else if (text && n == u"note") {
                if (inNote) {
                    xml.skipCurrentElement();
                } else {
                    Block note;
                    inline_(xml, note, true);
                    b.text += QChar(kNoteMark);
                    b.notes.append(note.text.simplified());
                }
                --depth;
            } else if (!inNote && inNs(xml, u":drawing:") && n == u"image") {
                QString href = attr(xml, u"href");
                if (!href.contains(u':') && !href.isEmpty())
                    addPicture(b,
                        m_pictures.add(href.startsWith(QLatin1String("./")) ? href.mid(2) : href));
            }
        }
        if (xml.hasError())
            malformed(xml, m_entry);
    }

    void table(QXmlStreamReader &xml, QList<Block> &blocks)
    {
        for (const Block &row : rows(xml))
            addBlock(blocks, row);
    }

    QList<Block> rows(QXmlStreamReader &xml, int nesting = 0)
    {
        QList<Block> out;
        if (nesting > 32) {
            xml.skipCurrentElement(); // tables in tables without end: no deeper
            return out;
        }
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"table" && inNs(xml, u":table:"))
                break;
            if (!xml.isStartElement() || !inNs(xml, u":table:") || xml.name() != u"table-row")
                continue;
            Block r;
            bool first = true;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == u"table-row")
                    break;
                if (!xml.isStartElement())
                    continue;
                if (xml.name() == u"covered-table-cell") {
                    xml.skipCurrentElement();
                    continue;
                }
                if (xml.name() != u"table-cell")
                    continue;
                Block cell;
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isEndElement() && xml.name() == u"table-cell")
                        break;
                    if (!xml.isStartElement())
                        continue;
                    Block part;
                    if (inNs(xml, u":text:") && (xml.name() == u"p" || xml.name() == u"h")) {
                        inline_(xml, part);
                    } else if (inNs(xml, u":table:") && xml.name() == u"table") {
                        for (const Block &inner : rows(xml, nesting + 1)) {
                            if (!part.text.isEmpty())
                                part.text += u' ';
                            part.append(inner);
                        }
                    } else {
                        continue;
                    }
                    if (part.empty() && part.pictures.isEmpty())
                        continue;
                    part.text.replace(u'\n', u' ');
                    if (!cell.text.isEmpty())
                        cell.text += u' ';
                    cell.append(part);
                }
                if (!first)
                    r.text += QStringLiteral(" | ");
                first = false;
                r.append(cell);
            }
            out.append(r);
        }
        return out;
    }

    const Archive &m_zip;
    Pictures m_pictures;
    QHash<QString, QString> m_parent, m_display;
    QString m_entry;
};

// ---- From blocks to the book ----

QString titleOf(const Block &b)
{
    QString t;
    for (QChar c : b.text) {
        if (c == kNoteMark || c == kPictureMark)
            continue;
        t += c == u'\n' ? QChar(u' ') : c;
    }
    return t.simplified();
}

// The lines of a page made of blocks; notes numbered from 1 on the page.
class PageBuilder {
public:
    void add(const Block &b)
    {
        int picture = 0, note = 0;
        for (const QString &raw : b.text.split(u'\n')) {
            QString line;
            const auto flush = [&] {
                const QString t = line.trimmed();
                if (!t.isEmpty())
                    lines.append(ManuscriptLine { t, -1 });
                line.clear();
            };
            for (QChar c : raw) {
                if (c == kPictureMark) {
                    flush();
                    lines.append(ManuscriptLine { QString(), b.pictures.value(picture++, -1) });
                } else if (c == kNoteMark) {
                    m_notes.append(b.notes.value(note++));
                    line += QStringLiteral("[%1]").arg(m_notes.size());
                } else {
                    line += c;
                }
            }
            flush();
        }
    }
    void addPicturesOf(const Block &b)
    {
        for (int p : b.pictures)
            lines.append(ManuscriptLine { QString(), p });
    }
    QList<ManuscriptLine> take()
    {
        for (qsizetype i = 0; i < m_notes.size(); ++i)
            lines.append(ManuscriptLine { QStringLiteral("[%1] ").arg(i + 1) + m_notes[i], -1 });
        m_notes.clear();
        return std::exchange(lines, {});
    }
    QList<ManuscriptLine> lines;

private:
    QStringList m_notes;
};

Manuscript build(QList<Block> blocks, const QString &fileName)
{
    Manuscript m;
    m.fileName = fileName;
    for (Block &b : blocks) {
        if (b.level >= 0 && titleOf(b).isEmpty())
            b.level = -1; // an empty heading is no heading
    }
    // The plain text: every paragraph as it reads.
    for (const Block &b : blocks) {
        QString t = b.text;
        t.remove(QChar(kPictureMark));
        int k = 0;
        QString out;
        for (QChar c : t) {
            if (c == kNoteMark)
                out += QStringLiteral("[%1]").arg(++k);
            else
                out += c;
        }
        for (const QString &line : out.split(u'\n'))
            if (!line.trimmed().isEmpty())
                m.text << line.trimmed();
        for (qsizetype i = 0; i < b.notes.size(); ++i)
            m.text << QStringLiteral("[%1] ").arg(i + 1) + b.notes[i];
    }

    // The book name: a paragraph styled as the title, or else a first heading
    // that stands alone above all the others.
    qsizetype nameAt = -1;
    for (qsizetype i = 0; i < blocks.size() && nameAt < 0; ++i)
        if (blocks[i].isBookTitle && !titleOf(blocks[i]).isEmpty())
            nameAt = i;
    if (nameAt < 0) {
        qsizetype first = -1;
        int others = 9, headings = 0;
        for (qsizetype i = 0; i < blocks.size(); ++i) {
            if (blocks[i].level < 0)
                continue;
            ++headings;
            if (first < 0)
                first = i;
            else
                others = std::min(others, blocks[i].level);
        }
        if (first >= 0 && headings > 1 && blocks[first].level < others)
            nameAt = first;
    }
    PageBuilder page;
    if (nameAt >= 0) {
        m.bookName = titleOf(blocks[nameAt]);
        page.addPicturesOf(blocks[nameAt]);
        blocks.removeAt(nameAt);
    } else {
        m.bookName = QFileInfo(fileName).completeBaseName();
    }

    qsizetype i = 0;
    for (; i < blocks.size() && blocks[i].level < 0; ++i)
        page.add(blocks[i]);
    m.identity = page.take();

    QList<int> open; // levels of the main titles open
    while (i < blocks.size()) {
        const Block &h = blocks[i];
        qsizetype next = i + 1;
        while (next < blocks.size() && blocks[next].level < 0)
            ++next;
        while (!open.isEmpty() && open.last() >= h.level) {
            m.entries.append(ManuscriptEntry { ManuscriptEntry::Kind::GroupEnd, {}, {} });
            open.removeLast();
        }
        const QString title = titleOf(h);
        page.addPicturesOf(h);
        for (qsizetype k = i + 1; k < next; ++k)
            page.add(blocks[k]);
        const bool group = next < blocks.size() && blocks[next].level > h.level;
        if (group) {
            m.entries.append(ManuscriptEntry { ManuscriptEntry::Kind::GroupStart, title, {} });
            open.append(h.level);
            // Its own text opens the group as a page of the same title.
            QList<ManuscriptLine> lines = page.take();
            if (!lines.isEmpty())
                m.entries.append(ManuscriptEntry { ManuscriptEntry::Kind::Page, title, lines });
        } else {
            m.entries.append(ManuscriptEntry { ManuscriptEntry::Kind::Page, title, page.take() });
        }
        i = next;
    }
    while (!open.isEmpty()) {
        m.entries.append(ManuscriptEntry { ManuscriptEntry::Kind::GroupEnd, {}, {} });
        open.removeLast();
    }
    return m;
}

} // namespace

int Manuscript::slotsNeeded() const
{
    return int(entries.size()) + (identity.isEmpty() ? 0 : 1);
}

int Manuscript::pageCount() const
{
    int n = 0;
    for (const ManuscriptEntry &e : entries)
        n += e.kind == ManuscriptEntry::Kind::Page;
    return n;
}

int Manuscript::mainTitleCount() const
{
    int n = 0;
    for (const ManuscriptEntry &e : entries)
        n += e.kind == ManuscriptEntry::Kind::GroupStart;
    return n;
}

QString Manuscript::plainText() const
{
    return text.join(QStringLiteral("\r\n"));
}

Manuscript manuscriptFromText(const QString &text, const QString &fileName)
{
    Manuscript m;
    m.fileName = QFileInfo(fileName).fileName();
    m.bookName = QFileInfo(fileName).completeBaseName();
    const auto linesOf = [](QStringView piece) {
        QList<ManuscriptLine> lines;
        for (QStringView l : piece.split(u'\n')) {
            if (l.endsWith(u'\r'))
                l.chop(1);
            if (!l.trimmed().isEmpty())
                lines.append(ManuscriptLine { l.trimmed().toString(), -1 });
        }
        return lines;
    };
    for (QStringView l : QStringView(text).split(u'\n')) {
        if (l.endsWith(u'\r'))
            l.chop(1);
        if (!l.trimmed().isEmpty())
            m.text << l.trimmed().toString();
    }
    const QList<TitleCandidate> titles = suggestTitles(text);
    const QList<SuggestedPiece> pieces = suggestedPieces(text, titles);
    m.identity
        = linesOf(QStringView(text).first(titles.isEmpty() ? text.size() : titles.first().start));
    for (const SuggestedPiece &p : pieces) {
        if (p.bodyLength == 0) {
            // No title without text: its line stays, at the end of what is above.
            const ManuscriptLine line { text.mid(p.title.start, p.title.length), -1 };
            if (m.entries.isEmpty())
                m.identity.append(line);
            else
                m.entries.last().lines.append(line);
            continue;
        }
        ManuscriptEntry e;
        e.title = text.mid(p.title.start, p.title.length);
        e.lines = linesOf(QStringView(text).sliced(p.bodyStart, p.bodyLength));
        m.entries.append(e);
    }
    return m;
}

bool isManuscriptFile(const QString &fileName)
{
    const QString ext = extensionOf(fileName);
    return ext.compare(QLatin1String("docx"), Qt::CaseInsensitive) == 0
        || ext.compare(QLatin1String("odt"), Qt::CaseInsensitive) == 0;
}

ManuscriptRead readManuscriptData(const QByteArray &bytes, const QString &fileName)
{
    ManuscriptRead out;
    const QString name = QFileInfo(fileName).fileName();
    try {
        const Archive zip(bytes);
        QList<Block> blocks;
        QList<ManuscriptPicture> pictures;
        if (extensionOf(name).compare(QLatin1String("odt"), Qt::CaseInsensitive) == 0) {
            OdtReader reader(zip);
            blocks = reader.read(&pictures);
        } else {
            DocxReader reader(zip);
            blocks = reader.read(&pictures);
        }
        out.manuscript = build(blocks, name);
        out.manuscript->pictures = pictures;
    } catch (const Unreadable &u) {
        out.problem = QStringLiteral(u"فايل «%1» خوانده نشد: %2.").arg(name, u.reason);
    }
    return out;
}

ManuscriptRead readManuscript(const QString &path)
{
    try {
        const FileSystem fs;
        return readManuscriptData(fs.readBytes(path), path);
    } catch (const FsError &e) {
        ManuscriptRead out;
        out.problem = QStringLiteral(u"فايل «%1» خوانده نشد: %2")
                          .arg(QFileInfo(path).fileName(), e.describe());
        return out;
    }
}

QString doesNotFitMessage(const Manuscript &m, int used, int picturesUsed)
{
    const int needed = m.slotsNeeded();
    if (used + needed > kSlotCount)
        return QStringLiteral(u"كتاب «%1» %2 خانه از جدول پاراگرافها ميخواهد و جدول %3 خانه دارد؛"
                              u" چيزي علامت زده نشد.\u200F")
            .arg(m.fileName)
            .arg(needed)
            .arg(kSlotCount - used);
    const int pictures = int(m.pictures.size());
    if (picturesUsed + pictures > kInlinePictureCount)
        return QStringLiteral(u"كتاب «%1» %2 تصوير در متن دارد و بيش از %3 تصوير جا ندارد؛"
                              u" چيزي علامت زده نشد.\u200F")
            .arg(m.fileName)
            .arg(pictures)
            .arg(kInlinePictureCount - picturesUsed);
    return {};
}

QStringList savePictures(
    const FileSystem &fs, const Manuscript &m, const QString &folder, const QString &prefix)
{
    QStringList paths;
    if (m.pictures.isEmpty())
        return paths;
    try {
        if (!fs.folderExists(folder))
            fs.createFolderPath(folder);
        int k = 1;
        for (const ManuscriptPicture &p : m.pictures) {
            QString path;
            do {
                path = DoSlashAlways(folder) + prefix + QString::number(k++) + u'.' + p.extension;
            } while (fs.fileExists(path));
            fs.writeBytes(path, p.data);
            paths << path;
        }
    } catch (const FsError &) {
        for (const QString &path : std::as_const(paths)) {
            try {
                fs.deleteFile(path);
            } catch (const FsError &) {
            }
        }
        throw;
    }
    return paths;
}

QString linesToRtf(
    const QList<ManuscriptLine> &lines, const QList<int> &pictureNumbers, const QString &imgT)
{
    QList<RtfParagraph> paragraphs;
    for (const ManuscriptLine &line : lines) {
        if (line.picture >= 0) {
            const int n = pictureNumbers.value(line.picture, -1);
            if (n < 0)
                continue;
            // Without the template the picture is a space, as its object reads.
            const QString group = inlinePictureGroup(imgT, n);
            paragraphs.append(RtfParagraph { group,
                (group.isEmpty() ? QStringLiteral(" {") : QStringLiteral("{")) + QString::number(n)
                    + QLatin1Char('}') });
        } else {
            paragraphs.append(RtfParagraph { QString(), line.text });
        }
    }
    return paragraphsToRtf(paragraphs);
}

void markManuscript(ParagraphTable &table, const Manuscript &m, const QStringList &picturePaths,
    const QString &imgT)
{
    QList<int> numbers;
    for (qsizetype i = 0; i < m.pictures.size(); ++i)
        numbers << table.takePictureNumber(picturePaths.value(i));

    // Cleaned as the text the operator marks by hand.
    const auto clean = [](QList<ManuscriptLine> lines) {
        for (ManuscriptLine &l : lines)
            if (l.picture < 0)
                l.text = trimSpaces(Rep(l.text));
        return lines;
    };
    const auto plain = [&numbers](const QList<ManuscriptLine> &lines) {
        QStringList out;
        for (const ManuscriptLine &l : lines)
            out << (l.picture >= 0 ? QStringLiteral(" {%1}").arg(numbers.value(l.picture))
                                   : l.text);
        return out.join(QStringLiteral("\r\n"));
    };
    if (!m.identity.isEmpty()) {
        const QList<ManuscriptLine> lines = clean(m.identity);
        table.markIdentity(plain(lines), linesToRtf(lines, numbers, imgT));
    }
    for (const ManuscriptEntry &e : m.entries) {
        switch (e.kind) {
        case ManuscriptEntry::Kind::GroupStart:
            table.openMain(Rep(e.title));
            break;
        case ManuscriptEntry::Kind::GroupEnd:
            table.closeMain();
            break;
        case ManuscriptEntry::Kind::Page: {
            const QString title = Rep(e.title);
            QList<ManuscriptLine> lines = clean(e.lines);
            // A title with no text of its own shows itself on its page.
            if (lines.isEmpty())
                lines = { ManuscriptLine { title, -1 } };
            table.markTitle(title);
            table.markRelated(plain(lines), linesToRtf(lines, numbers, imgT));
            break;
        }
        }
    }
}

} // namespace zorvel
