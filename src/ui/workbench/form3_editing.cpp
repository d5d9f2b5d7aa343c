// The workbench's side of the paragraph editor: it owns the table, so it
// fills the editor, stores it back, deletes slots and places inline pictures.
#include "ui/workbench/form3.h"

#include "core/richtext/rtf.h"

#include "core/book/inlinepictures.h"
#include "core/book/savedwork.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>

namespace zorvel {

void Form3::openEditor()
{
    {
        Form6 editor(m_ctx);
        m_ctx.op->runModal(editor);
    }
    // The editor's window is gone; the keyboard goes back to the list it was
    // opened from, not to whichever window the system picks.
    activateWindow();
    bindex->setFocus(Qt::OtherFocusReason);
}

void Form3::ShowEdit(Form6 &editor)
{
    const int i = parIndex;
    if (i < 0 || i >= kSlotCount) {
        m_ctx.op->message(5);
        return;
    }
    const ParagraphSlot &s = table.slot(i);
    editor.clearPicture();
    editor.bname->setText(s.title);
    editor.bname->setReadOnly(s.title == markShenas() || s.title == markMain());

    // Main titles keep a plain body; everything else is RTF.
    if (s.body.startsWith(QLatin1String("{\\rtf")))
        editor.matn->setTextRTF(s.body);
    else
        editor.matn->setText(s.body);
    // Every paragraph reads right to left, aligned right.
    RichTextBox *m = editor.matn;
    m->setSelStart(0);
    m->setSelLength(m->textLength());
    QString rtf = m->SelRTF();
    if (rtf.contains(QLatin1String("\\ltrpar"))) {
        rtf.replace(QStringLiteral("\\ltrpar"), QStringLiteral("\\rtlpar"));
        m->setSelRTF(rtf);
    }
    m->setSelStart(0);
    m->setSelLength(m->textLength());
    m->setSelAlignment(1);
    m->setSelLength(0);
    showInlinePictures(m->document(), table.imgList);

    editor.picB->setText(s.pic);
    if (!s.pic.isEmpty() && fso.fileExists(s.pic))
        editor.showPicture(s.pic);
    editor.soutB->setText(s.sound);
    editor.filmB->setText(s.film);
}

bool Form3::adoptMedia(QString *paths, int count)
{
    const QString work = workFile();
    if (work.isEmpty())
        return true;
    // The book's own copies: its saved work then names only files of the
    // build folder, and moves with it.
    const QString folder = workMediaFolderPath(m_buildFolder, rowLetter, bookNo);
    try {
        for (int k = 0; k < count; ++k) {
            if (!paths[k].isEmpty())
                paths[k] = QDir::toNativeSeparators(adoptMedium(fso, folder, paths[k]));
        }
    } catch (const FsError &e) {
        m_ctx.op->notice(QStringLiteral(u"فايل پيوست در كار كتاب كپي نشد:\n") + e.describe());
        return false;
    }
    return true;
}

void Form3::DoEdit(Form6 &editor)
{
    const int i = parIndex;
    if (i < 0 || i >= kSlotCount)
        return;
    QString media[3] = {editor.picB->text(), editor.soutB->text(), editor.filmB->text()};
    if (!adoptMedia(media, 3))
        return; // said; the editor stays open
    const QString rtf = editor.matn->TextRTF();
    commitStep(QStringLiteral(u"ويرايش پاراگراف"), [&] {
        table.storeEdit(i, editor.bname->text(), rtf, rtfToText(rtf), media[0], media[1], media[2]);
    });
    editor.bname->setReadOnly(false);
    editor.accept();
}

void Form3::Ohazf(Form6 &editor)
{
    // A main title takes its end entry along.
    commitStep(QStringLiteral(u"حذف پاراگراف"), [&] { table.deleteSlot(parIndex); });
    ShowEdit(editor);
}

void Form3::DoIMG(Form6 &editor)
{
    if (ImgT.isEmpty() || table.imgCount >= kInlinePictureCount) {
        m_ctx.op->message(25);
        return;
    }
    // A cancelled pick must not insert the previous picture again.
    InIMG.clear();
    m_ctx.mainWindow->chooseFile(QStringLiteral("IMG"), QStringLiteral("*.gif;*.jpg;*.bmp"));
    if (InIMG.isEmpty() || !fso.fileExists(InIMG))
        return;

    if (!adoptMedia(&InIMG, 1))
        return;
    // The number is taken, and saved, even if the editor is closed unsaved.
    int n = -1;
    commitStep(QStringLiteral(u"درج تصوير در متن"), [&] { n = table.takePictureNumber(InIMG); });
    RichTextBox *m = editor.matn;
    if (m->SelStart() == 0)
        m->setSelStart(1);
    m->setSelStart(inlinePictureCaret(m->Text(), m->SelStart()));
    const int p = m->SelStart();
    if (p != 0)
        m->setSelText(QStringLiteral("\r\n"));
    m->setSelRTF(numberedPictureObject(ImgT, n));
    m->setSelText(QLatin1Char('{') + QString::number(n) + QLatin1Char('}'));
    if (p == 0)
        m->setSelText(QStringLiteral("\r\n"));
    showInlinePictures(m->document(), table.imgList);
}

} // namespace zorvel
