// The reader's data step of an export of 30 books of 256 pages, against the
// whole export (goal: under 20 % of it). With a folder argument the last
// export is kept there, for timing the reader in a browser.
#include "bench_book_data.h"

#include "core/export/exporter.h"
#include "core/export/readerdata.h"
#include "core/project/settings.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace benchdata;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    FileSystem fs;
    const QString program = makeProgramFolder(tmp.path() + QStringLiteral("/program"));

    const QString build = tmp.path() + QStringLiteral("/build");
    makeBuildFolder(build);
    ProjectSettings settings;
    settings.print = true;
    fs.writeUnicode(settingsFilePath(build), buildSettingsText(settings));
    fs.copyFile(program + QStringLiteral("/Resources/MyBack.jpg"),
        build + QStringLiteral("/FlashIMG/Back.jpg"));
    QElapsedTimer t;
    t.start();
    for (const char *row : { "a", "b", "c" })
        for (int no = 1; no <= 10; ++no) {
            fs.copyFile(program + QStringLiteral("/Resources/MyBook.jpg"),
                build + QStringLiteral("/BookIMG/%1Book%2.jpg").arg(QLatin1String(row)).arg(no));
            const BookData book = makeBook(tmp.path() + QStringLiteral("/media"), 7 * no + row[0]);
            writeBook(fs, request(build, book, QString::fromLatin1(row), no), false);
        }
    std::printf("build folder: 30 books of 256 pages written in %.0f ms\n", t.nsecsElapsed() / 1e6);

    const QString keep = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QList<double> exportMs, dataMs;
    const int runs = 3;
    QString last;
    for (int run = 0; run < runs; ++run) {
        const QString exportFolder = run == runs - 1 && !keep.isEmpty()
            ? keep
            : tmp.path() + QStringLiteral("/export%1").arg(run);
        fs.createFolderPath(exportFolder);
        t.restart();
        const ExportResult r = runExport(fs, program, build, exportFolder, true);
        exportMs << t.nsecsElapsed() / 1e6;
        if (r.outcome != ExportOutcome::Done) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(r.problem));
            return 1;
        }
        last = r.outputFolder;
        // The data step alone, again on the finished output.
        t.restart();
        const ReaderDataResult d = writeReaderData(fs, r.outputFolder);
        dataMs << t.nsecsElapsed() / 1e6;
        if (run == 0)
            std::printf("reader data: %d books, %d pages\n", d.books, d.pages);
    }
    const double e = median(exportMs), d = median(dataMs);
    std::printf("whole export (script, printable pages, reader data): median %.0f ms\n", e);
    std::printf("reader data step alone:                              median %.0f ms\n", d);
    std::printf("reader data / whole export = %.0f %% (goal < 20 %%)\n", 100 * d / e);
    if (!keep.isEmpty())
        std::printf("kept: %s\n", qPrintable(last));
    return 0;
}
