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
//   try { result = writeBook(fso, request, /*overwrite=*/t.treeFileExists); }
//   catch (const FsError &e) { op.notice(e.describe()); return; }
//   if (!result.notCopied.isEmpty()) op.notice(notCopiedMessage(result.notCopied));
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
// One message listing the attachments that could not be copied.
QString notCopiedMessage(const QStringList &notCopied);

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
};

struct BookResult {
    QStringList pages; // page file names written, in slot order
    QStringList notCopied; // attachments and inline pictures that could not be copied
};

// Writes the book: page files and media copies first, then the book's line in
// BookTitle.xml (replacing the slot's earlier line in place), then the tree
// file, which marks the book as finished, last. An existing tree file is only
// replaced when `overwrite` is set. Throws FsError naming the file when a
// book file cannot be written (a full disk included); the files this write
// made are then removed again and BookTitle.xml is put back as it was, so
// the build folder holds what it held before.
BookResult writeBook(const FileSystem &fs, const BookRequest &request, bool overwrite);

} // namespace zorvel
