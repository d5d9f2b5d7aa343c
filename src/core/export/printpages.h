#pragma once

#include <QString>

#include <optional>

namespace zorvel {

class FileSystem;
class ExportProgress;

// The printable page of one book page: %Title% in the template becomes the
// page's pgTitle text and %Matn% the body after "</pgTitle>" with each
// <pgMain> turned into <p align="right"> and </pgMain> into </p>, both in one
// pass over the template. Page text is text: escaped, except the writer's own
// <IMG src="../BookIMG/name">. nullopt for a page without "</pgTitle>" or
// with a pgTitle element that does not close.
std::optional<QString> printablePage(const QString &page, const QString &pageTemplate);

// The page template: UTF-16 LE after FF FE, or UTF-8 after EF BB BF. Throws
// FsError naming the file for anything else.
QString readPageTemplate(const FileSystem &fs, const QString &path);

// Writes F + "l" beside every page F whose extension is "htm" (any case) in
// `pagesFolder`, through the template file (read on the first page only).
// Returns the number of pages written. Throws FsError at the first page that
// cannot be read, is malformed or cannot be written.
// Each page written is a step of `progress` (when given).
int makePrintablePages(const FileSystem &fs, const QString &pagesFolder,
    const QString &templatePath, ExportProgress *progress = nullptr);

} // namespace zorvel
