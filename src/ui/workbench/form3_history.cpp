// The workbench's history: every change a command makes to the table, the
// book name and the raw text is one step that Ctrl+Z takes back and Ctrl+Y
// makes again, and the raw text's edits also go into the saved work.
#include "ui/workbench/form3.h"

#include "core/book/savedwork.h"
#include "core/book/textrules.h"
#include "core/common/paths.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace zorvel {

namespace {

// Typing into one field, run together into one step.
constexpr int kTypingInText = 1;
constexpr int kTypingInName = 2;

// The slot whose filling the operator is warned of.
constexpr int kNearlyFull = 250;

// The document's text with one '\n' a line break: the units of its positions.
QString rawText(const QTextDocument &doc)
{
    QString text = doc.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// Replaces `count` characters at `at` by `text` ('\n' a line break).
void replaceRange(QTextDocument *doc, qsizetype at, qsizetype count, const QString &text)
{
    QTextCursor c(doc);
    c.setPosition(int(at));
    c.setPosition(int(at + count), QTextCursor::KeepAnchor);
    if (c.hasSelection())
        c.removeSelectedText();
    if (!text.isEmpty())
        c.insertText(text);
}

} // namespace

void Form3::buildHistory()
{
    // The workbench's history is the only one: the box's own undo would take
    // back pieces of a command behind the table's back.
    matn->setUndoRedoEnabled(false);
    connect(matn->document(), &QTextDocument::contentsChange, this, &Form3::matnChanged);
    connect(bname, &QLineEdit::textEdited, this, &Form3::bookNameTyped);
    connect(bname, &QLineEdit::textChanged, this, [this](const QString &text) { m_lastBookName = text; });
    m_caretSave = new QTimer(this);
    m_caretSave->setSingleShot(true);
    m_caretSave->setInterval(300);
    connect(m_caretSave, &QTimer::timeout, this, [this] {
        if (m_keepText)
            saveWork();
    });
    connect(matn, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_showingText && !m_replaying && m_stepDepth == 0)
            m_caretSave->start();
    });
}

BookState Form3::captureState() const
{
    BookState s;
    s.table = table.contents();
    s.bookName = bname->text();
    const QTextCursor c = matn->textCursor();
    s.caret = Caret{c.anchor(), c.position()};
    return s;
}

void Form3::applyState(const BookState &state)
{
    table.restore(state.table);
    if (bname->text() != state.bookName)
        bname->setText(state.bookName);
    updateMainCaption();
    syncIndex();
    if (table.lastRow() >= 0)
        bindex->setCurrentRow(table.lastRow());
    const int end = matn->document()->characterCount() - 1;
    QTextCursor c = matn->textCursor();
    c.setPosition(std::clamp(state.caret.anchor, 0, end));
    c.setPosition(std::clamp(state.caret.position, 0, end), QTextCursor::KeepAnchor);
    matn->setTextCursor(c);
}

void Form3::showText(const QString &text, bool keep)
{
    m_showingText = true;
    matn->setText(text);
    m_showingText = false;
    m_workText.reset(rawText(*matn->document()));
    m_keepText = keep;
    m_history.clear();
}

void Form3::matnChanged(int position, int removed, int added)
{
    if (m_showingText)
        return;
    const QTextDocument &doc = *matn->document();
    const qsizetype length = doc.characterCount() - 1;
    const qsizetype before = m_workText.text().size();
    // The document counts its closing paragraph mark; the text does not.
    const qsizetype at = std::clamp<qsizetype>(position, 0, before);
    const qsizetype gone = std::clamp<qsizetype>(removed, 0, before - at);
    QTextCursor c(matn->document());
    c.setPosition(int(std::min<qsizetype>(at, length)));
    c.setPosition(int(std::min<qsizetype>(at + added, length)), QTextCursor::KeepAnchor);
    QString inserted = c.selectedText();
    inserted.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    TextEdit edit;
    if (before - gone + inserted.size() == length)
        edit = m_workText.replace(at, gone, inserted);
    else // a range that does not add up: the whole text compared
        edit = m_workText.replace(0, before, rawText(doc));
    if (edit.isEmpty() || m_replaying)
        return;
    if (m_stepDepth > 0) {
        m_stepEdits.append(edit);
        return;
    }
    // Typed into the text: its caret before and after are the edit's ends.
    BookHistory::Step step;
    step.label = QStringLiteral(u"تايپ در متن");
    step.after = captureState();
    step.before = step.after;
    const int start = int(edit.at);
    step.before.caret = Caret{start, start + int(edit.removed.size())};
    step.after.caret = Caret{start + int(edit.inserted.size()), start + int(edit.inserted.size())};
    step.edits = {edit};
    step.mergeKey = kTypingInText;
    m_history.record(std::move(step));
    saveWork();
}

void Form3::bookNameTyped(const QString &text)
{
    BookHistory::Step step;
    step.label = QStringLiteral(u"تايپ نام كتاب");
    step.after = captureState();
    step.before = step.after;
    step.before.bookName = m_lastBookName;
    step.after.bookName = text;
    step.mergeKey = kTypingInName;
    m_history.record(std::move(step));
    saveWork();
}

void Form3::commitStep(const QString &label, const std::function<void()> &change)
{
    if (m_stepDepth > 0) { // inside another command's step: part of it
        change();
        return;
    }
    BookHistory::Step step;
    step.label = label;
    step.before = captureState();
    const int rowsBefore = int(table.rows().size());
    m_stepEdits.clear();
    ++m_stepDepth;
    struct Leave {
        int &depth;
        ~Leave() { --depth; }
    } leave{m_stepDepth};
    change();
    step.edits = std::exchange(m_stepEdits, {});
    step.after = captureState();
    m_history.record(std::move(step));
    afterStep(rowsBefore);
}

void Form3::afterStep(int rowsBefore)
{
    updateMainCaption();
    syncIndex();
    saveWork();
    const int rows = int(table.rows().size());
    if (!m_nearFullWarned && rowsBefore < kNearlyFull && rows >= kNearlyFull) {
        m_nearFullWarned = true;
        m_ctx.op->notice(QStringLiteral(u"جدول پاراگرافهاي اين كتاب نزديك به پر شدن است: ")
                         + persianDigits(QString::number(rows)) + QStringLiteral(u" از ")
                         + persianDigits(QString::number(kSlotCount))
                         + QStringLiteral(u" خانه پر شده است.\u200F"));
    }
}

void Form3::undoStep()
{
    const BookHistory::Step *step = m_history.undo();
    if (!step)
        return;
    m_replaying = true;
    for (auto e = step->edits.crbegin(); e != step->edits.crend(); ++e)
        replaceRange(matn->document(), e->at, e->inserted.size(), e->removed);
    m_replaying = false;
    applyState(step->before);
    saveWork();
}

void Form3::redoStep()
{
    const BookHistory::Step *step = m_history.redo();
    if (!step)
        return;
    m_replaying = true;
    for (const TextEdit &e : step->edits)
        replaceRange(matn->document(), e.at, e.removed.size(), e.inserted);
    m_replaying = false;
    applyState(step->after);
    saveWork();
}

void Form3::updateCounter()
{
    const QString text = persianDigits(QString::number(table.rows().size())) + QStringLiteral(u" از ")
        + persianDigits(QString::number(kSlotCount));
    if (Counter->text() != text)
        Counter->setText(text);
}

void Form3::stampInputText(const QString &name)
{
    const QFileInfo info(DoSlashAlways(inputFolder()) + name);
    m_inputSize = info.exists() ? info.size() : -1;
    m_inputModified = info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
}

void Form3::saveTextBase()
{
    const QString path = workFile();
    if (path.isEmpty() || !m_keepText || !m_workText.baseFile().isEmpty())
        return;
    try {
        m_workText.setBaseFile(saveWorkTextBase(fso, path, m_workText.base()));
    } catch (const FsError &e) {
        if (!m_workSaveFailed)
            m_ctx.op->notice(QStringLiteral(u"كار اين كتاب ذخيره نشد:\n") + e.describe());
        m_workSaveFailed = true;
    }
}

} // namespace zorvel
