#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorvel {

class FileSystem;

// The build folder's layout and file formats, spelled here only: the folders
// the writer, the settings save and the export fill (the export's Data folder
// has the same layout), the page files, the tree files and the title list.
namespace layout {

QString pagesFolder(); // BookTXT: pages, their media, the settings file
QString indexFolder(); // _xml: tree files and the title list
QString picturesFolder(); // BookIMG: covers and inline pictures
QString flashFolder(); // FlashIMG: background and music
QString workFolder(); // Work: unfinished books (not exported)
QString exportDataFolder(); // Data: what the CD installs, laid out as a build folder
QString readerDataFolder(); // reader/data under it: the books as the reader reads them
QString titleListFile(); // BookTitle.xml
QString settingsFile(); // CDProperty.xml
QString pageExtension(); // htm
QString titleTag(); // pgTitle
QString paragraphTag(); // pgMain (identity pages use it too)

// aTitle3.xml: the tree file of book 3 of row a.
QString treeFileName(const QString &rowLetter, const QString &bookNo);
// Whether a name of _xml is a tree file as the export counts them: it holds
// "Title" and is not the title list (case ignored).
bool isTreeFile(const QString &name);
// The reason given for a page whose title element does not close.
QString unclosedTitleReason();
// aBook3.jpg: its cover in BookIMG.
QString coverFileName(const QString &rowLetter, const QString &bookNo);
// aBook3: its element in the title list.
QString titleKey(const QString &rowLetter, const QString &bookNo);
// Back.jpg, Sound1.mp3, Sound2.mp3 in FlashIMG.
QString backgroundFile();
QString shelfMusicFile();
QString bookMusicFile();

// A page file: "<pgTitle>title</pgTitle>" CR LF, then the body. The title is
// written as it is; the body is the writer's paragraphs and IMG references.
QString pageText(const QString &title, const QString &body);
// Each line of `plain` (CR LF between lines) in its own paragraph element,
// after two empty ones.
QString paragraphs(const QString &plain);
// The paragraph that stands for inline picture n before the book is written.
QString inlinePictureMarkStart(); // "<pgMain> {"
QString inlinePictureMarkEnd(); // "}</pgMain>"
// The reference a page holds to a picture of BookIMG.
QString pictureReference(const QString &pictureName);
QString pictureUrlPrefix(); // ../BookIMG/

struct PageParts {
    QString title;
    QString body; // everything after "</pgTitle>"
};
// nullopt for a page without "</pgTitle>" or whose title element does not close.
std::optional<PageParts> splitPage(const QString &text);

// Page files are UTF-16 LE after FF FE. Throws FsError naming the file for
// anything else (no mark, an odd byte count).
QString readPageFile(const FileSystem &fs, const QString &path);

// Tree files: a main title opens a node that holds its group; a page is an
// empty node whose src is its page under DATA/BookTXT/.
QString treeStart();
QString treeGroupStart(int depth, const QString &label);
QString treeGroupEnd(int depth);
QString treePage(
    int depth, const QString &label, const QString &pageFile, const QString &mediaStatus);

// The title list: its head with the credit line, and one line a book.
QString creditLine();
QString titleListStart();
QString titleLine(const QString &rowLetter, const QString &bookNo, const QString &bookName);

} // namespace layout

// One entry of a book's index: a page (page >= 0) or a main title with the
// entries of its group.
struct TocNode {
    QString label;
    int page = -1; // index into BookModel::pages
    QList<TocNode> children;

    bool isMainTitle() const { return page < 0; }
};

// The deepest nesting of main titles a book can have: one per slot.
inline constexpr int kMaxTreeDepth = 257;

// A tree file's entries; lenient: no closing </Tree> is needed, main titles
// still open at the end are closed, a stray </node> is ignored. Each page
// entry's src file name goes into `pageFiles` (in order) and its `page` is
// its index there. Main titles nested deeper than kMaxTreeDepth are no book
// the writer made (and would exhaust the stack of every walk of the index):
// the result is then empty, `pageFiles` too, and `tooDeep` is set.
QList<TocNode> parseTree(const QString &text, QStringList *pageFiles, bool *tooDeep = nullptr);

// The book names of BookTitle.xml by slot (a3 -> name); lenient: no closing
// </strings> is needed, and when a slot has several lines the last one holds.
QHash<QString, QString> parseBookTitles(const QString &text);

} // namespace zorvel
