// "ساخت فايل": the window's part of writing a book. The writer does the
// files; here the operator is asked and told, and the workbench moves on.
#include "ui/workbench/form3.h"

#include "core/richtext/rtf.h"

#include "core/book/bookwriter.h"
#include "core/book/savedwork.h"
#include "core/project/bookslot.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace zorvel {

bool Form3::pickerOffersBook() const
{
    const QComboBox *picker = m_ctx.mainWindow->bookPicker();
    QStringList entries;
    for (int i = 0; i < picker->count(); ++i)
        entries << picker->itemText(i);
    return indexOfBook(entries, rowLetter, bookNo) >= 0;
}

bool Form3::MakeBook()
{
    if (rowLetter.isEmpty() || bookNo.isEmpty() || m_buildFolder.isEmpty()) {
        m_ctx.op->notice(QStringLiteral(u"كتابي براي ساخت انتخاب نشده است!\u200F"));
        return false;
    }
    // The book was fixed by Next; the picker may have moved on since.
    if (!pickerOffersBook()
        && !m_ctx.op->ask(QStringLiteral(u"اين كتاب  (") + rowLetter + bookNo
                          + QStringLiteral(u") در فهرست «انتخاب كتاب» نيست.\r\n"
                                           u"آيا با اين حال فايل آن ساخته شود؟")))
        return false;
    const QString base = m_buildFolder;
    const BookTarget target = checkBookTarget(fso, base, rowLetter, bookNo);
    if (!target.foldersExist) {
        m_ctx.op->notice(missingFoldersMessage());
        return false;
    }
    // Asked before anything is written: No leaves every file as it was.
    if (target.treeFileExists && !m_ctx.op->ask(rewriteQuestion(target.treeFileName)))
        return false;

    BookRequest request;
    request.buildFolder = base;
    request.rowLetter = rowLetter;
    request.bookNo = bookNo;
    request.bookName = bname->text();
    request.paragraphs = table.slotsToWrite();
    request.imgList = table.imgList;
    request.toText = [](const QString &rtf) { return rtfToText(rtf); };
    // Files gone since they were marked: the book is written without them
    // only when the operator says so.
    const QStringList missing = missingSources(fso, request);
    if (!missing.isEmpty()) {
        if (!m_ctx.op->ask(missingSourcesQuestion(missing)))
            return false;
        request.leaveOutMissing = true;
    }
    try {
        writeBook(fso, request, target.treeFileExists);
    } catch (const FsError &e) {
        // Nothing of this write is left, and the saved work is kept.
        m_ctx.op->notice(QStringLiteral(u"فايل كتاب نوشته نشد:\n") + e.describe());
        return false;
    }

    // The book is made: its saved work goes, and the workbench holds no book
    // until the next Next.
    const QString work = workFile();
    ResetA();
    m_inputText.clear();
    try {
        if (fso.fileExists(work))
            fso.deleteFile(work);
        removeWorkTextBases(fso, work, QString());
        removeWorkMedia(workMediaFolderPath(m_buildFolder, rowLetter, bookNo));
    } catch (const FsError &e) {
        m_ctx.op->notice(QStringLiteral(u"كار ذخيره شده اين كتاب حذف نشد:\n") + e.describe());
    }
    rowLetter.clear();
    bookNo.clear();
    BookLabel->setText(QStringLiteral(u"نام كتاب:"));

    m_ctx.mainWindow->rebuildBookPicker();
    hide();
    m_ctx.op->message(4);
    m_ctx.mainWindow->bookPicker()->setFocus();
    return true;
}

} // namespace zorvel
