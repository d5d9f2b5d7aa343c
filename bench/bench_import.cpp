// A manuscript of 256 sections (about 2 MB of DOCX, a picture in every
// tenth section) read and marked in a table, and titles suggested in a
// 10 MB plain text: by the core alone, then in the shown workbench (the
// manuscript chosen in its list; Ctrl+G with the highlighting, one
// suggestion taken). Prints the figures; goals: the import under 1 s, the
// suggestions under 0.5 s.
#include "core/book/manuscript.h"
#include "core/book/paragraphtable.h"
#include "core/book/textrules.h"
#include "core/book/titlesuggest.h"
#include "core/common/codepage.h"
#include "core/common/filesystem.h"
#include "core/export/zipwriter.h"
#include "support/copytree.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/richtext/plaintextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

using namespace zorvel;

namespace {

const QString kSentence = QStringLiteral(u"در روزگاران قديم مردي در كنار رودخانه زندگي ميكرد كه هر "
                                         u"روز صبح زود برميخاست و به مزرعه خود ميرفت. ");

QByteArray documentXml(int sections)
{
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>");
    xml += QStringLiteral(
        u"<w:p><w:pPr><w:pStyle w:val=\"Title\"/></w:pPr><w:r><w:t>كتاب بزرگ</w:t></w:r></w:p>");
    for (int i = 0; i < sections; ++i) {
        xml += QStringLiteral(
            u"<w:p><w:pPr><w:pStyle w:val=\"1\"/></w:pPr><w:r><w:t>فصل %1</w:t></w:r></w:p>")
                   .arg(i + 1);
        for (int p = 0; p < 12; ++p) {
            xml += QStringLiteral("<w:p><w:pPr><w:pStyle w:val=\"Normal\"/></w:pPr>");
            for (int r = 0; r < 3; ++r)
                xml += QStringLiteral("<w:r><w:rPr><w:rtl/></w:rPr><w:t xml:space=\"preserve\">")
                    + kSentence + QStringLiteral("</w:t></w:r>");
            xml += QStringLiteral("</w:p>");
        }
        if (i % 10 == 0)
            xml += QStringLiteral(
                "<w:p><w:r><w:drawing><a:blip r:embed=\"rIdPic%1\"/></w:drawing></w:r></w:p>")
                       .arg(i / 10);
    }
    xml += QStringLiteral("</w:body></w:document>");
    return xml.toUtf8();
}

// Answers every question Yes and keeps what it is told.
class QuietOperator : public Operator {
public:
    void message(qint16 code) override { messages << code; }
    void notice(const QString &text) override { notices << text; }
    bool ask(const QString &) override { return true; }
    void runModal(QDialog &) override { }
    QList<qint16> messages;
    QStringList notices;
};

template <typename F> double timed(F &&step)
{
    QElapsedTimer t;
    t.start();
    step();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.docx"));
    {
        ZipWriter zip(path, QDateTime::currentDateTimeUtc());
        zip.addBytes(
            QStringLiteral("word/document.xml"), documentXml(256), ZipWriter::Method::Deflate);
        zip.addBytes(QStringLiteral("word/styles.xml"),
            "<?xml version=\"1.0\"?><w:styles "
            "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
            "<w:style w:type=\"paragraph\" w:styleId=\"1\"><w:name w:val=\"heading 1\"/></w:style>"
            "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name "
            "w:val=\"Title\"/></w:style></w:styles>",
            ZipWriter::Method::Deflate);
        // 26 pictures of 64 KB that do not pack: the file is about 2 MB.
        QByteArray rels = "<?xml version=\"1.0\"?><Relationships "
                          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
        QRandomGenerator random(7);
        for (int k = 0; k < 26; ++k) {
            rels += QStringLiteral("<Relationship Id=\"rIdPic%1\" Target=\"media/p%1.png\"/>")
                        .arg(k)
                        .toUtf8();
            QByteArray picture(64 * 1024, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32 *>(picture.data()), picture.size() / 4);
            zip.addBytes(
                QStringLiteral("word/media/p%1.png").arg(k), picture, ZipWriter::Method::Store);
        }
        zip.addBytes(QStringLiteral("word/_rels/document.xml.rels"), rels + "</Relationships>",
            ZipWriter::Method::Deflate);
        zip.commit();
    }
    const qint64 fileSize = QFileInfo(path).size();

    QElapsedTimer t;
    t.start();
    const ManuscriptRead read = readManuscript(path);
    const double readMs = t.nsecsElapsed() / 1e6;
    if (!read.manuscript) {
        std::fprintf(stderr, "%s\n", qPrintable(read.problem));
        return 1;
    }
    t.restart();
    ParagraphTable table;
    markManuscript(
        table, *read.manuscript, QStringList(read.manuscript->pictures.size(), path), QString());
    const QString shown = Rep(read.manuscript->plainText());
    const double markMs = t.nsecsElapsed() / 1e6;
    std::printf("import: %d slots, %lld pictures, %.1f MB DOCX (%.1f MB of XML): read %.0f ms, "
                "marked %.0f ms, "
                "total %.0f ms (goal 1000)\n",
        table.parCount(), (long long)read.manuscript->pictures.size(), fileSize / 1048576.0,
        documentXml(256).size() / 1048576.0, readMs, markMs, readMs + markMs);

    // A 10 MB input text (ten million letters): titles and paragraphs, cleaned
    // as the workbench shows it.
    QStringList lines;
    qsizetype size = 0;
    for (int i = 0; size < 10 * 1024 * 1024; ++i) {
        lines << QStringLiteral(u"درس %1").arg(i + 1) << kSentence + kSentence
              << kSentence + kSentence + kSentence;
        size += lines.last().size() + lines[lines.size() - 2].size() + 10;
    }
    const QString text = Rep(lines.join(QStringLiteral("\r\n")));
    t.restart();
    const QList<TitleCandidate> titles = suggestTitles(text);
    const double suggestMs = t.nsecsElapsed() / 1e6;
    t.restart();
    const QList<SuggestedPiece> pieces = suggestedPieces(text, titles);
    const double piecesMs = t.nsecsElapsed() / 1e6;
    std::printf("suggestions: %.1f million letters of text, %lld titles in %.0f ms (goal 500), cut "
                "into pieces in %.0f ms\n",
        text.size() / 1e6, (long long)titles.size(), suggestMs, piecesMs);
    if (pieces.size() != titles.size())
        return 1;

    // The same in the workbench, shown.
    const QString program = dir.path();
    const FileSystem fs;
    copyTree(
        QStringLiteral(ZORVEL_SOURCE_DIR "/resources"), program + QStringLiteral("/Resources"));
    fs.createFolderPath(program + QStringLiteral("/Data"));
    fs.writeBytes(program + QStringLiteral("/big.txt"),
        encodeCodePage(1256, lines.join(QStringLiteral("\r\n"))));
    QuietOperator op;
    AppContext ctx;
    ctx.op = &op;
    ctx.programFolder = program;
    Form1 f1(ctx);
    f1.show();
    f1.Command3_Click();
    Form3 *w = ctx.form3;
    if (!w || !w->isVisible()) {
        std::fprintf(stderr, "the workbench did not open\n");
        return 1;
    }
    const auto choose = [&](const QString &name) {
        w->books->setCurrentItem(w->books->findItems(name, Qt::MatchExactly).first());
        w->books_Click();
    };
    const double importShown = timed([&] { choose(QStringLiteral("big.docx")); });
    std::printf("workbench: the manuscript chosen and marked (%d rows, pictures saved) in %.0f ms "
                "(goal 1000)\n",
        w->table.parCount(), importShown);
    op.notices.clear();
    choose(QStringLiteral("big.txt"));
    const double suggestShown = timed([&] { w->SuggestTitles(); });
    const double takeShown = timed([&] { w->takeSuggestion(); });
    std::printf("workbench: Ctrl+G over the 10 MB text, %lld titles found and those in view "
                "highlighted, in %.0f ms (goal 500); "
                "Ctrl+Enter in %.0f ms\n",
        (long long)w->suggestions().size() + 1, suggestShown, takeShown);
    delete ctx.form3;
    return op.notices.isEmpty() ? 0 : 1;
}
