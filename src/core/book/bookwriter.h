#pragma once

#include "core/book/paragraphslot.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zorvel {

class FileSystem;

// The book file writer behind "ساخت فايل": pages, tree file, the book's line
// in BookTitle.xml and the media copies of one book.
//
// How the workbench uses it (MakeBook):
//   const BookTarget t = checkBookTarget(fso, idir, rowLetter, bookNo);
//   if (!t.foldersExist) { op.notice(missingFoldersMessage()); return; }
//   if (t.treeFileExists && !op.ask(rewriteQuestion(t.treeFileName))) return; // nothing written
//   const QStringList missing = missingSources(fso, request);
//   if (!missing.isEmpty() && !op.ask(missingSourcesQuestion(missing))) return; // nothing written
//   request.leaveOutMissing = true;
//   try { result = writeBook(fso, request, /*overwrite=*/t.treeFileExists); }
//   catch (const FsError &e) { op.notice(e.describe()); return; } // nothing written, work kept
//   ... MakeCombo, NameNevis, hide, message 4, focus, ResetA.

// A number in [0, 1); empty means QRandomGenerator::global().
using RandomSource = std::function<double()>;

// One name character: 0..9 or a..y (34 * r rounded half to even).
QChar RandN(const RandomSource &random = {});
// 14 characters of RandN, upper case.
QString NewN(const RandomSource &random = {});

// Every CR LF becomes a space, double spaces are halved in one pass, then the
// leading and trailing spaces go.
QString RemCrLf(const QString &mata);

// The plain body wrapped line by line in <pgMain>, after two empty ones.
QString SetMatn(const QString &mata);
// The same for the identity page (its tag has the same name).
QString SetShenas(const QString &mata);

// Replaces each inline picture paragraph "<pgMain> {n}</pgMain>" by
// <IMG src="../BookIMG/name">, copying imgList[n] into base/BookIMG. A picture
// keeps its file name unless a different picture holds it there; it then gets
// the first free one of name-2, name-3, ... A picture already there (the same
// content under that name) is not copied again. A malformed marker or a
// failed copy stops the conversion; the markers after it stay. A picture that
// could not be copied is added to `notCopied` when given.
QString ToIMG(const QString &inTe, const QStringList &imgList, const QString &base,
    const FileSystem &fs, QStringList *notCopied = nullptr);

// "Folder _xml or BookTXT doesn't exist!"
QString missingFoldersMessage();
// The question asked before an existing book tree file is replaced.
QString rewriteQuestion(const QString &treeFileName);
// The question asked before a book is written without the files it names
// that are gone (or, attachments, have no extension to be found by).
QString missingSourcesQuestion(const QStringList &missing);

// What the workbench must know before anything is written.
struct BookTarget {
    bool foldersExist = false; // BookTXT and _xml in the build folder
    bool treeFileExists = false;
    QString treeFileName; // e.g. aTitle3.xml
    QString treeFilePath;
};

BookTarget checkBookTarget(const FileSystem &fs, const QString &buildFolder,
    const QString &rowLetter, const QString &bookNo);

struct BookRequest {
    QString buildFolder; // idir
    QString rowLetter; // a, b or c
    QString bookNo; // 1..10, as text
    QString bookName; // bname
    // The slots to write (the table's used ones), at most 257; a slot without
    // a title does not end the book.
    QList<ParagraphSlot> paragraphs;
    QStringList imgList; // inline picture paths by number (0..512)
    // The workbench's ToTXT: RTF in, plain text with CR LF between paragraphs out.
    std::function<QString(const QString &rtf)> toText;
    RandomSource random; // empty: QRandomGenerator
    // The operator agreed to write the book without its missing sources: such
    // an attachment is left out (its digit is 0) and such an inline picture's
    // paragraph is left empty. Unset, a missing source fails the write.
    bool leaveOutMissing = false;
};

struct BookResult {
    QStringList pages; // page file names written, in slot order
    QStringList leftOut; // missing sources left out (leaveOutMissing)
};

// The attachments and inline pictures the book names that are not there to be
// copied, in the order the writer meets them, each once. Asked about before
// anything is written.
QStringList missingSources(const FileSystem &fs, const BookRequest &request);

// Writes the book: page files and media copies first, then the book's line in
// BookTitle.xml (replacing the slot's earlier line in place), then the tree
// file, which marks the book as finished, last. An existing tree file is only
// replaced when `overwrite` is set. Throws FsError naming the file and the
// cause when a book file or a media copy cannot be written (a full disk
// included), or a source is missing and not to be left out; the files this
// write made are then removed again and BookTitle.xml is put back as it was,
// so the build folder holds what it held before.
BookResult writeBook(const FileSystem &fs, const BookRequest &request, bool overwrite);

} // namespace zorvel
