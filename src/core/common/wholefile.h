#pragma once

#include <QByteArray>
#include <QString>

namespace zorvel {

// Whole-file writes for the hundreds of new files of a book or an export
// (pages, media copies, printable pages). A new target is written directly and
// removed again when the write fails, so a failure never leaves a torn file;
// an existing one is replaced through a temporary file, so it stays intact.
// Unlike the file-system service's writes they do not go through a temporary
// file and do not wait for the disk after every file, which costs
// milliseconds each; they are meant for files that nothing refers to until
// the whole job is done (a book's tree file is written last, through the
// service). Both throw FsError naming the target (or the missing source).
void writeWholeFile(const QString &path, const QByteArray &bytes);
// The text in the Unicode form: UTF-16 LE after FF FE.
void writeWholeUnicode(const QString &path, const QString &text);
// Keeps the executable bits of the source.
void copyWholeFile(const QString &source, const QString &target);

} // namespace zorvel
