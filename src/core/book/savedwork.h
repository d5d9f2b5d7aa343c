#pragma once

#include "core/book/paragraphtable.h"

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
// not saved work (problem says why).
std::optional<BookWork> loadBookWork(const FileSystem &fs, const QString &path, QString *problem);

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
