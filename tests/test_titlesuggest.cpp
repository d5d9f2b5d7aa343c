// Titles suggested in plain texts: the rule on texts with known titles, and
// the workbench's commands that show and take the suggestions.
#include "core/book/textrules.h"
#include "core/book/titlesuggest.h"
#include "core/common/codepage.h"
#include "core/richtext/rtf.h"
#include "support/benchfixture.h"
#include "support/screenshot.h"
#include "ui/richtext/plaintextbox.h"
#include "ui/shell/form1.h"
#include "ui/workbench/form3.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

// Paragraphs long enough to be paragraphs, and ending as sentences do.
const QStringList kSentences = {
    QStringLiteral(u"در روزگاران قديم مردي در كنار رودخانه زندگي ميكرد كه هر روز صبح زود برميخاست "
                   u"و به مزرعه خود ميرفت تا زمين را آماده كشت كند."),
    QStringLiteral(u"آب اين رودخانه از كوههاي بلند شمالي سرچشمه ميگيرد و پس از گذشتن از دشتهاي "
                   u"سرسبز به درياي بزرگ ميريزد و زمينهاي بسياري را سيراب ميكند."),
    QStringLiteral(u"دانش آموزان بايد پيش از آغاز هر درس، درس پيشين را مرور كنند و پرسشهاي خود را "
                   u"بنويسند تا در كلاس درباره آنها گفتگو شود، زيرا يادگيري پيوسته است."),
    QStringLiteral(u"نويسنده در اين كتاب كوشيده است تا با زباني ساده و روشن، مفاهيم دشوار را براي "
                   u"خوانندگان جوان بيان كند و نمونه\u200Cهاي فراواني از زندگي روزمره بياورد!"),
    QStringLiteral(u"آيا تا كنون انديشيده\u200Cايد كه چرا آسمان در هنگام غروب سرخ ميشود و چرا "
                   u"ستارگان در شب ميدرخشند و در روز ديده نميشوند و ماه چگونه شكل عوض ميكند؟"),
};

struct Sample {
    QString text;
    QStringList titles;
};

// A text of titles of every kind and of lines that are not titles.
Sample sample(int seed)
{
    QStringList lines;
    QStringList titles;
    int s = seed;
    const auto paragraph = [&] {
        lines << kSentences[s++ % kSentences.size()] + u' '
                + kSentences[(s * 3) % kSentences.size()];
    };
    const auto title = [&](const QString &t) {
        lines << t;
        titles << t;
    };
    lines << QStringLiteral(u"به نام خداوند جان و خرد، كتابي براي آموزش كه در سال هزار و سيصد و "
                            u"نود در شهر تهران به چاپ رسيده است.");
    paragraph();
    const QStringList ordinals = { QStringLiteral(u"اول"), QStringLiteral(u"دوم"),
        QStringLiteral(u"سوم"), QStringLiteral(u"چهارم"), QStringLiteral(u"پنجم") };
    for (int i = 0; i < 5; ++i) {
        title(QStringLiteral(u"فصل ") + ordinals[i]
            + (i % 2 ? QStringLiteral(u": سفر به شمال") : QString()));
        paragraph();
        paragraph();
        switch ((seed + i) % 5) {
        case 0:
            title(QStringLiteral(u"بخش ") + QString::number(i + 1));
            break;
        case 1:
            title(QStringLiteral(u"درس ") + QChar(0x06F1 + i) + QStringLiteral(u" - آب و خاك"));
            break;
        case 2:
            title(QString::number(i + 1) + QStringLiteral(u". روش كار"));
            break;
        case 3:
            title(QString::number(i + 1) + QStringLiteral(u"- پيشينه پژوهش"));
            break;
        case 4:
            title(QStringLiteral(u"الف) نمونه\u200Cها"));
            break;
        }
        paragraph();
        // Not titles: a line that leads into a list, a numbered list of
        // sentences, a short closing sentence, a poem of short lines.
        if (i == 1) {
            lines << QStringLiteral(u"موارد زير را به ياد داشته باشيد:");
            lines << QStringLiteral(u"1- آب را پيش از نوشيدن بجوشانيد.");
            lines << QStringLiteral(u"2- دستها را با صابون بشوييد.");
            lines << QStringLiteral(u"3- ميوه ها را بشوييد");
            lines << QStringLiteral(u"4- در را ببنديد");
            paragraph();
        }
        if (i == 2) {
            lines << QStringLiteral(u"بشنو اين ني چون شكايت ميكند");
            lines << QStringLiteral(u"از جداييها حكايت ميكند");
            lines << QStringLiteral(u"كز نيستان تا مرا ببريده\u200Cاند");
            lines << QStringLiteral(u"در نفيرم مرد و زن ناليده\u200Cاند");
            paragraph();
            lines << QStringLiteral(u"چنين بود.");
            paragraph();
        }
        if (i == 3) {
            title(QStringLiteral(u"مقدمه"));
            paragraph();
            title(QStringLiteral(u"نتيجه\u200Cگيري"));
            paragraph();
            lines << QString();
            lines << QStringLiteral(u"***");
            paragraph();
        }
    }
    title(QStringLiteral(u"پرسش 1"));
    paragraph();
    title(QStringLiteral(u"پرسش 2"));
    paragraph();
    return { Rep(lines.join(QStringLiteral("\r\n"))), titles };
}

// A title as the rule gives it: without the marks Rep puts after digits at its end.
QString bare(QString t)
{
    t = t.trimmed();
    while (t.endsWith(QChar(0x200C)))
        t.chop(1);
    return t;
}

QStringList found(const QString &text)
{
    QStringList out;
    for (const TitleCandidate &c : suggestTitles(text))
        out << text.mid(c.start, c.length);
    return out;
}

} // namespace

class TestTitleSuggest : public QObject {
    Q_OBJECT
private slots:
    void findsTheTitlesOfTexts();
    void titleForms_data();
    void titleForms();
    void piecesRunToTheNextTitle();
    void suggestionsAreHighlightedAndTakenByKeys();
    void allSuggestionsAtOnceWithoutDeletion();
    void takingAllIsRefusedWhenTheTableIsTooSmall();
    void highlightsFollowTheView();
};

void TestTitleSuggest::findsTheTitlesOfTexts()
{
    int known = 0, hits = 0, falses = 0, suggested = 0;
    for (int seed = 0; seed < 5; ++seed) {
        const Sample s = sample(seed);
        QStringList want;
        for (const QString &t : s.titles)
            want << bare(Rep(t));
        const QStringList got = found(s.text);
        known += int(want.size());
        suggested += int(got.size());
        for (const QString &g : got) {
            if (want.contains(g))
                ++hits;
            else
                ++falses;
        }
    }
    qInfo("%d of %d titles found, %d of %d suggestions false", hits, known, falses, suggested);
    QVERIFY2(hits * 10 >= known * 9, "fewer than 9 titles in 10 found");
    QVERIFY2(falses * 10 <= suggested, "more than 1 suggestion in 10 false");
}

void TestTitleSuggest::titleForms_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("title");
    const QString before = kSentences[0];
    QTest::newRow("chapter and ordinal") << QStringLiteral(u"فصل اول") << true;
    QTest::newRow("part and Persian digit") << QStringLiteral(u"بخش ۲") << true;
    QTest::newRow("lesson and digit") << QStringLiteral(u"درس 3") << true;
    QTest::newRow("compound ordinal") << QStringLiteral(u"گفتار بيست و يكم") << true;
    QTest::newRow("number and dot") << QStringLiteral(u"۱. آغاز") << true;
    QTest::newRow("number and dash") << QStringLiteral(u"1- روش") << true;
    QTest::newRow("letter and bracket") << QStringLiteral(u"الف) پيشينه") << true;
    QTest::newRow("short line between paragraphs") << QStringLiteral(u"سرآغاز") << true;
    QTest::newRow("ends a sentence") << QStringLiteral(u"فصل اول.") << false;
    QTest::newRow("leads into a list") << QStringLiteral(u"نمونه\u200Cها:") << false;
    QTest::newRow("question") << QStringLiteral(u"چرا؟") << false;
    QTest::newRow("no letter") << QStringLiteral(u"* * *") << false;
    QTest::newRow("page number") << QStringLiteral(u"12") << false;
    QTest::newRow("a paragraph") << before << false;
}

void TestTitleSuggest::titleForms()
{
    QFETCH(QString, line);
    QFETCH(bool, title);
    const QString text = Rep(
        kSentences[1] + QStringLiteral("\r\n") + line + QStringLiteral("\r\n") + kSentences[2]);
    const QStringList got = found(text);
    QCOMPARE(got.contains(bare(Rep(line))), title);
    QVERIFY(!got.contains(Rep(kSentences[1])));
}

void TestTitleSuggest::piecesRunToTheNextTitle()
{
    const QString text = QStringLiteral(u"سر\r\n  فصل اول  \r\n") + kSentences[0]
        + QStringLiteral("\r\n") + kSentences[1] + QStringLiteral(u"\r\nفصل دوم\r\nفصل سوم\r\n")
        + kSentences[2];
    const QList<TitleCandidate> titles = suggestTitles(text);
    QCOMPARE(titles.size(), 3);
    // Spaces around a title are not part of it.
    QCOMPARE(text.mid(titles[0].start, titles[0].length), QStringLiteral(u"فصل اول"));
    const QList<SuggestedPiece> pieces = suggestedPieces(text, titles);
    QCOMPARE(text.mid(pieces[0].bodyStart, pieces[0].bodyLength),
        kSentences[0] + QStringLiteral("\r\n") + kSentences[1]);
    QCOMPARE(pieces[0].spanEnd, text.indexOf(QStringLiteral(u"فصل دوم")));
    QCOMPARE(pieces[1].bodyLength, 0); // a title right above the next one
    QCOMPARE(text.mid(pieces[2].bodyStart, pieces[2].bodyLength), kSentences[2]);
    QCOMPARE(pieces[2].spanEnd, int(text.size()));
    // The span of the first starts at its title, not at the line's spaces.
    QCOMPARE(pieces[0].title.start, text.indexOf(QStringLiteral(u"فصل اول")));
}

void TestTitleSuggest::suggestionsAreHighlightedAndTakenByKeys()
{
    const QString body1 = kSentences[0],
                  body2 = kSentences[1] + QStringLiteral("\r\n") + kSentences[2];
    const QString raw = QStringLiteral(u"كتاب نمونه\r\n") + kSentences[3]
        + QStringLiteral(u"\r\nفصل اول\r\n") + body1 + QStringLiteral(u"\r\nفصل دوم\r\n") + body2;
    Bench b([&](TempProgram &tp) { tp.write("t.txt", encodeCodePage(1256, raw)); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    w.matn->setFocus();
    const QString text = w.matn->Text();

    // Every command says its keys in its tooltip and stands in the text's menu.
    QVERIFY(w.suggestAction->toolTip().contains(
        QKeySequence(Qt::CTRL | Qt::Key_G).toString(QKeySequence::NativeText)));
    QVERIFY(w.takeAllAction->toolTip().contains(
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return).toString(QKeySequence::NativeText)));
    QCOMPARE(w.matn->actions().size(), 3);

    QTest::keyClick(w.matn, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w.suggestions().size(), 3); // the book's name line too: it stands above a paragraph
    QCOMPARE(w.matn->extraSelections().size(), 3);
    QCOMPARE(w.matn->extraSelections().at(1).cursor.selectedText(), QStringLiteral(u"فصل اول"));
    QCOMPARE(w.matn->Text(), text); // showing changes nothing

    // Ctrl+Enter takes the one at the top: with "با حذف" its piece leaves the text.
    QTest::keyClick(w.matn, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(w.table.parCount(), 1);
    QCOMPARE(w.table.slot(0).title, QStringLiteral(u"كتاب نمونه"));
    QCOMPARE(rtfToText(w.table.slot(0).body), Rep(kSentences[3]));
    QVERIFY(w.matn->Text().startsWith(QStringLiteral(u"فصل اول")));
    QCOMPARE(w.suggestions().size(), 2);
    QCOMPARE(w.matn->extraSelections().first().cursor.selectedText(), QStringLiteral(u"فصل اول"));
    // The keypad's Enter does the same.
    QTest::keyClick(w.matn, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(w.table.parCount(), 2);
    QCOMPARE(w.table.slot(1).title, QStringLiteral(u"فصل اول"));
    QCOMPARE(rtfToText(w.table.slot(1).body), Rep(body1));
    QCOMPARE(w.bindex->count(), 2);
    QCOMPARE(w.bindex->currentRow(), 1);
    QVERIFY(w.bindex->item(1)->text().startsWith(QStringLiteral(u"فصل اول   =>   ")));

    // A hand edit of the text drops the suggestions left; the next Ctrl+Enter
    // looks again.
    w.matn->setSelStart(0);
    w.matn->setSelText(QStringLiteral(" "));
    QVERIFY(w.suggestions().isEmpty());
    QVERIFY(w.matn->extraSelections().isEmpty());
    QTest::keyClick(w.matn, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(w.table.parCount(), 3);
    QCOMPARE(w.table.slot(2).title, QStringLiteral(u"فصل دوم"));
    QCOMPARE(rtfToText(w.table.slot(2).body), Rep(body2));
    QCOMPARE(w.matn->Text(), QStringLiteral(" "));
    QVERIFY(b.rec.notices().isEmpty());

    // The marks are saved as hand marks are.
    QVERIFY(b.tp.exists("Data/Work/a1.json"));
}

void TestTitleSuggest::allSuggestionsAtOnceWithoutDeletion()
{
    Sample s = sample(2);
    Bench b([&](TempProgram &tp) { tp.write("t.txt", s.text.toUtf8()); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.Chek->setChecked(false);
    const QString text = w.matn->Text();
    const QList<SuggestedPiece> pieces = suggestedPieces(text, suggestTitles(text));
    int withText = 0;
    for (const SuggestedPiece &p : pieces)
        withText += p.bodyLength > 0;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    // A picture of the text with its titles highlighted, to look at.
    w.SuggestTitles();
    saveShot(&w, QStringLiteral("workbench-suggestions"));
    w.bindex->setFocus(); // the keys work wherever the focus is in the window
    QTest::keyClick(w.bindex, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.table.parCount(), withText);
    QCOMPARE(w.bindex->count(), withText);
    QCOMPARE(w.matn->Text(), text); // without "با حذف" the text stays
    QVERIFY(w.suggestions().size() < pieces.size());
    int k = 0;
    for (const SuggestedPiece &p : pieces) {
        if (p.bodyLength == 0)
            continue;
        QCOMPARE(w.table.slot(k).title, text.mid(p.title.start, p.title.length));
        QCOMPARE(rtfToText(w.table.slot(k).body), text.mid(p.bodyStart, p.bodyLength));
        ++k;
    }
}

void TestTitleSuggest::takingAllIsRefusedWhenTheTableIsTooSmall()
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral(u"درس %1").arg(i + 1) << kSentences[i % kSentences.size()];
    Bench b(
        [&](TempProgram &tp) { tp.write("t.txt", lines.join(QStringLiteral("\r\n")).toUtf8()); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    const QString text = w.matn->Text();
    w.takeAllSuggestions();
    QCOMPARE(w.table.parCount(), 0);
    QCOMPARE(w.matn->Text(), text);
    QCOMPARE(b.rec.notices().size(), 1);
    QVERIFY(b.rec.notices().first().contains(QStringLiteral("300")));
    QVERIFY(!b.tp.exists("Data/Work/a1.json"));
}

void TestTitleSuggest::highlightsFollowTheView()
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral(u"درس %1").arg(i + 1) << kSentences[i % kSentences.size()];
    Bench b(
        [&](TempProgram &tp) { tp.write("t.txt", lines.join(QStringLiteral("\r\n")).toUtf8()); });
    Form3 &w = b.open();
    Bench::loadText(w, "t.txt");
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.SuggestTitles();
    QCOMPARE(w.suggestions().size(), 300);
    // Only the lines in view are highlighted, the first suggestion among them.
    const auto highlighted = [&] {
        QStringList out;
        for (const QTextEdit::ExtraSelection &s : w.matn->extraSelections())
            out << s.cursor.selectedText();
        return out;
    };
    QVERIFY(!highlighted().isEmpty());
    QVERIFY(highlighted().size() < 300);
    QCOMPARE(highlighted().first(), Rep(QStringLiteral(u"درس 1")).chopped(1));
    // Scrolled to the end, the last ones are.
    w.matn->verticalScrollBar()->setValue(w.matn->verticalScrollBar()->maximum());
    QVERIFY(highlighted().contains(Rep(QStringLiteral(u"درس 300")).chopped(1)));
    QVERIFY(!highlighted().contains(Rep(QStringLiteral(u"درس 1")).chopped(1)));
}

QTEST_MAIN(TestTitleSuggest)
#include "test_titlesuggest.moc"
