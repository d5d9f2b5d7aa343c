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
// new one); the Work folder is made when missing. Throws FsError.
void saveBookWork(const FileSystem &fs, const QString &path, const BookWork &work);
// nullopt when the file is missing (problem empty) or cannot be read or is
// not saved work (problem says why).
std::optional<BookWork> loadBookWork(const FileSystem &fs, const QString &path, QString *problem);

// Saved work that cannot be read is set aside, never overwritten: renamed to
// <slot>.unreadable-<yyyyMMdd-HHmmss>.json beside it (-2, -3, ... after the
// time when that is taken). Returns the new path; throws FsError.
QString setAsideUnreadableWork(const QString &path, const QDateTime &now);

} // namespace zorvel
