#include "core/export/readerdata.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/wholefile.h"
#include "core/export/exportprogress.h"
#include "core/export/library.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

} // namespace

QByteArray libraryScript(const LibraryModel &library)
{
    QJsonArray books;
    for (const BookModel &b : library.books) {
        books.append(QJsonObject { { "slot", b.slot }, { "row", b.row }, { "place", b.place },
            { "name", b.name }, { "cover", pathOrNull(b.cover) },
            { "pageCount", int(b.pages.size()) },
            { "script", QStringLiteral("data/") + b.slot + QStringLiteral(".js") } });
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
