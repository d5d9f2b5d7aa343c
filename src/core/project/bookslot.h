#pragma once

#include <QString>
#include <QStringList>

namespace zorvel {

class FileSystem;

// A book slot: row letter a, b or c and the book number 1..10, as written at
// the end of a picker entry, e.g. "(a3)".
struct BookSlot {
    QString rowLetter;
    QString bookNo;
    bool valid = false; // "(" and ")" found in order, something between them
};

// The characters between the first "(" and the first ")" of a picker entry:
// the first is the row letter, the rest the book number.
BookSlot parseBookSlot(const QString &entry);

// The ordinal words first..tenth; index 0 is "اول".
QStringList ordinalWords();

// The row word of a row letter ("اول", "دوم", "سوم"); empty for any other letter.
QString rowWord(const QString &rowLetter);

// Persian and Arabic-Indic digits as the digits 0-9, and the Arabic decimal
// mark as ".": what a Persian keyboard types in a number field.
QString latinDigits(const QString &text);

// A row count field as the book picker reads it: whole part of the number,
// 0 for a text that is no number, at most 10.
int bookCountOf(const QString &countText);

// The picker entry of book k (1..10) of the row with letter a, b or c.
QString pickerEntry(const QString &rowLetter, int k);

// D + "_xml" + separator + L + "Title" + k + ".xml".
QString treeFilePath(const QString &buildFolder, const QString &rowLetter, int k);

// The entries of the books not finished yet, row by row, book by book. An
// empty build folder is no build folder: nothing is finished there.
QStringList unfinishedBooks(const FileSystem &fs, const QString &buildFolder,
                            const QString &countA, const QString &countB, const QString &countC);

// The entry of book rowLetter + bookNo among picker entries, or -1.
// The books of the build folder that are written (their tree file is there),
// as slots ("a1" ... "c10"), whatever the project's counts say.
QStringList finishedBooks(const FileSystem &fs, const QString &buildFolder);

int indexOfBook(const QStringList &entries, const QString &rowLetter, const QString &bookNo);

// Where the picker stands after it is rebuilt: on the entry of the book that
// `chosenEntry` names when it is still listed, else on the first; -1 when
// there are no entries.
int entryIndexOfSameBook(const QStringList &entries, const QString &chosenEntry);

} // namespace zorvel
