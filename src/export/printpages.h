#pragma once

#include <QString>

#include <optional>

namespace zorvel {

class FileSystem;

// The printable page of one book page: %Title% in the template becomes the
// page's pgTitle text, then %Matn% the body after "</pgTitle>" with each
// <pgMain> turned into <p align="right"> and </pgMain> into </p>. nullopt
// for a page without "</pgTitle>" or with a pgTitle element that does not close.
std::optional<QString> printablePage(const QString &page, const QString &pageTemplate);

// Writes F + "l" beside every page F whose extension is "htm" (any case) in
// `pagesFolder`, through the template file (read on the first page only).
// Returns the number of pages written. Throws FsError at the first page that
// cannot be read, is malformed or cannot be written.
int makePrintablePages(
    const FileSystem &fs, const QString &pagesFolder, const QString &templatePath);

} // namespace zorvel
