// Speed of the RTF reader and writer and of RichTextBox on large texts.
// Prints one line per measurement. Usage: bench_rtf [megabytes]
// The boxes are shown, so Qt lays their text out; BENCH_HIDDEN=1 leaves them
// hidden to measure the control without the layout.
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_reader.h"
#include "core/richtext/rtf_writer.h"
#include "ui/richtext/richtextbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <functional>
#include <random>

using namespace zorvel;

namespace {

// Persian RTF as a rich-edit control writes it: code page 1256 escapes, a few
// words per run, bold and size changes, paragraphs of a few hundred letters.
QString makePersianRtf(qsizetype targetBytes)
{
    static const char *words[] = { "\\'c7\\'ed\\'e4", "\\'df\\'ca\\'c7\\'c8", "\\'c8\\'e5",
        "\\'dd\\'c7\\'d1\\'d3\\'ed", "\\'e3\\'ca\\'e4", "\\'cf\\'d1", "\\'c7\\'d3\\'ca",
        "\\'e4\\'e6\\'d4\\'ca\\'e5", "\\'81\\'d2\\'e6\\'e5\\'d4", "\\'90\\'e1", "\\'c7\\'d2",
        "\\'e3\\'ed\\'9d\\'d4\\'e6\\'cf", "1402", "\\'ab\\'e4\\'de\\'e1\\'bb" };
    std::mt19937 random(7);
    QString rtf;
    rtf.reserve(targetBytes + 4096);
    rtf += QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl{\\f0\\fnil\\fcharset178 "
        "Tahoma;}{\\f1\\fnil\\fcharset178 Arial;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}"
        "\r\n\\viewkind4\\uc1");
    int paragraphLetters = 0;
    rtf += QStringLiteral("\\pard\\rtlpar\\qr\\f0\\fs20 ");
    while (rtf.size() < targetBytes) {
        const int style = int(random() % 12);
        if (style == 0)
            rtf += QStringLiteral("{\\b ");
        else if (style == 1)
            rtf += QStringLiteral("{\\f1\\fs24\\cf1 ");
        const int count = 1 + int(random() % 5);
        for (int i = 0; i < count; ++i) {
            const char *word = words[random() % (sizeof words / sizeof *words)];
            rtf += QLatin1String(word);
            rtf += QLatin1Char(' ');
            paragraphLetters += 5;
        }
        if (style <= 1)
            rtf += QLatin1Char('}');
        if (paragraphLetters > 300) {
            rtf += QStringLiteral("\\par\r\n\\pard\\rtlpar\\qr ");
            paragraphLetters = 0;
        }
    }
    rtf += QStringLiteral("\\par\r\n}");
    return rtf;
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

void report(const char *what, double secs, double megabytes)
{
    if (megabytes > 0)
        std::printf("%-46s %8.3f s  %8.1f MB/s\n", what, secs, megabytes / secs);
    else
        std::printf("%-46s %8.3f s\n", what, secs);
    std::fflush(stdout);
}

double mb(qsizetype bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 10;

    const QString rtf = makePersianRtf(qsizetype(megabytes) * 1024 * 1024);
    std::printf(
        "input: %.1f MB of Persian RTF (code page 1256 escapes, short runs)\n", mb(rtf.size()));

    QString plain;
    report(
        "read, plain text (rtfToText)", seconds([&] { plain = rtfToText(rtf); }), mb(rtf.size()));
    std::printf("  %lld characters of text\n", (long long)plain.size());

    QTextDocument document;
    document.setUndoRedoEnabled(false);
    report("read into a QTextDocument", seconds([&] {
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        readRtf(cursor, rtf, rtf::Mode::Document);
        cursor.endEditBlock();
    }),
        mb(rtf.size()));
    std::printf("  %d paragraphs\n", document.blockCount());

    QString written;
    const double writeSecs = seconds([&] { written = writeRtf(document); });
    report("write the document (writeRtf), by output", writeSecs, mb(written.size()));
    std::printf("  %.1f MB of RTF written\n", mb(written.size()));

    // The same through the control the windows use.
    {
        RichTextBox box;
        box.resize(800, 600);
        if (qEnvironmentVariableIsEmpty("BENCH_HIDDEN"))
            box.show();
        report("RichTextBox::setTextRTF", seconds([&] { box.setTextRTF(rtf); }), mb(rtf.size()));
        report(
            "RichTextBox::TextRTF", seconds([&] { written = box.TextRTF(); }), mb(written.size()));
        QString text;
        report("RichTextBox::Text", seconds([&] { text = box.Text(); }), 0);
        app.processEvents();
    }

    // The workbench: a large plain text, right-aligned, cut from the top.
    {
        RichTextBox box;
        box.resize(800, 600);
        if (qEnvironmentVariableIsEmpty("BENCH_HIDDEN"))
            box.show();
        const QString text = plain;
        report("RichTextBox::setText (plain)", seconds([&] { box.setText(text); }),
            mb(text.size() * 2));
        report("select all, SelAlignment = 1 (Mright)", seconds([&] {
            box.setSelStart(0);
            box.setSelLength(box.Text().size());
            box.setSelAlignment(1);
            box.setSelLength(0);
        }),
            0);
        const int middle = int(text.size() / 2);
        QString piece;
        report("1000 selections of 300 in the middle: SelText", seconds([&] {
            for (int i = 0; i < 1000; ++i) {
                box.setSelStart(middle + i * 7);
                box.setSelLength(300);
                piece = box.SelText();
            }
        }),
            0);
        report("1000 selections of 300 in the middle: SelRTF", seconds([&] {
            for (int i = 0; i < 1000; ++i) {
                box.setSelStart(middle + i * 7);
                box.setSelLength(300);
                piece = box.SelRTF();
            }
        }),
            0);
        report("200 marks from the top: SelRTF, delete", seconds([&] {
            for (int i = 0; i < 200; ++i) {
                box.setSelStart(0);
                box.setSelLength(400);
                piece = box.SelRTF();
                box.setSelText(QString());
                box.setSelStart(0);
            }
        }),
            0);
        app.processEvents();
    }

    // Whole processes on the same file: ours and Debian's unrtf.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.rtf"));
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(rtf.toLatin1());
    }
    const QString rtftool
        = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/rtftool");
    auto runProcess = [&](const QString &program, const QStringList &args) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, args);
        if (!process.waitForStarted(5000))
            return -1.0;
        QElapsedTimer timer;
        timer.start();
        process.waitForFinished(-1);
        return timer.nsecsElapsed() / 1e9;
    };
    const double ours = runProcess(rtftool, { QStringLiteral("text"), path });
    if (ours >= 0)
        report("process: rtftool text", ours, mb(rtf.size()));
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (!unrtf.isEmpty()) {
        const double theirs = runProcess(unrtf, { QStringLiteral("--text"), path });
        report("process: unrtf --text", theirs, mb(rtf.size()));
        if (ours > 0)
            std::printf("  unrtf --text takes %.1f times as long as rtftool text\n", theirs / ours);
    } else {
        std::printf("unrtf not installed: no comparison\n");
    }
    return 0;
}
