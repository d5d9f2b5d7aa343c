// zorvel-import: a manuscript written as a book, as "ساخت فايل" writes one.
//   zorvel-import [--slot SLOT] [--replace] BUILD_FOLDER FILE
// FILE is a .docx or .odt manuscript, whose headings give the book's
// structure, or a .txt input text, cut at the titles the workbench would
// suggest. SLOT is a1 ... c10; by default the first book not finished yet in
// the book picker's order. A finished book is written again only with
// --replace. Prints the slot and what was written and exits 0; a file that
// cannot be read, a book too large for the table or a finished slot exit 1
// with the workbench's message; bad usage exits 2.
#include "core/book/bookwriter.h"
#include "core/book/manuscript.h"
#include "core/book/paragraphtable.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"
#include "core/richtext/rtf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void print(FILE *to, const QString &text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

const char kUsage[]
    = "usage: zorvel-import [--slot SLOT] [--replace] BUILD_FOLDER FILE\n"
      "  FILE   a .docx or .odt manuscript, or a .txt input text\n"
      "  SLOT   the book to write, a1 ... c10 (default: the first one not finished)\n"
      "  --replace  write a finished book again";

int usage()
{
    print(stderr, QString::fromUtf8(kUsage));
    return 2;
}

int fail(const QString &message)
{
    print(stderr, message);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace zorvel;
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString slotText;
    bool replace = false;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--help" || a == u"-h") {
            print(stdout, QString::fromUtf8(kUsage));
            return 0;
        } else if (a == u"--replace") {
            replace = true;
        } else if (a == u"--slot") {
            if (++i >= args.size())
                return usage();
            slotText = args[i];
        } else if (a.startsWith(QLatin1String("--slot="))) {
            slotText = a.mid(7);
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            positional << a;
        }
    }
    static const QRegularExpression slotForm(QStringLiteral("^([abc])([1-9]|10)$"));
    const QRegularExpressionMatch slotMatch = slotForm.match(slotText);
    if (positional.size() != 2 || (!slotText.isEmpty() && !slotMatch.hasMatch()))
        return usage();
    const QString build = QDir::cleanPath(QFileInfo(positional[0]).absoluteFilePath());
    const QString file = QFileInfo(positional[1]).absoluteFilePath();
    const FileSystem fs;

    QString rowLetter, bookNo;
    if (slotMatch.hasMatch()) {
        rowLetter = slotMatch.captured(1);
        bookNo = slotMatch.captured(2);
    } else {
        QString problem;
        const std::optional<ProjectSettings> saved = readProject(fs, build, &problem);
        if (!problem.isEmpty())
            return fail(QStringLiteral("Malformed or unreadable settings file: ") + problem);
        const ProjectSettings counts = saved.value_or(ProjectSettings {});
        const QStringList open = unfinishedBooks(
            fs, build, counts.aBookNumber, counts.bBookNumber, counts.cBookNumber);
        if (open.isEmpty())
            return fail(QStringLiteral(u"پايان تعداد كتابها!"));
        const BookSlot slot = parseBookSlot(open.first());
        rowLetter = slot.rowLetter;
        bookNo = slot.bookNo;
    }

    const BookTarget target = checkBookTarget(fs, build, rowLetter, bookNo);
    if (!target.foldersExist)
        return fail(missingFoldersMessage());
    if (target.treeFileExists && !replace)
        return fail(rewriteQuestion(target.treeFileName) + QStringLiteral("\n(--replace)"));

    Manuscript m;
    if (isManuscriptFile(file)) {
        ManuscriptRead read = readManuscript(file);
        if (!read.manuscript)
            return fail(read.problem);
        m = *read.manuscript;
    } else if (extensionOf(QFileInfo(file).fileName())
                   .compare(QLatin1String("txt"), Qt::CaseInsensitive)
        == 0) {
        try {
            m = manuscriptFromText(decodeInputText(fs.readBytes(file)), file);
        } catch (const FsError &e) {
            return fail(QStringLiteral(u"فايل ورودي خوانده نشد:\n") + e.describe());
        }
    } else {
        return fail(QStringLiteral(u"فايل «%1» نه DOCX است، نه ODT و نه TXT.")
                        .arg(QFileInfo(file).fileName()));
    }
    const QString tooLarge = doesNotFitMessage(m);
    if (!tooLarge.isEmpty())
        return fail(tooLarge);

    QString imgT;
    const QString templatePath = DoSlashAlways(QCoreApplication::applicationDirPath())
        + QStringLiteral("Resources") + folderSeparator() + QStringLiteral("img.bin");
    try {
        if (fs.fileExists(templatePath))
            imgT = fs.read1256(templatePath);
    } catch (const FsError &) {
        imgT.clear(); // pictures then stand as plain "{n}" paragraphs
    }

    QTemporaryDir pictures;
    BookResult result;
    try {
        if (!pictures.isValid())
            throw FsError(QDir::tempPath(), QStringLiteral("cannot make a temporary folder"));
        const QStringList paths = savePictures(fs, m, pictures.path(), rowLetter + bookNo + u'-');
        ParagraphTable table;
        markManuscript(table, m, paths, imgT);
        BookRequest request;
        request.buildFolder = build;
        request.rowLetter = rowLetter;
        request.bookNo = bookNo;
        request.bookName = m.bookName;
        request.paragraphs = table.slotsToWrite();
        request.imgList = table.imgList;
        request.toText = [](const QString &rtf) { return rtfToText(rtf); };
        result = writeBook(fs, request, target.treeFileExists);
    } catch (const FsError &e) {
        return fail(QStringLiteral(u"فايل كتاب نوشته نشد:\n") + e.describe());
    }
    print(stdout,
        QStringLiteral("%1%2: %3 pages, %4 main titles, %5 pictures")
            .arg(rowLetter, bookNo)
            .arg(m.pageCount())
            .arg(m.mainTitleCount())
            .arg(m.pictures.size()));
    return 0;
}
