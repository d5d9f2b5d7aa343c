#pragma once
// Books for the writer and export benchmarks: 256 paragraphs of about 2 KB of
// Persian RTF each, some with attachments and inline pictures, and a small
// RTF-to-text stand-in for the workbench's ToTXT (control words skipped,
// \'hh read as Windows-1256, \par as CR LF).

#include "core/book/bookwriter.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "support/copytree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace benchdata {

using namespace zorvel;

inline QString rtfToTextStandIn(const QString &rtf)
{
    QString out;
    out.reserve(rtf.size() / 3);
    QByteArray pending; // \'hh bytes waiting to be decoded together
    auto flush = [&] {
        if (!pending.isEmpty()) {
            out += decode1256(pending);
            pending.clear();
        }
    };
    int depth = 0;
    int skipDepth = -1; // inside a {\* ...} or font table group
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = rtf.at(i);
        if (c == u'{') {
            ++depth;
            if (skipDepth < 0 && i + 2 < n && rtf.at(i + 1) == u'\\'
                && (rtf.at(i + 2) == u'*' || rtf.mid(i + 1, 8) == QLatin1String("\\fonttbl")))
                skipDepth = depth;
            continue;
        }
        if (c == u'}') {
            if (depth == skipDepth)
                skipDepth = -1;
            --depth;
            continue;
        }
        if (c == u'\\') {
            const QChar d = i + 1 < n ? rtf.at(i + 1) : QChar();
            if (d == u'\'') {
                if (skipDepth < 0)
                    pending.append(char(rtf.mid(i + 2, 2).toInt(nullptr, 16)));
                i += 3;
                continue;
            }
            if (d == u'{' || d == u'}' || d == u'\\') {
                flush();
                if (skipDepth < 0)
                    out += d;
                ++i;
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && rtf.at(j).isLetter())
                ++j;
            const QStringView word = QStringView(rtf).mid(i + 1, j - i - 1);
            while (j < n && (rtf.at(j).isDigit() || rtf.at(j) == u'-'))
                ++j;
            if (j < n && rtf.at(j) == u' ')
                ++j;
            flush();
            if (skipDepth < 0 && word == u"par")
                out += QStringLiteral("\r\n");
            i = j - 1;
            continue;
        }
        if (c == u'\r' || c == u'\n')
            continue;
        flush();
        if (skipDepth < 0)
            out += c;
    }
    flush();
    // A trailing \par closes the last paragraph; it is not an empty line.
    if (out.endsWith(QStringLiteral("\r\n")))
        out.chop(2);
    return out;
}

// About 2 KB of RTF: three paragraphs of Persian words in \'hh form, and on
// every fifth paragraph an inline picture paragraph.
inline QString persianRtf(int index, QRandomGenerator &rng)
{
    static const char *words[] = { "\\'df\\'ca\\'c7\\'c8", "\\'e3\\'ca\\'e4", "\\'cf\\'d1",
        "\\'c7\\'ed\\'e4", "\\'e3\\'cd\\'e1", "\\'c8\\'c7", "\\'c7\\'d2", "\\'e5\\'e3\\'e5",
        "\\'cc\\'e5\\'c7\\'e4", "\\'c7\\'e4\\'d3\\'c7\\'e4" };
    QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}}"
        "\\viewkind4\\uc1\\pard\\rtlpar\\qr\\lang1065\\f0\\fs20 ");
    int para = 0;
    while (rtf.size() < 2000) {
        rtf += QLatin1String(words[rng.bounded(10)]);
        rtf += u' ';
        if (rtf.size() > 650 * (para + 1)) {
            rtf += QStringLiteral("\\par\r\n");
            ++para;
            if (para == 1 && index % 5 == 0)
                rtf += QStringLiteral(" \\{%1\\}\\par\r\n").arg(index / 5 % 20);
        }
    }
    rtf += QStringLiteral("\\par\r\n}");
    return rtf;
}

struct BookData {
    QList<ParagraphSlot> paragraphs;
    QStringList imgList;
};

// Media files under `mediaFolder` (created), and a table of one identity page
// and 255 paragraphs under one main title.
inline BookData makeBook(const QString &mediaFolder, quint32 seed)
{
    QRandomGenerator rng(seed);
    FileSystem fs;
    fs.createFolderPath(mediaFolder);
    auto blob = [&](const QString &name, int size) {
        const QString path = mediaFolder + u'/' + name;
        if (!fs.fileExists(path))
            fs.writeBytes(path, QByteArray(size, 'x'));
        return path;
    };
    BookData book;
    book.imgList = QStringList(kInlinePictureCount);
    for (int i = 0; i < 20; ++i)
        book.imgList[i] = blob(QStringLiteral("inline%1.jpg").arg(i), 30 * 1024);
    book.paragraphs << ParagraphSlot { markShenas(), persianRtf(1, rng), {}, {}, {} };
    book.paragraphs << ParagraphSlot { markMain(), QStringLiteral(u"بخش اول"), {}, {}, {} };
    for (int i = 2; i < 256; ++i) {
        ParagraphSlot s { QStringLiteral(u"عنوان شماره %1").arg(i), persianRtf(i, rng), {}, {},
            {} };
        if (i % 10 == 0)
            s.pic = blob(QStringLiteral("pic%1.jpg").arg(i % 30), 60 * 1024);
        if (i % 25 == 0)
            s.sound = blob(QStringLiteral("sound%1.mp3").arg(i % 50), 300 * 1024);
        if (i % 85 == 0)
            s.film = blob(QStringLiteral("film%1.avi").arg(i), 1024 * 1024);
        book.paragraphs << s;
    }
    book.paragraphs << ParagraphSlot { markEnd(), QStringLiteral(u"بخش اول"), {}, {}, {} };
    return book;
}

// A program folder with the shipped Resources and a 2 MB stand-in for setup.
inline QString makeProgramFolder(const QString &program)
{
    FileSystem fs;
    copyTree(QStringLiteral(ZORVEL_SOURCE_DIR "/resources"), program + QStringLiteral("/Resources"));
    fs.writeBytes(program + QStringLiteral("/Resources/setup"), QByteArray(2 * 1024 * 1024, 's'));
    return program;
}

inline void makeBuildFolder(const QString &build)
{
    FileSystem fs;
    for (const char *sub : { "BookTXT", "_xml", "BookIMG", "FlashIMG" })
        fs.createFolderPath(build + u'/' + QLatin1String(sub));
}

inline BookRequest request(const QString &build, const BookData &book, const QString &row, int no)
{
    BookRequest r;
    r.buildFolder = build;
    r.rowLetter = row;
    r.bookNo = QString::number(no);
    r.bookName = QStringLiteral(u"كتاب نمونه %1").arg(no);
    r.paragraphs = book.paragraphs;
    r.imgList = book.imgList;
    r.toText = rtfToTextStandIn;
    return r;
}

inline double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

} // namespace benchdata
