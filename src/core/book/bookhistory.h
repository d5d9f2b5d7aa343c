#pragma once

#include "core/book/paragraphtable.h"
#include "core/book/textedit.h"

#include <QList>
#include <QString>

namespace zorvel {

// Where the caret of the raw text stands: the selection's anchor and the
// caret itself, in the text's own positions (one character a line break).
struct Caret {
    int anchor = 0;
    int position = 0;

    bool operator==(const Caret &) const = default;
};

// Everything about a book that a step of its history puts back, besides the
// raw text, whose changes a step keeps as edits.
struct BookState {
    ParagraphTable::Contents table;
    QString bookName;
    Caret caret;

    bool operator==(const BookState &) const = default;
};

// The undo history of one book in the workbench, from the moment its text
// was shown: one step a command (a mark, a delete, a stored edit, a row
// deleted, an import, a suggestion taken), and one for a run of typing into
// the same field. A step holds the state before and after it and the edits
// it made to the raw text, in order.
class BookHistory {
public:
    struct Step {
        QString label;
        BookState before;
        BookState after;
        QList<TextEdit> edits;
        // Typing: consecutive steps with the same key, nothing undone between
        // them, become one step. 0 never merges.
        int mergeKey = 0;
    };

    // Forgets every step.
    void clear();

    // Records a step made just now; the steps undone before it are dropped.
    // A step that changed nothing is not recorded: false.
    bool record(Step step);

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < m_steps.size(); }
    // The step to take back (its edits reverted last to first, then its
    // `before` state), or nullptr when there is none.
    const Step *undo();
    // The step to make again (its edits applied in order, then its `after`
    // state), or nullptr.
    const Step *redo();

    // The next typing starts a step of its own.
    void closeMerge() { m_mergeOpen = false; }

    qsizetype size() const { return m_steps.size(); }
    qsizetype index() const { return m_index; }
    QString undoLabel() const { return canUndo() ? m_steps[m_index - 1].label : QString(); }
    QString redoLabel() const { return canRedo() ? m_steps[m_index].label : QString(); }

private:
    QList<Step> m_steps;
    qsizetype m_index = 0; // steps before it are done, the rest undone
    bool m_mergeOpen = false;
};

} // namespace zorvel
