#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorvel {

class FileSystem;
class ParagraphTable;

// A Word (DOCX) or OpenDocument (ODT) manuscript read into the pieces of a
// book, by its headings: the book name, the identity page (the text before
// the first heading), main titles (headings with headings below them) with
// their groups, and index titles with their related text.

// One line of a page: text, or an inline picture by its number in
// Manuscript::pictures.
struct ManuscriptLine {
    QString text;
    int picture = -1;

    bool operator==(const ManuscriptLine &) const = default;
};

struct ManuscriptEntry {
    enum class Kind { Page, GroupStart, GroupEnd };
    Kind kind = Kind::Page;
    QString title; // a page's index title, a group's main title
    QList<ManuscriptLine> lines; // a page's related text, notes at its end
};

struct ManuscriptPicture {
    QString entry; // its name in the archive
    QString extension; // lower case, without the dot: png, jpg, gif, ...
    QByteArray data;
};

struct Manuscript {
    QString fileName; // without its folder
    QString bookName;
    QList<ManuscriptLine> identity;
    QList<ManuscriptEntry> entries; // in table order; every group is closed
    QList<ManuscriptPicture> pictures;
    QStringList text; // every paragraph in reading order, as lines of the plain text

    // The table's slots the book takes: identity page, pages, main titles and ends.
    int slotsNeeded() const;
    int pageCount() const;
    int mainTitleCount() const;
    // The paragraphs as a plain text, CR LF between them.
    QString plainText() const;
};

struct ManuscriptRead {
    std::optional<Manuscript> manuscript;
    QString problem; // when it could not be read: says why and names the file
};

// Reads a .docx or .odt file (told by its extension, case ignored). Nothing is
// written anywhere: pictures are read into memory. Refused with a problem:
// not a ZIP archive, no document.xml (content.xml), malformed XML, an entry
// over 200 MB unpacked.
ManuscriptRead readManuscript(const QString &path);
// The same from the bytes of a file; `fileName` names it in the problem and
// tells its kind.
ManuscriptRead readManuscriptData(const QByteArray &bytes, const QString &fileName);

// A plain input text (as read, before Rep: markManuscript cleans) cut by the
// suggested titles: the text above the first one is the identity page, each
// title with the text up to the next one a page. A title with nothing below
// it before the next one is no title: its line ends the page above it (or
// the identity page). The book is named after the file.
Manuscript manuscriptFromText(const QString &text, const QString &fileName);

// Whether a file name is a manuscript this reader takes (.docx, .odt).
bool isManuscriptFile(const QString &fileName);

// The message when a book needs more of the table than it has; empty when
// it fits. `used` counts the slots already taken.
QString doesNotFitMessage(const Manuscript &m, int used = 0, int picturesUsed = 0);

// Writes the manuscript's pictures into `folder` under names of its own
// (`prefix` + number + extension, the first names not taken there); returns
// their paths by picture number. Nothing of the archive's names is used for
// the path. Throws FsError; the pictures written before a failure are
// removed again.
QStringList savePictures(
    const FileSystem &fs, const Manuscript &m, const QString &folder, const QString &prefix);

// Marks the manuscript in the table as the workbench's commands mark a text
// by hand: the identity page, then main titles, ends, titles and related
// texts in order; titles and texts cleaned as an input text is (Rep). Each
// picture takes the next inline picture number with its path from
// `picturePaths`; `imgT` is the inline picture template (Resources/img.bin),
// and without one a picture stays a plain "{n}" paragraph. The caller has
// checked that it fits (doesNotFitMessage).
void markManuscript(ParagraphTable &table, const Manuscript &m, const QStringList &picturePaths,
    const QString &imgT);

// A related text of plain lines, and inline pictures, as the RTF a selection
// of the workbench's text gives.
QString linesToRtf(
    const QList<ManuscriptLine> &lines, const QList<int> &pictureNumbers, const QString &imgT);

} // namespace zorvel
