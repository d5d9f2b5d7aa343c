// Loading a 10 MB input text into the workbench: read, decode, clean, show
// right-aligned in the text box. Prints the time of each step.
#include "common/codepage.h"
#include "common/filesystem.h"
#include "richtext/richtextbox.h"
#include "workbench/textrules.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace zorvel;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Persian prose with digits and punctuation, lines of about 300 bytes.
    const QString line = QStringLiteral(
        u"پدربزرگ هر صبح پيش از طلوع آفتاب به باغ ميرفت و درختان سيب و گلابي را 12 بار نگاه ميكرد. "
        u"ميگفت: «درخت هم مثل آدم است!» و ما (بچهها) قايقهاي كاغذيمان را در جوي رها ميكرديم.  \r\n");
    QString text;
    const qsizetype target = 10 * 1024 * 1024;
    while (encodeCodePage(1256, text).size() < target - line.size())
        text += line.repeated(64);
    const QByteArray bytes = encodeCodePage(1256, text);

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/big.txt");
    FileSystem fs;
    fs.writeBytes(path, bytes);

    RichTextBox matn;
    matn.resize(820, 400);
    if (qEnvironmentVariableIsSet("BENCH_VISIBLE"))
        matn.show();
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const QByteArray raw = fs.readBytes(path);
        const qint64 tRead = t.nsecsElapsed();
        const QString decoded = decodeInputText(raw);
        const qint64 tDecode = t.nsecsElapsed();
        const QString clean = Rep(decoded);
        const qint64 tRep = t.nsecsElapsed();
        matn.setText(clean);
        const qint64 tShow = t.nsecsElapsed();
        // As the workbench right-aligns a text it has just shown.
        matn.setSelStart(0);
        matn.setAlignmentAll(1);
        const qint64 tAlignOnly = t.nsecsElapsed();
        QCoreApplication::processEvents();
        const qint64 tAlign = t.nsecsElapsed();
        std::printf("  (alignment %.0f ms, first events after it %.0f ms)\n", (tAlignOnly - tShow) / 1e6,
                    (tAlign - tAlignOnly) / 1e6);
        std::printf("run %d: %.1f MB  read %.0f ms  decode %.0f ms  Rep %.0f ms  show %.0f ms  "
                    "align %.0f ms  total %.0f ms\n",
                    run + 1, raw.size() / 1048576.0, tRead / 1e6, (tDecode - tRead) / 1e6,
                    (tRep - tDecode) / 1e6, (tShow - tRep) / 1e6, (tAlign - tShow) / 1e6,
                    tAlign / 1e6);
    }
    // Marking at the top of the big text: read the piece as text and RTF,
    // then cut it out, as a title and its related text are marked.
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        matn.setSelStart(0);
        matn.setSelLength(40);
        const QString title = matn.SelText();
        matn.setSelText(QString());
        matn.setSelStart(0);
        matn.setSelLength(2000);
        const QString piece = matn.SelText();
        const QString rtf = matn.SelRTF();
        matn.setSelText(QString());
        matn.setSelStart(0);
        std::printf("mark %d: title %d chars, related text %d chars (%d bytes RTF)  %.1f ms\n",
                    run + 1, int(title.size()), int(piece.size()), int(rtf.size()),
                    t.nsecsElapsed() / 1e6);
    }
    return 0;
}
