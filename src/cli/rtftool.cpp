// rtftool: looks into RTF files from the command line.
//   rtftool text FILE       the plain text as RichTextBox::Text gives it (UTF-8)
//   rtftool roundtrip FILE  the file read into a document and written back as RTF
#include "core/common/filesystem.h"
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_parser.h"
#include "core/richtext/rtf_reader.h"
#include "core/richtext/rtf_writer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <memory>

namespace {

int usage()
{
    std::fputs("usage: rtftool text FILE\n       rtftool roundtrip FILE\n", stderr);
    return 2;
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return usage();
    const QByteArray command = argv[1];
    if (command != "text" && command != "roundtrip")
        return usage();

    QByteArray bytes;
    try {
        bytes = zorvel::FileSystem().readBytes(QString::fromLocal8Bit(argv[2]));
    } catch (const zorvel::FsError &error) {
        std::fprintf(stderr, "rtftool: %s\n", qPrintable(error.describe()));
        return 1;
    }
    const QString rtf = QString::fromLatin1(bytes);

    if (command == "text") {
        QCoreApplication app(argc, argv);
        writeOut(zorvel::rtfToText(rtf).toUtf8());
        return 0;
    }

    // A document needs fonts, so a GUI application; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    zorvel::readRtf(cursor, rtf, zorvel::rtf::Mode::Document);
    writeOut(zorvel::writeRtf(document).toLatin1());
    return 0;
}
