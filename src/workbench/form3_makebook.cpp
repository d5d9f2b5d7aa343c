// "ساخت فايل": the window's part of writing a book. The writer does the
// files; here the operator is asked and told, and the workbench moves on.
#include "workbench/form3.h"

#include "common/operator.h"
#include "shell/appcontext.h"
#include "shell/form1.h"
#include "workbench/bookwriter.h"

#include <QComboBox>
#include <QLineEdit>

namespace zorvel {

void Form3::MakeBook()
{
    Form1 *main = m_ctx.form1;
    const QString base = main->buildFolder();
    if (rowLetter.isEmpty() || bookNo.isEmpty()) {
        m_ctx.op->notice(QStringLiteral(u"كتابي براي ساخت انتخاب نشده است!\u200F"));
        return;
    }
    const BookTarget target = checkBookTarget(fso, base, rowLetter, bookNo);
    if (!target.foldersExist) {
        m_ctx.op->notice(missingFoldersMessage());
        return;
    }
    // Asked before anything is written: No leaves every file as it was.
    if (target.treeFileExists && !m_ctx.op->ask(rewriteQuestion(target.treeFileName)))
        return;

    BookRequest request;
    request.buildFolder = base;
    request.rowLetter = rowLetter;
    request.bookNo = bookNo;
    request.bookName = bname->text();
    request.paragraphs = QList<ParagraphSlot>(table.allSlots().begin(), table.allSlots().end());
    request.imgList = table.imgList;
    request.toText = [](const QString &rtf) { return ToTXT(rtf); };
    BookResult result;
    try {
        result = writeBook(fso, request, target.treeFileExists);
    } catch (const FsError &e) {
        m_ctx.op->notice(QStringLiteral(u"فايل كتاب نوشته نشد:\n") + e.describe());
        return;
    }
    if (!result.notCopied.isEmpty())
        m_ctx.op->notice(notCopiedMessage(result.notCopied));

    main->MakeCombo();
    NameNevis();
    hide();
    m_ctx.op->message(4);
    main->dataName->setFocus();
    ResetA();
}

} // namespace zorvel
