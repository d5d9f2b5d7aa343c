#pragma once

#include "core/book/paragraphtable.h"
#include "core/book/textedit.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace zorvel {

class FileSystem;

// The work on one book in the workbench, kept in the build folder after every
// change so that nothing the operator marked lives only in memory.
struct BookWork {
    QString rowLetter; // the book slot
    QString bookNo;
    QString bookName; // bname
    QString inputText; // the name of the input text it is cut from
    ParagraphTable::Contents table;

    // The raw text left of matn, kept since the second format: a base text in
    // a file of its own beside the work file, and the edits made since.
    struct Text {
        QString baseFile; // its name in the Work folder, e.g. a3.2.txt
        qsizetype baseLength = 0; // the base's length, checked when it is read
        QList<TextSplice> edits;
        bool edited = false; // changed since it was shown from the input text
        int anchor = 0; // the caret, in the text's positions
        int caret = 0;
        // Filled by loadBookWork: the base read and the edits made on it.
        WorkText restored;

        bool operator==(const Text &) const = default;
    };
    std::optional<Text> text;
    // The input text's size and modification time (ms since the epoch, UTC)
    // when it was shown; -1 when not known.
    qint64 inputSize = -1;
    qint64 inputModified = -1;

    bool operator==(const BookWork &) const = default;
};

// Something the operator did: a mark, a name, an inline picture.
bool hasWork(const BookWork &work);

// D + "Work/" + slot + ".json", e.g. Data/Work/a3.json: in the build folder but
// outside the folders the export copies.
QString workFolderPath(const QString &buildFolder);
QString workFilePath(const QString &buildFolder, const QString &rowLetter, const QString &bookNo);

QByteArray workToJson(const BookWork &work);
// nullopt when the bytes are not saved work.
std::optional<BookWork> workFromJson(const QByteArray &bytes);

// Written whole through a temporary file (a crash leaves the old file or the
// new one); the Work folder is made when missing. Media inside the build
// folder (the one holding Work) are named relative to it, so the work moves
// with the folder; loading resolves them again. Throws FsError.
void saveBookWork(const FileSystem &fs, const QString &path, const BookWork &work);
// nullopt when the file is missing (problem empty) or cannot be read or is
// not saved work (problem says why). When only the raw text's base cannot be
// read, the work comes back without its text and problem says why.
std::optional<BookWork> loadBookWork(const FileSystem &fs, const QString &path, QString *problem);

// Writes a raw text's base beside the work file `path` under a name not used
// before (a3.1.txt, a3.2.txt, ...), so that the work file written last still
// names a whole base if anything fails on the way; returns the name. Throws
// FsError.
QString saveWorkTextBase(const FileSystem &fs, const QString &path, const QString &base);
// Removes the bases of the work file `path` other than `keep` (all with keep
// empty). Throws FsError.
void removeWorkTextBases(const FileSystem &fs, const QString &path, const QString &keep);

// Work/<slot>.media: copies of the media the operator attached to the book,
// so that the saved work names only files of the build folder.
QString workMediaFolderPath(
    const QString &buildFolder, const QString &rowLetter, const QString &bookNo);
// Copies a chosen medium into `mediaFolder` (made when missing) and returns
// the copy's path. A file already inside comes back as it is; the copy keeps
// the file's name unless a different file holds it (then name-2, name-3, ...),
// and a file with the same content there is used again. Throws FsError.
QString adoptMedium(const FileSystem &fs, const QString &mediaFolder, const QString &source);
// Removes a book's media folder (after the book is written or started afresh).
void removeWorkMedia(const QString &mediaFolder);

// Attachments and inline pictures that lie outside every allowed folder are
// emptied; their paths are returned, each once, for a notice. A saved work
// file can be edited by anyone: it must not bring any file of the disk onto
// a CD.
QStringList refuseForeignMedia(BookWork &work, const QStringList &allowedFolders);

// Saved work that cannot be read is set aside, never overwritten: renamed to
// <slot>.unreadable-<yyyyMMdd-HHmmss>.json beside it (-2, -3, ... after the
// time when that is taken). Returns the new path; throws FsError.
QString setAsideUnreadableWork(const QString &path, const QDateTime &now);

} // namespace zorvel
