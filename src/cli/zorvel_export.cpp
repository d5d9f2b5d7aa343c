// zorvel-export: the export behind "خروجي", for scripted builds.
//   zorvel-export [--print] BUILD_FOLDER EXPORT_FOLDER
//   zorvel-export --iso [--print] BUILD_FOLDER EXPORT_FOLDER
//   zorvel-export --epub BUILD_FOLDER EXPORT_FOLDER
//   zorvel-export --help | -h | --version
// --iso also writes the disc image "Export n.iso" beside "Export n".
// The script, the page template and the e-books' font come from the
// Resources folder beside this program. Prints the output folder ("Export n"
// or "EPUB n") and exits 0 on success; otherwise prints the message the
// window would show and what failed, and exits 1.
#include "core/common/filesystem.h"
#include "core/common/messages.h"
#include "core/export/discimage.h"
#include "core/export/epub.h"
#include "core/export/exporter.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

void print(FILE *to, const QString &text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

QString usageText()
{
    return QStringLiteral("usage: zorvel-export [--print] BUILD_FOLDER EXPORT_FOLDER\n"
                          "       zorvel-export --iso [--print] BUILD_FOLDER EXPORT_FOLDER\n"
                          "       zorvel-export --epub BUILD_FOLDER EXPORT_FOLDER\n"
                          "       zorvel-export --help | --version");
}

int usage()
{
    print(stderr, usageText());
    return 2;
}

// Asked for: the usage, on standard output.
int help()
{
    print(stdout,
        usageText()
            + QStringLiteral("\n\nExports a Zorvel build folder into a new numbered folder of "
                             "EXPORT_FOLDER:\n"
                             "  (default)  the CD (\"Export n\"); --print adds the printable pages\n"
                             "  --epub     one EPUB e-book per finished book (\"EPUB n\")\n"
                             "Prints the folder made and exits 0; otherwise says why and exits 1."));
    return 0;
}

int exportEpubs(const QString &build, const QString &exportFolder)
{
    const zorvel::FileSystem fs;
    const zorvel::EpubExportResult result
        = zorvel::runEpubExport(fs, QCoreApplication::applicationDirPath(), build, exportFolder);
    if (result.outcome != zorvel::EpubOutcome::Done) {
        const qint16 code = zorvel::epubMessageCode(result);
        print(stderr, code ? zorvel::messageText(code) : zorvel::epubReport(result));
        return 1;
    }
    // Books without pages and media left out are told on stderr.
    print(stdout, QDir::toNativeSeparators(result.outputFolder));
    if (!result.emptyBooks.isEmpty() || !result.leftOut.isEmpty())
        print(stderr, zorvel::epubReport(result));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")))
        return help();
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        print(stdout, QStringLiteral("zorvel-export " ZORVEL_VERSION));
        return 0;
    }
    bool printPages = false;
    bool epub = false;
    bool iso = false;
    if (!args.isEmpty() && args.first() == QLatin1String("--epub")) {
        epub = true;
        args.removeFirst();
    } else {
        while (!args.isEmpty()
            && (args.first() == QLatin1String("--print") || args.first() == QLatin1String("--iso"))) {
            (args.first() == QLatin1String("--iso") ? iso : printPages) = true;
            args.removeFirst();
        }
    }
    if (args.size() != 2 || args[0].startsWith(QLatin1String("--")))
        return usage();
    const QString build = QDir::cleanPath(QFileInfo(args[0]).absoluteFilePath());
    const QString exportFolder = QDir::cleanPath(QFileInfo(args[1]).absoluteFilePath());
    if (epub)
        return exportEpubs(build, exportFolder);
    const zorvel::FileSystem fs;

    // The project's own print choice holds unless --print asks for the pages.
    QString problem;
    const std::optional<zorvel::ProjectSettings> saved = zorvel::readProject(fs, build, &problem);
    if (!problem.isEmpty()) {
        print(stderr, zorvel::messageText(28));
        print(stderr, QStringLiteral("Malformed or unreadable settings file: ") + problem);
        return 1;
    }
    if (saved && saved->print)
        printPages = true;
    const zorvel::ProjectSettings counts = saved.value_or(zorvel::ProjectSettings {});
    if (fs.folderExists(build) && zorvel::finishedBooks(fs, build).isEmpty()) {
        print(stderr,
            QStringLiteral(u"در اين پوشه هيچ كتاب ساخته شده\u200Cاي نيست: ")
                + QDir::toNativeSeparators(build));
        return 1;
    }
    if (fs.folderExists(build)) {
        const QStringList unfinished = zorvel::unfinishedBooks(
            fs, build, counts.aBookNumber, counts.bBookNumber, counts.cBookNumber);
        if (!unfinished.isEmpty())
            print(stderr, QStringLiteral("warning: ") + zorvel::unfinishedBooksWarning(unfinished));
    }

    const zorvel::ExportResult result = zorvel::runExport(
        fs, QCoreApplication::applicationDirPath(), build, exportFolder, printPages);
    if (result.outcome != zorvel::ExportOutcome::Done) {
        print(stderr, zorvel::messageText(result.messageCode()));
        if (!result.problem.isEmpty())
            print(stderr, result.problem);
        if (!result.outputFolder.isEmpty())
            print(stderr,
                QStringLiteral("Left as it got: ") + QDir::toNativeSeparators(result.outputFolder));
        return 1;
    }
    print(stdout, QDir::toNativeSeparators(result.outputFolder));
    if (!iso)
        return 0;
    const QString name = zorvel::cdNameOf(result.outputFolder);
    const zorvel::DiscImageResult image = zorvel::writeDiscImage(result.outputFolder,
        zorvel::discImagePath(result.outputFolder),
        name.isEmpty() ? QFileInfo(result.outputFolder).fileName() : name);
    if (!image.ok()) {
        print(stderr, zorvel::discImageFailedText(image));
        return 1;
    }
    print(stdout, QDir::toNativeSeparators(image.imagePath));
    return 0;
}
