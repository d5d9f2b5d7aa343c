// Feeds arbitrary bytes to the RTF reader, both of its consumers, and the
// writer: nothing may crash, hang, or read out of bounds, and what was read
// must survive writing and reading again.
#include "core/richtext/rtf.h"
#include "core/richtext/rtf_parser.h"
#include "core/richtext/rtf_reader.h"
#include "core/richtext/rtf_writer.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

using namespace zorvel;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

namespace {

QString textOf(const QTextDocument &doc)
{
    return documentCharsToText(doc.toRawText());
}

// Control characters other than tab are not text; RTF does not carry them.
QString withoutControls(QString text)
{
    text.removeIf(
        [](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n'; });
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString rtf = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString plain = rtfToText(rtf);

    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    readRtf(cursor, rtf, rtf::Mode::Document);
    if (rtf::looksLikeRtf(rtf) && textOf(doc) != plain)
        std::abort(); // the two consumers of the parser disagree

    const QString written = writeRtf(doc);
    QTextDocument again;
    again.setUndoRedoEnabled(false);
    QTextCursor againCursor(&again);
    readRtf(againCursor, written, rtf::Mode::Document);
    if (textOf(again) != withoutControls(textOf(doc)))
        std::abort(); // writing lost or changed text

    // pasted into the middle of a paragraph
    QTextDocument target;
    target.setUndoRedoEnabled(false);
    QTextCursor at(&target);
    at.insertText(QStringLiteral("ab"));
    at.setPosition(1);
    readRtf(at, rtf, rtf::Mode::Fragment);
    at.setPosition(0);
    at.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    (void)writeSelectionRtf(at);
    return 0;
}
