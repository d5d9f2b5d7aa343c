#pragma once

#include "core/book/bookmodel.h"

namespace zorvel {

class FileSystem;

// The whole library of a CD's Data folder (or of a build folder): the
// project's settings and every finished book, as the reader and the e-book
// export show them.

struct LibraryModel {
    int rows[3] = { 0, 0, 0 }; // places on each shelf, 0..10
    bool template1 = true;
    bool musicOn = true;
    bool print = false;
    QString background; // FlashIMG/Back.jpg, empty when missing
    QString shelfMusic; // FlashIMG/Sound1.mp3 when music is on and the file is there
    QString bookMusic;
    QList<BookModel> books; // finished books, row by row, place by place
};

// Reads the whole library of `dataFolder`. Throws FsError naming the file
// for an unreadable or malformed settings file, tree file or page, and for a
// tree entry whose page is missing.
LibraryModel readLibrary(const FileSystem &fs, const QString &dataFolder);

} // namespace zorvel
