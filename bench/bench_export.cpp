// Time of an export of 10 books with printable pages, against `cp -r` of the
// same build folder in the same run. The books are written by the book writer
// with a stand-in for the workbench's ToTXT.
#include "bench_book_data.h"

#include "core/export/exporter.h"
#include "core/export/printpages.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

using namespace benchdata;

namespace {

double copyWithCp(const QString &from, const QString &to)
{
    QElapsedTimer t;
    t.start();
    QProcess cp;
    cp.start(QStringLiteral("cp"), { QStringLiteral("-r"), from, to });
    cp.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (cp.exitCode() != 0)
        std::fprintf(stderr, "cp failed\n");
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    FileSystem fs;
    const QString program = makeProgramFolder(tmp.path() + QStringLiteral("/program"));
    fs.writeBytes(
        program + QStringLiteral("/Resources/cd.inf"), QByteArray("[Title]\r\nZorvel\r\n"));

    const QString build = tmp.path() + QStringLiteral("/build");
    makeBuildFolder(build);
    fs.writeBytes(build + QStringLiteral("/FlashIMG/Back.jpg"), QByteArray(300 * 1024, 'b'));
    fs.writeBytes(build + QStringLiteral("/FlashIMG/Sound1.mp3"), QByteArray(3 * 1024 * 1024, 'm'));
    fs.writeBytes(build + QStringLiteral("/FlashIMG/Sound2.mp3"), QByteArray(3 * 1024 * 1024, 'm'));
    QElapsedTimer t;
    t.start();
    for (int no = 1; no <= 10; ++no) {
        fs.writeBytes(
            build + QStringLiteral("/BookIMG/aBook%1.jpg").arg(no), QByteArray(80 * 1024, 'k'));
        const BookData book = makeBook(tmp.path() + QStringLiteral("/media%1").arg(no), 100 + no);
        writeBook(fs, request(build, book, QStringLiteral("a"), no), false);
    }
    const double booksMs = t.nsecsElapsed() / 1e6;
    qint64 bytes = 0;
    int files = 0;
    for (const char *sub : { "BookTXT", "_xml", "BookIMG", "FlashIMG" })
        for (const QString &name : fs.listFiles(build + u'/' + QLatin1String(sub))) {
            bytes += QFileInfo(build + u'/' + QLatin1String(sub) + u'/' + name).size();
            ++files;
        }
    std::printf("build folder: 10 books, %d files, %.1f MB (written in %.0f ms)\n", files,
        bytes / 1048576.0, booksMs);

    QList<double> exportMs, cpMs, pagesMs;
    const int runs = 5;
    for (int run = 0; run < runs; ++run) {
        const QString exportFolder = tmp.path() + QStringLiteral("/export%1").arg(run);
        fs.createFolderPath(exportFolder);
        t.restart();
        const ExportResult r = runExport(fs, program, build, exportFolder, true);
        exportMs << t.nsecsElapsed() / 1e6;
        if (r.outcome != ExportOutcome::Done) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(r.problem));
            return 1;
        }
        if (run == 0)
            std::printf("printable pages per export: %d\n", r.printablePages);

        cpMs << copyWithCp(build, tmp.path() + QStringLiteral("/cp%1").arg(run));

        // The page step alone, on a fresh copy of the pages.
        const QString pages = tmp.path() + QStringLiteral("/pages%1").arg(run);
        fs.createFolderPath(pages);
        for (const QString &name : fs.listFiles(build + QStringLiteral("/BookTXT")))
            if (name.endsWith(QLatin1String(".htm")))
                fs.copyFile(build + QStringLiteral("/BookTXT/") + name, pages + u'/' + name);
        t.restart();
        makePrintablePages(fs, pages, program + QStringLiteral("/Resources/Default.html"));
        pagesMs << t.nsecsElapsed() / 1e6;
    }
    const double e = median(exportMs), c = median(cpMs), p = median(pagesMs);
    std::printf("export with printable pages: median %.0f ms over %d runs\n", e, runs);
    std::printf("cp -r of the build folder:   median %.0f ms\n", c);
    std::printf("page generation alone:       median %.0f ms\n", p);
    std::printf("export / cp -r = %.2f; export / (2 x cp -r + pages) = %.2f (goal <= 1)\n", e / c,
        e / (2 * c + p));
    return 0;
}
