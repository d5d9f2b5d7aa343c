// Undo and redo in the workbench as the operator uses them, shown: a 10 MB
// input text, the table filled to 255 rows of about 2 KB through the marking
// commands (the work saved after each), then the 256th row marked (a title and
// its related text), and Ctrl+Z and Ctrl+Y of that mark, each timed until the
// window has no events left, the saved work written. Prints the figures; goal:
// an undo or a redo of one mark under 20 ms.
#include "core/book/savedwork.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "support/copytree.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace zorvel;

namespace {

class QuietOperator : public Operator {
public:
    void message(qint16) override {}
    void notice(const QString &text) override { notices << text; }
    bool ask(const QString &) override { return true; }
    void runModal(QDialog &) override {}
    QStringList notices;
};

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The processor time of the last step timed: the machine may be shared.
double g_cpu = 0;

template <typename F>
double timed(F &&step)
{
    QElapsedTimer t;
    const double cpu = cpuMs();
    t.start();
    step();
    settle();
    g_cpu = cpuMs() - cpu;
    return t.nsecsElapsed() / 1e6;
}

void mark(Form3 &w, int at)
{
    w.matn->setSelStart(at);
    w.matn->setSelLength(40);
    w.Com_Click(2);
    w.matn->setSelStart(at);
    w.matn->setSelLength(1000); // about 2 KB of text
    w.Com_Click(3);
}

struct Figures {
    QList<double> ms, cpu;
    void add(double wall)
    {
        ms << wall;
        cpu << g_cpu;
    }
    void print(const char *what) const
    {
        QList<double> s = ms, c = cpu;
        std::sort(s.begin(), s.end());
        std::sort(c.begin(), c.end());
        std::printf("%s: median %.1f ms, max %.1f ms over %d (goal 20); processor time median %.1f ms\n",
                    what, s[s.size() / 2], s.last(), int(s.size()), c[c.size() / 2]);
    }
};

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
    const QString line = QStringLiteral(
        u"پدربزرگ هر صبح پيش از طلوع آفتاب به باغ ميرفت و درختان سيب و گلابي را 12 بار نگاه ميكرد. "
        u"ميگفت: «درخت هم مثل آدم است!» و ما (بچهها) قايقهاي كاغذيمان را در جوي رها ميكرديم.  \r\n");
    QString text;
    while (text.size() < 10 * 1024 * 1024 - line.size())
        text += line.repeated(64);
    fs.writeBytes(program + QStringLiteral("/big.txt"), encodeCodePage(1256, text));

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
    w->activateWindow();
    settle();
    w->books->setCurrentItem(w->books->findItems(QStringLiteral("big.txt"), Qt::MatchExactly).first());
    const double load = timed([&] { w->books_Click(); });
    std::printf("load with the text's base saved: %.0f ms\n", load);

    while (w->table.rows().size() < 255)
        mark(*w, 0);
    QList<double> marks;
    for (int i = 0; i < 2; ++i) // the title and the related text of row 256
        marks << timed([&] {
            w->matn->setSelStart(0);
            w->matn->setSelLength(i == 0 ? 40 : 1000);
            w->Com_Click(i == 0 ? 2 : 3);
        });
    std::printf("row %d marked: title %.1f ms, related text %.1f ms; history of %d steps\n",
                int(w->table.rows().size()), marks[0], marks[1], int(w->history().size()));

    // The keys as the operator presses them, in the text box.
    w->matn->setFocus();
    Figures undo, redo, undoTitle;
    for (int round = 0; round < 20; ++round) {
        undo.add(timed([&] { QTest::keyClick(w->matn, Qt::Key_Z, Qt::ControlModifier); }));
        undoTitle.add(timed([&] { QTest::keyClick(w->matn, Qt::Key_Z, Qt::ControlModifier); }));
        redo.add(timed([&] { QTest::keyClick(w->matn, Qt::Key_Y, Qt::ControlModifier); }));
        redo.add(timed([&] { QTest::keyClick(w->matn, Qt::Key_Y, Qt::ControlModifier); }));
    }
    undo.print("undo of a related text (Ctrl+Z)");
    undoTitle.print("undo of its title (Ctrl+Z)");
    redo.print("redo of either (Ctrl+Y)");
    Figures save, json;
    for (int i = 0; i < 10; ++i)
        save.add(timed([&] { w->saveWork(); }));
    save.print("of which the saved work alone");
    const auto saved = loadBookWork(fs, workFilePath(w->buildFolder(), w->rowLetter, w->bookNo), nullptr);
    for (int i = 0; i < 10 && saved; ++i)
        json.add(timed([&] { workToJson(*saved); }));
    if (saved)
        json.print("of which its JSON");
    const QString work = workFilePath(w->buildFolder(), w->rowLetter, w->bookNo);
    std::printf("saved work: %.0f KB with %d edits of the text kept; the text %.1f MB\n",
                QFileInfo(work).size() / 1024.0, int(w->workText().edits().size()),
                w->workText().text().size() * 2 / 1048576.0);
    const bool ok = w->table.rows().size() == 256 && op.notices.size() == 1; // the nearly-full warning
    if (!ok)
        std::printf("unexpected: %d rows, %d notices\n", int(w->table.rows().size()), int(op.notices.size()));
    return ok ? 0 : 1;
}
