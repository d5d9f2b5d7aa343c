#pragma once

#include <QByteArray>
#include <QString>

namespace zorvel {

class FileSystem;
class ExportProgress;
struct BookModel;
struct LibraryModel;

// The CD's reader runs from file:// and cannot read the files beside its
// page, so the export gives it its data as scripts: data/library.js (the
// settings and the finished books) and data/<slot>.js per book (its index
// and pages), each a JSON value assigned to a global.

QByteArray libraryScript(const LibraryModel &library);
QByteArray bookScript(const BookModel &book);

// Reads the output's Data folder and writes Data/reader/data/. Nothing is
// written when the output has no Data folder (a script with another layout).
// Throws FsError naming the file that could not be read or written.
struct ReaderDataResult {
    bool written = false;
    int books = 0;
    int pages = 0;
};
// Each book written is a step of `progress` (when given).
ReaderDataResult writeReaderData(
    const FileSystem &fs, const QString &outputFolder, ExportProgress *progress = nullptr);

} // namespace zorvel
