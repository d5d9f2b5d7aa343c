#include "benchfixture.h"

#include "ui/richtext/richtextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QListWidget>

namespace zorvel::testing {

Bench::Bench(const std::function<void(TempProgram &)> &prepare)
{
    tp.mkdir("Data");
    if (prepare)
        prepare(tp);
    ctx.op = &rec;
    ctx.programFolder = tp.path();
    f1 = std::make_unique<Form1>(ctx);
}

Bench::~Bench()
{
    delete ctx.form3;
}

Form3 &Bench::open()
{
    f1->Command3_Click();
    if (!ctx.form3)
        qFatal("the workbench did not open");
    return *ctx.form3;
}

void Bench::select(Form3 &w, const QString &piece)
{
    const int at = w.matn->Text().indexOf(piece);
    if (at < 0)
        qFatal("piece not in the text: %s", qPrintable(piece));
    w.matn->setSelStart(at);
    w.matn->setSelLength(piece.size());
}

void Bench::loadText(Form3 &w, const QString &name)
{
    const auto found = w.books->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no such input text: %s", qPrintable(name));
    w.books->setCurrentItem(found.first());
    w.books_Click();
}

void Bench::markParagraph(Form3 &w, const QString &title, const QString &body)
{
    select(w, title);
    w.Com_Click(2);
    select(w, body);
    w.Com_Click(3);
}

} // namespace zorvel::testing
