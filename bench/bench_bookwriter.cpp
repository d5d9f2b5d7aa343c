// Time of writing one book (MakeBook's files): 256 paragraphs of about 2 KB
// of Persian RTF, some with attachments and inline pictures. The RTF is
// turned into text by a stand-in for the workbench's ToTXT.
#include "bench_book_data.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace benchdata;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const BookData book = makeBook(tmp.path() + QStringLiteral("/media"), 42);
    qint64 rtfBytes = 0;
    for (const ParagraphSlot &s : book.paragraphs)
        rtfBytes += s.body.size();

    FileSystem fs;
    QList<double> writeMs, textMs;
    const int runs = 9;
    for (int run = 0; run < runs; ++run) {
        const QString build = tmp.path() + QStringLiteral("/build%1").arg(run);
        makeBuildFolder(build);
        QElapsedTimer t;
        t.start();
        const BookResult r = writeBook(fs, request(build, book, QStringLiteral("a"), 1), false);
        writeMs << t.nsecsElapsed() / 1e6;
        if (r.pages.size() != 255 || !r.notCopied.isEmpty()) {
            std::fprintf(stderr, "unexpected result: %lld pages, %lld not copied\n",
                static_cast<long long>(r.pages.size()), static_cast<long long>(r.notCopied.size()));
            return 1;
        }
        if (run == 0) {
            int withPicture = 0;
            for (const QString &name : r.pages)
                withPicture += fs.readUnicode(build + QStringLiteral("/BookTXT/") + name)
                                   .contains(QStringLiteral("<IMG src=\"../BookIMG/inline"));
            std::printf("pages with an inline picture: %d, inline pictures copied: %lld\n",
                withPicture,
                static_cast<long long>(fs.listFiles(build + QStringLiteral("/BookIMG")).size()));
        }
        t.restart();
        for (const ParagraphSlot &s : book.paragraphs)
            rtfToTextStandIn(s.body);
        textMs << t.nsecsElapsed() / 1e6;
    }
    std::printf("book: %lld slots, %.0f KB of RTF\n",
        static_cast<long long>(book.paragraphs.size()), rtfBytes / 1024.0);
    std::printf("write one book: median %.1f ms, min %.1f ms over %d runs (goal < 500 ms)\n",
        median(writeMs), *std::min_element(writeMs.begin(), writeMs.end()), runs);
    std::printf("  of which RTF-to-text stand-in: median %.1f ms\n", median(textMs));
    return 0;
}
