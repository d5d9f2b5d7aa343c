// The workbench as the operator uses it, shown: a 10 MB input text clicked in
// its list, marks at the top, the middle and the end of the text, the table
// filled to 257 slots of about 2 KB (the work saved after every mark), and
// "ساخت فايل" of the whole book. Each step is timed until the window has no
// events left to handle. Prints the figures; goals: the load under 0.5 s,
// each mark under 50 ms, the book under 0.5 s.
#include "core/book/savedwork.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "support/copytree.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/richtext/richtextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace zorvel;

namespace {

// Answers every question Yes and counts what it is told.
class QuietOperator : public Operator {
public:
    void message(qint16 code) override { messages << code; }
    void notice(const QString &text) override { notices << text; }
    bool ask(const QString &) override { return true; }
    void runModal(QDialog &) override {}
    QList<qint16> messages;
    QStringList notices;
};

// Until nothing is left to do: posted events, layout, painting.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

template <typename F>
double timed(F &&step)
{
    QElapsedTimer t;
    t.start();
    step();
    settle();
    return t.nsecsElapsed() / 1e6;
}

void select(Form3 &w, int start, int length)
{
    w.matn->setSelStart(start);
    w.matn->setSelLength(length);
}

// A title of a few words and a related text of about 2 KB at `at`.
std::pair<double, double> markAt(Form3 &w, int at)
{
    const double title = timed([&] {
        select(w, at, 40);
        w.Com_Click(2);
    });
    const double related = timed([&] {
        select(w, at, 1000); // 1,000 letters: about 2 KB of text
        w.Com_Click(3);
    });
    return {title, related};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString program = dir.path();
    FileSystem fs;
    copyTree(QStringLiteral(ZORVEL_SOURCE_DIR "/resources"), program + QStringLiteral("/Resources"));
    fs.createFolderPath(program + QStringLiteral("/Data"));

    // Persian prose with digits and punctuation, lines of about 300 bytes.
    const QString line = QStringLiteral(
        u"پدربزرگ هر صبح پيش از طلوع آفتاب به باغ ميرفت و درختان سيب و گلابي را 12 بار نگاه ميكرد. "
        u"ميگفت: «درخت هم مثل آدم است!» و ما (بچهها) قايقهاي كاغذيمان را در جوي رها ميكرديم.  \r\n");
    QString text;
    const qsizetype target = 10 * 1024 * 1024;
    while (text.size() < target - line.size()) // one byte a character in Windows-1256
        text += line.repeated(64);
    const QByteArray bytes = encodeCodePage(1256, text);
    fs.writeBytes(program + QStringLiteral("/big.txt"), bytes);

    QuietOperator op;
    AppContext ctx;
    ctx.op = &op;
    ctx.programFolder = program;
    Form1 f1(ctx);
    f1.title->setText(QStringLiteral("1"));
    f1.matn->setText(QStringLiteral("0"));
    f1.shenas->setText(QStringLiteral("0"));
    f1.MakeCombo();
    f1.show();
    f1.Command3_Click();
    Form3 *w = ctx.form3;
    if (!w || !w->isVisible()) {
        std::fprintf(stderr, "the workbench did not open\n");
        return 1;
    }
    settle();

    w->books->setCurrentItem(w->books->findItems(QStringLiteral("big.txt"), Qt::MatchExactly).first());
    const double load = timed([&] { w->books_Click(); });
    std::printf("load: %.1f MB input text shown in %.0f ms (goal 500)\n", bytes.size() / 1048576.0, load);

    const int length = w->matn->textLength();
    const auto top = markAt(*w, 0);
    const auto middle = markAt(*w, w->matn->textLength() / 2);
    const auto end = markAt(*w, w->matn->textLength() - 1100);
    std::printf("marks (title, related text) in ms (goal 50 each): top %.1f, %.1f  middle %.1f, %.1f  "
                "end %.1f, %.1f\n", top.first, top.second, middle.first, middle.second, end.first,
                end.second);

    // The table filled up, the work saved after every mark.
    QList<double> fill;
    int slowest = 0;
    while (w->table.parCount() < kSlotCount) {
        const auto m = markAt(*w, 0);
        fill << m.first << m.second;
        if (fill[slowest] < m.first)
            slowest = int(fill.size()) - 2;
        if (fill[slowest] < m.second)
            slowest = int(fill.size()) - 1;
    }
    std::printf("slowest mark while filling: number %d, %.0f ms\n", slowest + 1, fill[slowest]);
    QList<double> last(fill.end() - 40, fill.end());
    std::sort(fill.begin(), fill.end());
    std::sort(last.begin(), last.end());
    std::printf("filling to %d slots: %d marks, median %.1f ms, max %.1f ms; the last 40 (full "
                "table): median %.1f ms, max %.1f ms\n",
                w->table.parCount(), int(fill.size()), fill[fill.size() / 2], fill.last(),
                last[last.size() / 2], last.last());

    const QString workPath = workFilePath(w->buildFolder(), w->rowLetter, w->bookNo);
    const qint64 workBytes = QFileInfo(workPath).size();
    const double save = timed([&] { w->saveWork(); });
    std::printf("saved work of %d slots: %.0f KB, one save %.1f ms\n", w->table.parCount(),
                workBytes / 1024.0, save);

    std::printf("text left after the marks: %d of %d characters\n", w->matn->textLength(), length);
    w->bname->setText(QStringLiteral(u"باغ پدربزرگ"));
    const double book = timed([&] { w->Com_Click(11); });
    std::printf("book of %d slots written in %.0f ms (goal 500); messages:", kSlotCount, book);
    for (qint16 code : op.messages)
        std::printf(" %d", code);
    std::printf("%s\n", op.notices.isEmpty() ? "" : "  (with notices)");
    return op.messages.contains(4) ? 0 : 1;
}
