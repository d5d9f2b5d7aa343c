// Titles suggested in a plain text: found by the core's rule, highlighted in
// matn, and taken one by one or all at once as ordinary marks.
#include "ui/workbench/form3.h"

#include "ui/common/appcontext.h"
#include "ui/common/operator.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace zorvel {

namespace {

QString withShortcuts(const QString &caption, const QList<QKeySequence> &keys)
{
    QStringList names;
    for (const QKeySequence &k : keys)
        names << k.toString(QKeySequence::NativeText);
    return caption + QStringLiteral(" (") + names.join(QStringLiteral(", ")) + u')';
}

QAction *command(QWidget *window, const QString &caption, const QList<QKeySequence> &keys)
{
    auto *a = new QAction(caption, window);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setToolTip(withShortcuts(caption, keys));
    window->addAction(a);
    return a;
}

} // namespace

void Form3::buildSuggestionCommands()
{
    suggestAction
        = command(this, QStringLiteral(u"پيشنهاد عنوانها"), { QKeySequence(Qt::CTRL | Qt::Key_G) });
    takeAction = command(this, QStringLiteral(u"علامت زدن عنوان پيشنهادي اول"),
        { QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter) });
    takeAllAction = command(this, QStringLiteral(u"علامت زدن همه عنوانهاي پيشنهادي"),
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Enter) });
    connect(suggestAction, &QAction::triggered, this, &Form3::SuggestTitles);
    connect(takeAction, &QAction::triggered, this, &Form3::takeSuggestion);
    connect(takeAllAction, &QAction::triggered, this, &Form3::takeAllSuggestions);
    // The commands stand in the text's own menu too, with their keys.
    matn->setContextMenuPolicy(Qt::ActionsContextMenu);
    matn->addActions({ suggestAction, takeAction, takeAllAction });
    connect(matn->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_suggestions.isEmpty())
            showSuggestions();
    });
    // Suggestions point into the text as it was: any other change drops them.
    connect(matn->document(), &QTextDocument::contentsChange, this, [this] {
        if (!m_suggestionEdit && !m_suggestions.isEmpty()) {
            m_suggestions.clear();
            showSuggestions();
        }
    });
}

void Form3::showSuggestions()
{
    // Only the suggestions on the lines in view are highlighted, and again
    // as the text scrolls: thousands of highlights over a long text would
    // lay out all of it.
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_suggestions.isEmpty()) {
        QTextCharFormat next, later;
        next.setBackground(QColor(0xff, 0xc8, 0x57));
        later.setBackground(QColor(0xff, 0xee, 0xa8));
        const QRect view = matn->viewport()->rect();
        const QTextBlock last = matn->cursorForPosition(view.bottomLeft()).block();
        int shown = 0;
        for (QTextBlock block = matn->cursorForPosition(view.topLeft()).block();
             block.isValid() && shown < 400; block = block.next(), ++shown) {
            if (block.blockNumber() > last.blockNumber())
                break;
            // A block's place in the text's units: every break before it counts two.
            const int unitStart = block.position() + block.blockNumber();
            const int unitEnd = unitStart + block.length() - 1;
            auto it = std::lower_bound(m_suggestions.cbegin(), m_suggestions.cend(), unitStart,
                [](const TitleCandidate &c, int at) { return c.start < at; });
            for (; it != m_suggestions.cend() && it->start <= unitEnd; ++it) {
                QTextCursor cursor(block);
                cursor.setPosition(block.position() + (it->start - unitStart));
                cursor.setPosition(block.position()
                        + std::min(it->start - unitStart + it->length, block.length() - 1),
                    QTextCursor::KeepAnchor);
                marks.append(QTextEdit::ExtraSelection {
                    cursor, it == m_suggestions.cbegin() ? next : later });
            }
        }
    }
    matn->setExtraSelections(marks);
}

void Form3::SuggestTitles()
{
    m_suggestions = suggestTitles(matn->Text());
    showSuggestions();
    if (m_suggestions.isEmpty())
        m_ctx.op->notice(QStringLiteral(u"در اين متن عنواني پيدا نشد.\u200F"));
}

void Form3::markPieces(const QList<SuggestedPiece> &pieces)
{
    m_suggestionEdit = true;
    for (const SuggestedPiece &p : pieces) {
        matn->setSelStart(p.title.start);
        matn->setSelLength(p.title.length);
        table.markTitle(matn->SelText());
        matn->setSelStart(p.bodyStart);
        matn->setSelLength(p.bodyLength);
        table.markRelated(matn->SelText(), matn->SelRTF());
    }
    if (Chek->isChecked()) {
        // From the bottom up, so that the places above stay where they are.
        for (qsizetype i = pieces.size() - 1; i >= 0; --i) {
            matn->setSelStart(pieces[i].title.start);
            matn->setSelLength(pieces[i].spanEnd - pieces[i].title.start);
            matn->setSelText(QString());
        }
    }
    matn->setSelStart(0);

    // The suggestions left, where they now stand.
    QList<TitleCandidate> left;
    qsizetype k = 0;
    int removed = 0;
    for (const TitleCandidate &c : std::as_const(m_suggestions)) {
        while (k < pieces.size() && pieces[k].title.start < c.start) {
            if (Chek->isChecked())
                removed += pieces[k].spanEnd - pieces[k].title.start;
            ++k;
        }
        if (k < pieces.size() && pieces[k].title == c)
            continue; // taken
        left.append(TitleCandidate { c.start - removed, c.length });
    }
    m_suggestions = left;
    m_suggestionEdit = false;
    showSuggestions();
}

void Form3::takeSuggestion()
{
    if (m_suggestions.isEmpty())
        SuggestTitles();
    if (m_suggestions.isEmpty())
        return;
    const QList<SuggestedPiece> pieces = suggestedPieces(matn->Text(), m_suggestions);
    // Titles with nothing under them before the next one are passed over;
    // they stay in the text.
    qsizetype first = 0;
    while (first < pieces.size() && pieces[first].bodyLength == 0)
        ++first;
    if (first > 0) {
        m_suggestions.remove(0, first);
        showSuggestions();
    }
    if (first >= pieces.size())
        return;
    if (table.parCount() >= kSlotCount) {
        reportRefusedMark(ParagraphTable::Mark::TableFull);
        return;
    }
    if (!mayReplacePendingTitle())
        return;
    const SuggestedPiece piece = pieces[first];
    commitStep(QStringLiteral(u"عنوان پيشنهادي"), [&] { markPieces({ piece }); });
    bindex->setCurrentRow(table.lastRow());
}

void Form3::takeAllSuggestions()
{
    if (m_suggestions.isEmpty())
        SuggestTitles();
    if (m_suggestions.isEmpty())
        return;
    QList<SuggestedPiece> pieces;
    for (const SuggestedPiece &p : suggestedPieces(matn->Text(), m_suggestions))
        if (p.bodyLength > 0)
            pieces.append(p);
    if (pieces.isEmpty())
        return;
    const int free = kSlotCount - table.parCount();
    if (pieces.size() > free) {
        m_ctx.op->notice(QStringLiteral(u"%1 عنوان پيشنهادي %1 خانه از جدول پاراگرافها ميخواهد و"
                                        u" جدول %2 خانه خالي دارد؛ چيزي علامت زده نشد.\u200F")
                             .arg(pieces.size())
                             .arg(free));
        return;
    }
    if (!mayReplacePendingTitle())
        return;
    commitStep(QStringLiteral(u"همه عنوانهاي پيشنهادي"), [&] { markPieces(pieces); });
    bindex->setCurrentRow(table.lastRow());
}

} // namespace zorvel
