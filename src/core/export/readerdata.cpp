#include "core/export/readerdata.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/wholefile.h"
#include "core/export/exportprogress.h"
#include "core/export/library.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <initializer_list>

namespace zorvel {

namespace {

QJsonValue pathOrNull(const QString &path)
{
    return path.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(path);
}

QJsonArray tocJson(const QList<TocNode> &nodes)
{
    QJsonArray out;
    for (const TocNode &n : nodes) {
        QJsonObject o { { "label", n.label } };
        if (n.isMainTitle())
            o.insert("children", tocJson(n.children));
        else
            o.insert("page", n.page);
        out.append(o);
    }
    return out;
}

QByteArray assignment(const QByteArray &target, const QJsonObject &value)
{
    return target + " = " + QJsonDocument(value).toJson(QJsonDocument::Compact) + ";\n";
}

// Each UTF-16 unit's fold, as the reader's fold.js has it: 0xFFFF drops it.
constexpr char16_t kDrop = 0xffff;

struct FoldTable {
    char16_t to[65536];
    FoldTable()
    {
        for (int c = 0; c < 65536; ++c)
            to[c] = char16_t(c);
        const auto same = [this](char16_t into, std::initializer_list<char16_t> from) {
            for (char16_t c : from)
                to[c] = into;
        };
        const auto drop = [this](char16_t from, char16_t last) {
            for (int c = from; c <= last; ++c)
                to[c] = kDrop;
        };
        same(u'\u06cc', { u'\u064a', u'\u0649', u'\u06cc' });
        same(u'\u06a9', { u'\u0643', u'\u06a9' });
        same(u'\u0647', { u'\u0629', u'\u06c0', u'\u06d5' });
        same(u'\u0627', { u'\u0623', u'\u0625', u'\u0622', u'\u0671' });
        for (int d = 0; d < 10; ++d)
            same(char16_t(u'0' + d), { char16_t(0x06f0 + d), char16_t(0x0660 + d) });
        for (int c = u'A'; c <= u'Z'; ++c)
            to[c] = char16_t(c + 0x20);
        to[0x00a0] = u' ';
        drop(0x064b, 0x065f); // harakat
        drop(0x0670, 0x0670); // superscript alef
        drop(0x0640, 0x0640); // tatweel
        drop(0x200b, 0x200f); // ZWSP, ZWNJ, ZWJ, LRM, RLM
        drop(0x202a, 0x202e); // bidi embeddings
        drop(0x2066, 0x2069); // bidi isolates
        drop(0x061c, 0x061c); // Arabic letter mark
        drop(0x00ad, 0x00ad); // soft hyphen
        drop(0xfeff, 0xfeff); // byte order mark
    }
};

const FoldTable &foldTable()
{
    static const FoldTable table;
    return table;
}

// A letter as the reader tests it: one UTF-16 unit, surrogates never.
bool isSearchLetter(char16_t c)
{
    return !QChar::isSurrogate(c) && QChar(c).isLetter();
}

bool isSearchSpace(char16_t c)
{
    return c == 0x20 || c == 0x09 || c == 0x0a || c == 0x0d || c == 0xa0 || c == 0x2028
        || c == 0x2029;
}

} // namespace

QString searchFold(const QString &text)
{
    const FoldTable &table = foldTable();
    QString out;
    out.reserve(text.size());
    bool joint = false;
    bool space = false;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == 0x200c) {
            if (!out.isEmpty() && !space && isSearchLetter(out.back().unicode()))
                joint = true;
            continue;
        }
        if (isSearchSpace(c)) {
            if (!out.isEmpty())
                space = true;
            continue;
        }
        const char16_t f = table.to[c];
        if (f == kDrop)
            continue;
        if (space)
            out.append(u' ');
        else if (joint && isSearchLetter(f))
            out.append(QChar(0x200c));
        space = false;
        joint = false;
        out.append(QChar(f));
    }
    return out;
}

QByteArray searchScript(const BookModel &book)
{
    // Written by hand rather than through QJsonDocument: the text is most of
    // the export's reader data, and after folding it holds no character but
    // the quote, the backslash and the line break that JSON must escape.
    QString text;
    QByteArray starts;
    for (const PageModel &p : book.pages) {
        if (!starts.isEmpty())
            starts += ',';
        starts += QByteArray::number(text.size());
        text += searchFold(p.title);
        text += u'\n';
        for (const PageBlock &b : p.blocks)
            if (b.kind == PageBlock::Kind::Text) {
                text += searchFold(b.value);
                text += u'\n';
            }
    }
    if (!text.isEmpty())
        text.chop(1);
    QByteArray out = "(window.ZORVEL_SEARCH = window.ZORVEL_SEARCH || {})[\"" + book.slot.toLatin1()
        + "\"] = {\"format\":1,\"text\":\"";
    const QByteArray utf8 = text.toUtf8();
    out.reserve(out.size() + utf8.size() + utf8.size() / 8 + starts.size() + 32);
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        default:
            if (uchar(c) < 0x20)
                out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += "\",\"starts\":[" + starts + "]};\n";
    return out;
}

QByteArray libraryScript(const LibraryModel &library)
{
    QJsonArray books;
    for (const BookModel &b : library.books) {
        books.append(QJsonObject { { "slot", b.slot }, { "row", b.row }, { "place", b.place },
            { "name", b.name }, { "cover", pathOrNull(b.cover) },
            { "pageCount", int(b.pages.size()) },
            { "script", QStringLiteral("data/") + b.slot + QStringLiteral(".js") },
            { "search", QStringLiteral("data/") + b.slot + QStringLiteral(".search.js") } });
    }
    const QJsonObject settings {
        { "rows", QJsonArray { library.rows[0], library.rows[1], library.rows[2] } },
        { "template", library.template1 ? 1 : 2 }, { "music", library.musicOn },
        { "print", library.print }
    };
    const QJsonObject root { { "format", 1 }, { "settings", settings },
        { "background", pathOrNull(library.background) },
        { "music",
            QJsonObject { { "shelves", pathOrNull(library.shelfMusic) },
                { "book", pathOrNull(library.bookMusic) } } },
        { "books", books } };
    return assignment("window.ZORVEL_LIBRARY", root);
}

QByteArray bookScript(const BookModel &book)
{
    QJsonArray pages;
    for (const PageModel &p : book.pages) {
        QJsonArray blocks;
        for (const PageBlock &b : p.blocks)
            blocks.append(
                QJsonObject { { b.kind == PageBlock::Kind::Image ? "image" : "text", b.value } });
        pages.append(
            QJsonObject { { "title", p.title }, { "identity", p.identity }, { "blocks", blocks },
                { "picture", pathOrNull(p.picture) }, { "sound", pathOrNull(p.sound) },
                { "film", pathOrNull(p.film) }, { "printable", pathOrNull(p.printable) } });
    }
    const QJsonObject root { { "slot", book.slot }, { "name", book.name },
        { "toc", tocJson(book.toc) }, { "pages", pages } };
    // The slot is a letter and digits, so it needs no quoting beyond this.
    return assignment(
        "(window.ZORVEL_BOOKS = window.ZORVEL_BOOKS || {})[\"" + book.slot.toLatin1() + "\"]",
        root);
}

ReaderDataResult writeReaderData(
    const FileSystem &fs, const QString &outputFolder, ExportProgress *progress)
{
    ReaderDataResult result;
    const QString data = outputFolder + u'/' + layout::exportDataFolder();
    if (!fs.folderExists(data))
        return result;
    const LibraryModel library = readLibrary(fs, data);
    const QString folder = data + u'/' + layout::readerDataFolder();
    fs.createFolderPath(folder);
    for (const BookModel &book : library.books) {
        writeWholeFile(folder + u'/' + book.slot + QStringLiteral(".js"), bookScript(book));
        writeWholeFile(
            folder + u'/' + book.slot + QStringLiteral(".search.js"), searchScript(book));
        ++result.books;
        result.pages += int(book.pages.size());
        exportStep(progress);
    }
    // Written last: the reader lists only what this file names.
    writeWholeFile(folder + QStringLiteral("/library.js"), libraryScript(library));
    result.written = true;
    return result;
}

} // namespace zorvel
