// Word and OpenDocument manuscripts chosen in the list of input texts: read
// by the core, marked in the table as one step, as if by hand.
#include "ui/workbench/form3.h"

#include "core/book/manuscript.h"
#include "core/book/savedwork.h"
#include "core/book/textrules.h"
#include "core/common/paths.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

namespace zorvel {

QString Form3::manuscriptMediaFolder() const
{
    // Beside the saved work, outside the folders the export copies; the
    // writer copies them into BookIMG when the book is made.
    return workMediaFolderPath(m_buildFolder, rowLetter, bookNo);
}

void Form3::loadManuscript(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (rowLetter.isEmpty() || bookNo.isEmpty() || m_buildFolder.isEmpty()) {
        m_ctx.op->notice(QStringLiteral(u"كتابي براي ساخت انتخاب نشده است!\u200F"));
        return;
    }
    const ManuscriptRead read = readManuscript(path);
    if (!read.manuscript) {
        m_ctx.op->notice(read.problem);
        return;
    }
    const Manuscript &m = *read.manuscript;
    // The manuscript takes the whole table: it is checked against all of it.
    const QString tooLarge = doesNotFitMessage(m);
    if (!tooLarge.isEmpty()) {
        m_ctx.op->notice(tooLarge);
        return;
    }
    const bool hasMarks = table.parCount() > 0 || table.hasPendingTitle() || table.imgCount > 0
        || !bname->text().isEmpty();
    if (hasMarks
        && !m_ctx.op->ask(QStringLiteral(u"اين كتاب علامتهايي دارد. آيا علامتهاي فايل «") + name
            + QStringLiteral(u"» جاي آنها را بگيرد؟"))) {
        return;
    }
    QStringList pictures;
    try {
        pictures = savePictures(fso, m, manuscriptMediaFolder(), rowLetter + bookNo + u'-');
    } catch (const FsError &e) {
        m_ctx.op->notice(QStringLiteral(u"تصويرهاي فايل «") + name
            + QStringLiteral(u"» ذخيره نشد:\n") + e.describe());
        return;
    }
    commitStep(QStringLiteral(u"خواندن «") + name + u'»', [&] {
        table.reset();
        bname->setText(m.bookName);
        markManuscript(table, m, pictures, ImgT);
        // Every piece is marked: with "با حذف" none is left in the text.
        matn->setText(Chek->isChecked() ? QString() : Rep(m.plainText()));
        Mright();
        m_inputText = name;
        stampInputText(name);
    });
}

} // namespace zorvel
