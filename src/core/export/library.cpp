#include "core/export/library.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"

namespace zorvel {

LibraryModel readLibrary(const FileSystem &fs, const QString &dataFolder)
{
    const QString data = DoSlashAlways(dataFolder);
    LibraryModel library;
    QString problem;
    const std::optional<ProjectSettings> settings = readProject(fs, dataFolder, &problem);
    if (!problem.isEmpty())
        throw FsError(settingsFilePath(dataFolder), QStringLiteral("Malformed settings file"));
    const ProjectSettings s = settings.value_or(ProjectSettings {});
    library.rows[0] = bookCountOf(s.aBookNumber);
    library.rows[1] = bookCountOf(s.bBookNumber);
    library.rows[2] = bookCountOf(s.cBookNumber);
    library.template1 = s.template1;
    library.musicOn = s.musicOn;
    library.print = s.print;

    const FolderNames flash(fs, data + layout::flashFolder());
    auto flashFile = [&](const QString &name) {
        const QString found = flash.find(name);
        return found.isEmpty() ? QString() : layout::flashFolder() + u'/' + found;
    };
    library.background = flashFile(layout::backgroundFile());
    if (library.musicOn) {
        library.shelfMusic = flashFile(layout::shelfMusicFile());
        library.bookMusic = flashFile(layout::bookMusicFile());
    }

    const FolderNames xml(fs, data + layout::indexFolder());
    const FolderNames pages(fs, data + layout::pagesFolder());
    const FolderNames pictures(fs, data + layout::picturesFolder());
    QHash<QString, QString> names;
    const QString titleFile = xml.find(layout::titleListFile());
    if (!titleFile.isEmpty())
        names = parseBookTitles(fs.readUnicode(data + layout::indexFolder() + u'/' + titleFile));

    const QString letters = QStringLiteral("abc");
    for (int row = 0; row < 3; ++row) {
        for (int place = 1; place <= library.rows[row]; ++place) {
            const QString slot = letters[row] + QString::number(place);
            const QString tree
                = xml.find(layout::treeFileName(letters[row], QString::number(place)));
            if (tree.isEmpty())
                continue;
            BookModel book = readBook(fs, data + layout::indexFolder() + u'/' + tree, pages,
                pictures, data + layout::pagesFolder() + u'/');
            book.slot = slot;
            book.row = row;
            book.place = place;
            book.name = names.value(slot);
            const QString cover
                = pictures.find(layout::coverFileName(letters[row], QString::number(place)));
            if (!cover.isEmpty())
                book.cover = layout::picturesFolder() + u'/' + cover;
            library.books << book;
        }
    }
    return library;
}

} // namespace zorvel
