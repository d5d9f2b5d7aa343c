#pragma once

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

// One entry of a book's index: a page (page >= 0) or a main title with the
// entries of its group.
struct TocNode {
    QString label;
    int page = -1; // index into BookModel::pages
    QList<TocNode> children;

    bool isMainTitle() const { return page < 0; }
};

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

// &amp; &lt; &gt; &quot; &apos; and numeric references back to characters;
// anything else, a lone "&" included, stays as it is.
QString unescapeXml(const QString &text);

// A tree file's entries; lenient: no closing </Tree> is needed, main titles
// still open at the end are closed, a stray </node> is ignored. Each page
// entry's src file name goes into `pageFiles` (in order) and its `page` is
// its index there.
QList<TocNode> parseTree(const QString &text, QStringList *pageFiles);

// The book names of BookTitle.xml by slot (a3 -> name); lenient: no closing
// </strings> is needed, and when a slot has several lines the last one holds.
QHash<QString, QString> parseBookTitles(const QString &text);

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

// Reads the whole library of `dataFolder`. Throws FsError naming the file
// for an unreadable or malformed settings file, tree file or page, and for a
// tree entry whose page is missing.
LibraryModel readLibrary(const FileSystem &fs, const QString &dataFolder);

} // namespace zorvel
