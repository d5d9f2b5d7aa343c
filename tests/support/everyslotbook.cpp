#include "everyslotbook.h"

#include "benchfixture.h"
#include "core/book/textrules.h"
#include "core/common/codepage.h"
#include "tempprogram.h"
#include "ui/editor/form6.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form5.h"
#include "ui/workbench/form3.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace zorvel::testing {

void writeEverySlotInputs(const TempProgram &tp, const QString &filmName)
{
    const QString text = QStringLiteral(u"كتاب نمونه يكم\r\n"
                                        u"ناشر: انتشارات نمونه، سال 1403\r\n"
                                        u"بخش اول\r\n"
                                        u"فصل يك\r\n"
                                        u"عنوان يك\r\n"
                                        u"متن يك درباره كتابخانه و خواننده\r\n"
                                        u"عنوان دو\r\n"
                                        u"متن دو با عدد 1403 و نشانه\u200Cها\r\n"
                                        u"عنوان سه & <ب>\r\n"
                                        u"متن سه با \"نقل\" و < و &amp;");
    tp.write("one.txt", encode1256(text));
    tp.write("media/" + filmName, QByteArray(2048, 'f'));
    tp.write("media/inline.jpg", tp.read("Resources/MyBook.jpg"));
}

QString markEverySlotBook(Bench &b, Form3 &w, const QString &filmName)
{
    Bench::loadText(w, "one.txt");
    Bench::select(w, QStringLiteral(u"كتاب نمونه يكم"));
    w.Com_Click(0);
    const QString identityText = Rep(QStringLiteral(u"ناشر: انتشارات نمونه، سال 1403"));
    Bench::select(w, identityText);
    w.Com_Click(1);
    Bench::select(w, QStringLiteral(u"بخش اول"));
    w.Com_Click(9);
    Bench::select(w, QStringLiteral(u"فصل يك"));
    w.Com_Click(9);
    Bench::markParagraph(
        w, QStringLiteral(u"عنوان يك"), QStringLiteral(u"متن يك درباره كتابخانه و خواننده"));
    w.Com_Click(10);
    Bench::markParagraph(
        w, QStringLiteral(u"عنوان دو"), Rep(QStringLiteral(u"متن دو با عدد 1403 و نشانه\u200Cها")));
    w.Com_Click(10);
    Bench::markParagraph(w, Rep(QStringLiteral(u"عنوان سه & <ب>")),
        Rep(QStringLiteral(u"متن سه با \"نقل\" و < و &amp;")));

    b.rec.onModal("zorvel::Form5", [&](QDialog &d) {
        auto &picker = static_cast<Form5 &>(d);
        picker.Dir1->setPath(b.tp.file("media"));
        picker.File1->setCurrentItem(
            picker.File1->findItems("inline.jpg", Qt::MatchExactly).first());
        picker.btn[0]->click();
    });
    w.parIndex = 3; // عنوان يك
    {
        Form6 e(b.ctx);
        e.picB->setText(b.tp.file("Resources/MyBack.jpg"));
        e.soutB->setText(b.tp.file("Resources/MySound1.mp3"));
        e.filmB->setText(b.tp.file("media/" + filmName));
        e.matn->setSelStart(0);
        e.picM_Click();
        e.btn_Click(4);
    }
    return identityText;
}

} // namespace zorvel::testing
