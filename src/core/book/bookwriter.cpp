#include "core/book/bookwriter.h"

#include "core/book/buildlayout.h"
#include "core/book/textrules.h"

#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/common/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cmath>

namespace zorvel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Names are drawn until one is free; a random source that keeps repeating
// itself must not hang the program.
constexpr int kMaxNameDraws = 100000;

// The book's line in BookTitle.xml, CR LF included.
QString titleLine(const BookRequest &r)
{
    return layout::titleLine(r.rowLetter, r.bookNo, RemCrLf(r.bookName));
}

// How BookTitle.xml stood before the book's line went in, so that a book
// that cannot be finished leaves it as it was.
struct TitleFileBefore {
    QString path;
    bool existed = false;
    QByteArray bytes;

    void restore(const FileSystem &fs) const
    {
        if (!existed) {
            QFile::remove(path);
            return;
        }
        // An append is undone by cutting the file back, which needs no room on the disk.
        const QByteArray now = fs.fileExists(path) ? fs.readBytes(path) : QByteArray();
        if (now.startsWith(bytes))
            QFile::resize(path, bytes.size());
        else
            fs.writeBytes(path, bytes);
    }
};

// Adds the book's line to BookTitle.xml, creating the file with its head
// lines when missing. A slot that has a line already gets it replaced where
// it stands (later duplicates of it are dropped), so the front-end shows the
// new name.
TitleFileBefore writeTitleLine(const FileSystem &fs, const QString &base, const BookRequest &r)
{
    TitleFileBefore before;
    before.path = base + layout::indexFolder() + u'/' + layout::titleListFile();
    const QString &path = before.path;
    const QString line = titleLine(r);
    if (!fs.fileExists(path)) {
        fs.writeUnicode(path, layout::titleListStart() + line);
        return before;
    }
    before.existed = true;
    before.bytes = fs.readBytes(path);
    const QString text = fromUtf16Le(before.bytes);
    const QString opening = u'<' + layout::titleKey(r.rowLetter, r.bookNo) + u'>';
    QStringList lines = text.split(kCrLf);
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size();) {
        QStringView rest(lines[i]);
        while (!rest.isEmpty() && (rest.front() == u'\t' || rest.front() == u' '))
            rest = rest.sliced(1);
        if (rest.startsWith(opening)) {
            if (!replaced) {
                lines[i] = line.chopped(2);
                replaced = true;
            } else {
                lines.removeAt(i);
                continue;
            }
        }
        ++i;
    }
    if (!replaced)
        fs.appendUnicode(path, line);
    else
        fs.writeUnicode(path, lines.join(kCrLf));
    return before;
}

QString freePageName(const FileSystem &fs, const QString &txtFolder, const RandomSource &random)
{
    for (int i = 0; i < kMaxNameDraws; ++i) {
        const QString name = NewN(random);
        if (!fs.fileExists(txtFolder + name + u'.' + layout::pageExtension()))
            return name;
    }
    throw FsError(txtFolder, QStringLiteral("No free page name"));
}

// An attachment the writer can copy: there, and with an extension by which
// the front-end finds it beside its page.
bool attachable(const FileSystem &fs, const QString &source)
{
    return fileNameOf(source).contains(u'.') && fs.fileExists(source);
}

// Copies an attachment next to its page, named after the page. Throws FsError
// naming the file and the cause when the copy fails.
void copyAttachment(const QString &source, const QString &txtFolder, const QString &page,
    QStringList &created)
{
    const QString name = fileNameOf(source);
    const QString target = txtFolder + page + name.mid(name.lastIndexOf(u'.'));
    const bool fresh = !QFileInfo::exists(target);
    copyWholeFile(source, target);
    if (fresh)
        created << target;
}

// The digits of the media actually beside the page.
QString mediaStatus(const ParagraphSlot &s, const bool present[3])
{
    QString digits;
    digits += !s.pic.isEmpty() && present[0] ? u'1' : u'0';
    digits += !s.sound.isEmpty() && present[1] ? u'1' : u'0';
    digits += !s.film.isEmpty() && present[2] ? u'1' : u'0';
    return digits;
}

} // namespace

QChar RandN(const RandomSource &random)
{
    const double r = random ? random() : QRandomGenerator::global()->generateDouble();
    // nearbyint rounds halves to even in the default rounding mode.
    int k = static_cast<int>(std::nearbyint(r * 34.0));
    k = std::clamp(k, 0, 34);
    if (k < 10)
        return QChar(u'0' + k);
    return QChar(k + 87);
}

QString NewN(const RandomSource &random)
{
    QString name;
    name.reserve(14);
    for (int i = 0; i < 14; ++i)
        name += RandN(random);
    return name.toUpper();
}

QString RemCrLf(const QString &mata)
{
    QString t = mata;
    t.replace(kCrLf, QStringLiteral(" "));
    t.replace(QStringLiteral("  "), QStringLiteral(" "));
    return trimSpaces(t);
}

QString SetMatn(const QString &mata)
{
    return layout::paragraphs(mata);
}

QString SetShenas(const QString &mata)
{
    return layout::paragraphs(mata);
}

namespace {

bool sameContent(const FileSystem &fs, const QString &a, const QString &b)
{
    if (QFileInfo(a).size() != QFileInfo(b).size())
        return false;
    try {
        return fs.readBytes(a) == fs.readBytes(b);
    } catch (const FsError &) {
        return false;
    }
}

// The name an inline picture has in BookIMG: its own, unless a different
// picture holds that name already; then the first free or equal one of
// name-2, name-3, ... `present` tells whether that file is there already.
QString inlinePictureName(
    const FileSystem &fs, const QString &path, const QString &imgFolder, bool *present)
{
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    for (int k = 1; k <= kMaxNameDraws; ++k) {
        const QString candidate
            = k == 1 ? name : stem + u'-' + QString::number(k) + ext;
        if (!fs.fileExists(imgFolder + candidate)) {
            *present = false;
            return candidate;
        }
        if (sameContent(fs, path, imgFolder + candidate)) {
            *present = true;
            return candidate;
        }
    }
    throw FsError(imgFolder + name, QStringLiteral("No free picture name"));
}

// The writer's mode: a failed copy throws, and a missing picture either
// throws or, left out, leaves its paragraph empty.
struct StrictPictures {
    bool leaveOutMissing = false;
    QStringList *leftOut = nullptr;
    QStringList *created = nullptr;
};

QString convertInlinePictures(const QString &inTe, const QStringList &imgList,
    const QString &base, const FileSystem &fs, QStringList *notCopied,
    const StrictPictures *strict = nullptr)
{
    const QString startMark = layout::inlinePictureMarkStart();
    const QString endMark = layout::inlinePictureMarkEnd();
    const QString imgFolder = DoSlash(base) + layout::picturesFolder() + u'/';
    QString body = inTe;
    for (;;) {
        const qsizetype a = body.indexOf(startMark);
        if (a < 0)
            break;
        const qsizetype b = body.indexOf(endMark, a);
        if (b < 0)
            break;
        const QString token = body.mid(a, b + endMark.size() - a);
        bool ok = false;
        const int number
            = token.mid(startMark.size(), token.size() - startMark.size() - endMark.size())
                  .toInt(&ok);
        if (!ok || number < 0 || number >= kInlinePictureCount)
            break;
        const QString path = number < imgList.size() ? imgList.at(number) : QString();
        QString name = fileNameOf(path);
        if (!path.isEmpty()) {
            if (!fs.fileExists(path)) {
                if (strict) {
                    if (!strict->leaveOutMissing)
                        throw FsError(path, QStringLiteral("File not found"));
                    if (!strict->leftOut->contains(path))
                        *strict->leftOut << path;
                    body.replace(token,
                        u'<' + layout::paragraphTag() + QStringLiteral("></")
                            + layout::paragraphTag() + u'>');
                    continue;
                }
                if (notCopied && !notCopied->contains(path))
                    *notCopied << path;
            } else if (strict) {
                bool present = false;
                name = inlinePictureName(fs, path, imgFolder, &present);
                if (!present) {
                    copyWholeFile(path, imgFolder + name);
                    *strict->created << imgFolder + name;
                }
            } else {
                try {
                    bool present = false;
                    name = inlinePictureName(fs, path, imgFolder, &present);
                    if (!present)
                        copyWholeFile(path, imgFolder + name);
                } catch (const FsError &) {
                    if (notCopied && !notCopied->contains(path))
                        *notCopied << path;
                    break;
                }
            }
        }
        body.replace(token, layout::pictureReference(name));
    }
    return body;
}

} // namespace

QString ToIMG(const QString &inTe, const QStringList &imgList, const QString &base,
    const FileSystem &fs, QStringList *notCopied)
{
    return convertInlinePictures(inTe, imgList, base, fs, notCopied);
}

QString missingFoldersMessage()
{
    return QStringLiteral("Folder ") + layout::indexFolder() + QStringLiteral(" or ") + layout::pagesFolder()
        + QStringLiteral(" doesn't exist!");
}

QString rewriteQuestion(const QString &treeFileName)
{
    return QStringLiteral(u"فايلي با نام ") + kCrLf + treeFileName + kCrLf
        + QStringLiteral(u" در حال حاضر موجود است.") + kCrLf + kCrLf
        + QStringLiteral(u" آيا حذف شود؟");
}

QString missingSourcesQuestion(const QStringList &missing)
{
    QStringList shown;
    for (const QString &path : missing)
        shown << QDir::toNativeSeparators(path);
    return QStringLiteral(u"اين فايلهاي كتاب پيدا نشدند:") + kCrLf + shown.join(kCrLf) + kCrLf
        + kCrLf + QStringLiteral(u"آيا كتاب بدون آنها ساخته شود؟");
}

QStringList missingSources(const FileSystem &fs, const BookRequest &request)
{
    const std::function<QString(const QString &)> toText
        = request.toText ? request.toText : [](const QString &s) { return s; };
    const QString startMark = layout::inlinePictureMarkStart();
    const QString endMark = layout::inlinePictureMarkEnd();
    QStringList missing;
    const auto note = [&](const QString &path) {
        if (!missing.contains(path))
            missing << path;
    };
    const qsizetype count = std::min<qsizetype>(request.paragraphs.size(), kSlotCount);
    for (qsizetype i = 0; i < count; ++i) {
        const ParagraphSlot &slot = request.paragraphs.at(i);
        if (slot.title == markMain() || slot.title == markEnd())
            continue;
        const QString body = SetMatn(toText(slot.body));
        // The markers the writer will meet, up to the first malformed one.
        for (qsizetype from = 0;;) {
            const qsizetype a = body.indexOf(startMark, from);
            const qsizetype b = a < 0 ? -1 : body.indexOf(endMark, a);
            if (b < 0)
                break;
            bool ok = false;
            const int number
                = body.mid(a + startMark.size(), b - a - startMark.size()).toInt(&ok);
            if (!ok || number < 0 || number >= kInlinePictureCount)
                break;
            const QString path
                = number < request.imgList.size() ? request.imgList.at(number) : QString();
            if (!path.isEmpty() && !fs.fileExists(path))
                note(path);
            from = b + endMark.size();
        }
        for (const QString *media : { &slot.pic, &slot.sound, &slot.film }) {
            if (!media->isEmpty() && !attachable(fs, *media))
                note(*media);
        }
    }
    return missing;
}

BookTarget checkBookTarget(const FileSystem &fs, const QString &buildFolder,
    const QString &rowLetter, const QString &bookNo)
{
    const QString base = DoSlashAlways(buildFolder);
    BookTarget t;
    t.foldersExist = fs.folderExists(base + layout::pagesFolder())
        && fs.folderExists(base + layout::indexFolder());
    t.treeFileName = layout::treeFileName(rowLetter, bookNo);
    t.treeFilePath = base + layout::indexFolder() + u'/' + t.treeFileName;
    t.treeFileExists = fs.fileExists(t.treeFilePath);
    return t;
}

BookResult writeBook(const FileSystem &fs, const BookRequest &request, bool overwrite)
{
    const QString base = DoSlashAlways(request.buildFolder);
    const BookTarget target
        = checkBookTarget(fs, request.buildFolder, request.rowLetter, request.bookNo);
    if (!target.foldersExist)
        throw FsError(base + layout::pagesFolder(), missingFoldersMessage());
    if (target.treeFileExists && !overwrite)
        throw FsError(target.treeFilePath, QStringLiteral("File already exists"));

    const QString txtFolder = base + layout::pagesFolder() + u'/';
    const std::function<QString(const QString &)> toText
        = request.toText ? request.toText : [](const QString &s) { return s; };

    BookResult result;
    // The files this write makes; they go again when the book cannot be finished.
    QStringList created;
    try {
        QString tree = layout::treeStart();
        int depth = 1;
        const qsizetype count = std::min<qsizetype>(request.paragraphs.size(), kSlotCount);
        for (qsizetype i = 0; i < count; ++i) {
            const ParagraphSlot &slot = request.paragraphs.at(i);
            if (slot.title == markMain()) {
                tree += layout::treeGroupStart(depth, RemCrLf(slot.body));
                ++depth;
                continue;
            }
            if (slot.title == markEnd()) {
                // An end entry with no open main title would break the tree; the
                // marking commands never make one.
                if (depth <= 1)
                    continue;
                --depth;
                tree += layout::treeGroupEnd(depth);
                continue;
            }
            const QString page = freePageName(fs, txtFolder, request.random);
            const QString pageFile = page + u'.' + layout::pageExtension();
            const QString plain = toText(slot.body);
            const QString wrapped
                = slot.title == markShenas() ? SetShenas(plain) : SetMatn(plain);
            StrictPictures strict { request.leaveOutMissing, &result.leftOut, &created };
            const QString body
                = convertInlinePictures(wrapped, request.imgList, base, fs, nullptr, &strict);
            // A new file: torn pages are never left (and the tree that would
            // refer to them is written last).
            writeWholeUnicode(txtFolder + pageFile, layout::pageText(slot.title, body));
            created << txtFolder + pageFile;
            result.pages << pageFile;
            bool present[3] = { true, true, true };
            int k = 0;
            for (const QString *media : { &slot.pic, &slot.sound, &slot.film }) {
                const int which = k++;
                if (media->isEmpty())
                    continue;
                if (!attachable(fs, *media)) {
                    if (!request.leaveOutMissing)
                        throw FsError(*media,
                            fileNameOf(*media).contains(u'.')
                                ? QStringLiteral("File not found")
                                : QStringLiteral("No file extension"));
                    present[which] = false;
                    if (!result.leftOut.contains(*media))
                        result.leftOut << *media;
                    continue;
                }
                copyAttachment(*media, txtFolder, page, created);
            }
            tree += layout::treePage(
                depth, RemCrLf(slot.title), pageFile, mediaStatus(slot, present));
        }

        const TitleFileBefore titleFile = writeTitleLine(fs, base, request);
        try {
            fs.writeUnicode(target.treeFilePath, tree);
        } catch (const FsError &) {
            try {
                titleFile.restore(fs);
            } catch (const FsError &) {
                // The tree file's failure is the one to report.
            }
            throw;
        }
    } catch (const FsError &) {
        for (const QString &file : std::as_const(created))
            QFile::remove(file);
        throw;
    }
    return result;
}

} // namespace zorvel
