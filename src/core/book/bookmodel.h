#pragma once

#include "core/book/buildlayout.h"
#include "core/common/xmltext.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorvel {

class FileSystem;

// The finished books of a CD's Data folder (or of a build folder, which has
// the same layout), read back from the files the book writer and the settings
// save make: the tree files, BookTitle.xml, the pages, CDProperty.xml and the
// media beside them. What the CD's reader and the e-book export show.

// A piece of a page body: a paragraph of text or an inline picture.
struct PageBlock {
    enum class Kind { Text, Image };
    Kind kind = Kind::Text;
    QString value; // the text, or the picture's path under the Data folder
};

// Paths are relative to the Data folder, with "/", and name files that exist.
struct PageModel {
    QString title; // pgTitle, as written
    bool identity = false;
    QList<PageBlock> blocks;
    QString pageFile; // BookTXT/NAME.htm
    QString picture; // attached media, empty when none
    QString sound;
    QString film;
    QString printable; // BookTXT/NAME.html when the export made one
};

struct BookModel {
    QString slot; // a3
    int row = 0; // 0, 1, 2 for a, b, c
    int place = 1; // 1..10
    QString name;
    QString cover; // BookIMG/a3... path, empty when missing
    QList<TocNode> toc;
    QList<PageModel> pages; // in reading order
};

// File names of one folder, found without regard to case as the CD's own file
// system does ("DATA/BookTXT/x.HTM" names Data/BookTXT/x.htm).
class FolderNames {
public:
    FolderNames() = default;
    FolderNames(const FileSystem &fs, const QString &folder); // empty when the folder is missing

    // The name as it is on disk, or empty.
    QString find(const QString &name) const;
    // Every name whose part before the last "." equals `stem`, any case.
    QStringList withStem(const QString &stem) const;

private:
    QHash<QString, QString> m_byLower;
    QHash<QString, QStringList> m_byStem;
};

// A page file: its title and body blocks. Only <pgTitle>, <pgMain> and IMG
// references to ../BookIMG/ are markup; everything else is text. A picture
// the folder does not hold is left out. nullopt for a page without a closed
// pgTitle element.
struct ParsedPage {
    QString title;
    QList<PageBlock> blocks;
};
std::optional<ParsedPage> parsePage(const QString &text, const FolderNames &pictures);

// Kinds of attached media by extension (case ignored).
enum class MediaKind { Picture, Sound, Film, Unknown };
MediaKind mediaKindOf(const QString &extension);

// One finished book: its tree file and the pages it names, with their media,
// in reading order (the identity page first). Throws FsError naming the file
// for an unreadable or malformed tree file or page, and for a tree entry whose
// page is missing. slot, row, place, name and cover are left to the caller.
BookModel readBook(const FileSystem &fs, const QString &treePath, const FolderNames &pages,
    const FolderNames &pictures, const QString &pagesFolder);

} // namespace zorvel
