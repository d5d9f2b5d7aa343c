// The EPUB export of 30 books of 256 slots against the CD export of the same
// project (goal: under 2x the CD export). The runs alternate, so a machine
// shared with others slows both alike. With a folder argument the last EPUB
// folder is kept there.
#include "bench_book_data.h"

#include "core/export/epub.h"
#include "core/export/exporter.h"
#include "core/project/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

using namespace benchdata;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    FileSystem fs;
    const QString program = makeProgramFolder(tmp.path() + QStringLiteral("/program"));

    // The pictures are real JPEGs (padded to their size), so the e-books
    // carry them as a real project's would.
    const QString media = tmp.path() + QStringLiteral("/media");
    fs.createFolderPath(media);
    const QByteArray jpeg = fs.readBytes(program + QStringLiteral("/Resources/MyBook.jpg"));
    auto padded
        = [&](int size) { return jpeg + QByteArray(std::max(0, size - int(jpeg.size())), '\0'); };
    for (int i = 0; i < 20; ++i)
        fs.writeBytes(media + QStringLiteral("/inline%1.jpg").arg(i), padded(30 * 1024));
    for (int i = 0; i < 30; ++i)
        fs.writeBytes(media + QStringLiteral("/pic%1.jpg").arg(i), padded(60 * 1024));

    const QString build = tmp.path() + QStringLiteral("/build");
    makeBuildFolder(build);
    ProjectSettings settings;
    fs.writeUnicode(settingsFilePath(build), buildSettingsText(settings));
    fs.copyFile(program + QStringLiteral("/Resources/MyBack.jpg"),
        build + QStringLiteral("/FlashIMG/Back.jpg"));
    QElapsedTimer t;
    t.start();
    for (const char *row : { "a", "b", "c" })
        for (int no = 1; no <= 10; ++no) {
            fs.copyFile(program + QStringLiteral("/Resources/MyBook.jpg"),
                build + QStringLiteral("/BookIMG/%1Book%2.jpg").arg(QLatin1String(row)).arg(no));
            const BookData book = makeBook(media, 7 * no + row[0]);
            writeBook(fs, request(build, book, QString::fromLatin1(row), no), false);
        }
    std::printf("build folder: 30 books of 256 slots written in %.0f ms\n", t.nsecsElapsed() / 1e6);

    const QString keep = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QList<double> cdMs, cdPrintMs, epubMs;
    const int runs = 3;
    for (int run = 0; run < runs; ++run) {
        const QString out = tmp.path() + QStringLiteral("/export%1").arg(run);
        fs.createFolderPath(out);
        for (const bool print : { false, true }) {
            t.restart();
            const ExportResult r = runExport(fs, program, build, out, print);
            (print ? cdPrintMs : cdMs) << t.nsecsElapsed() / 1e6;
            if (r.outcome != ExportOutcome::Done) {
                std::fprintf(stderr, "CD export failed: %s\n", qPrintable(r.problem));
                return 1;
            }
            QDir(r.outputFolder).removeRecursively();
        }
        const QString epubOut = run == runs - 1 && !keep.isEmpty() ? keep : out;
        fs.createFolderPath(epubOut);
        t.restart();
        const EpubExportResult e = runEpubExport(fs, program, build, epubOut);
        epubMs << t.nsecsElapsed() / 1e6;
        if (e.outcome != EpubOutcome::Done) {
            std::fprintf(stderr, "EPUB export failed: %s\n", qPrintable(e.problem));
            return 1;
        }
        if (run == 0) {
            qint64 bytes = 0;
            for (const QString &f : e.files)
                bytes += QFileInfo(e.outputFolder + u'/' + f).size();
            std::printf("EPUB: %d books, %.0f MB, %d media left out\n", int(e.files.size()),
                bytes / 1e6, int(e.leftOut.size()));
        }
        if (epubOut == out)
            QDir(e.outputFolder).removeRecursively();
        else
            std::printf("kept: %s\n", qPrintable(e.outputFolder));
    }
    const double cd = median(cdMs), cdPrint = median(cdPrintMs), epub = median(epubMs);
    std::printf("CD export, no printable pages:   median %.0f ms\n", cd);
    std::printf("CD export, with printable pages: median %.0f ms\n", cdPrint);
    std::printf("EPUB export:                     median %.0f ms\n", epub);
    std::printf("EPUB / CD export = %.2f (with printable pages %.2f; goal < 2)\n", epub / cd,
        epub / cdPrint);
    return 0;
}
