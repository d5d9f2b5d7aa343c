#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace zorvel {

class ExportProgress;
class FileSystem;
struct BookModel;

// The finished books of a build folder as EPUB 3 e-books, one file per book:
// right to left, Persian, the Vazirmatn font embedded, the index of the tree
// file as the navigation, one content document per page in reading order.


// The picture's media type from its first bytes, for the types every EPUB
// reader shows (JPEG, PNG, GIF); empty otherwise.
QString corePictureType(const QByteArray &head);
// Sound and film media types by extension; empty for a sound no EPUB
// reader is required to play, and for a film extension of no known type.
QString soundType(const QString &extension);
QString filmType(const QString &extension);

// "<name> (a3).epub", the name made safe for any file system; "a3.epub"
// when nothing is left of it.
QString epubFileName(const BookModel &book);

// The book's identifier: a name-based UUID of its slot, name and page files,
// so exporting the same written book again gives the same identifier and a
// rewritten book a new one.
QString epubIdentifier(const BookModel &book);

// Writes one book as an EPUB at `target` (the file appears only when it is
// complete). Paths in the book are relative to `dataFolder`; `fontsFolder`
// holds Vazirmatn-Regular.woff2, Vazirmatn-Bold.woff2 and OFL.txt. Media an
// EPUB cannot carry (a picture that is neither JPEG, PNG nor GIF and cannot
// be converted to PNG, a sound of another kind than MP3, MP4 or Ogg, a film
// of unknown type) is left out and named in `leftOut`. Throws FsError.
void writeEpub(const BookModel &book, const QString &dataFolder, const QString &fontsFolder,
    const QString &target, const QDateTime &modified, QStringList *leftOut = nullptr);

enum class EpubOutcome {
    ExportFolderMissing, // message 26, nothing done
    BuildFolderMissing, // message 10, nothing done
    NoBooks, // no finished book with pages, nothing made
    Failed, // no EPUB folder is left behind
    Cancelled, // stopped by the operator; no EPUB folder is left behind
    Done,
};

struct EpubExportResult {
    EpubOutcome outcome = EpubOutcome::Failed;
    QString outputFolder; // the "EPUB n" folder when done
    QStringList files; // its EPUB file names, in shelf order
    QStringList emptyBooks; // slots of finished books without pages, not exported
    QStringList leftOut; // "a3: BookTXT/X.wav", media not carried
    QString problem; // what failed
};

// The EPUB export: reads the finished books of `buildFolder` and writes one
// EPUB per book into the first free "EPUB n" of `exportFolder`, the font
// taken from programFolder/Resources/reader/fonts. The books are written into
// a hidden folder that is renamed to "EPUB n" when all are done and removed
// on any failure. `now` (UTC) stamps the books; invalid means the clock.
// Each book written is a step of `progress` (when given), which may stop the
// export. Never throws.
EpubExportResult runEpubExport(const FileSystem &fs, const QString &programFolder,
    const QString &buildFolder, const QString &exportFolder, const QDateTime &now = {},
    ExportProgress *progress = nullptr);

// What the window shows: a catalogue message code (26, 10), or 0 and the
// text of a plain notice (epubReport).
qint16 epubMessageCode(const EpubExportResult &result);
QString epubReport(const EpubExportResult &result);

} // namespace zorvel
