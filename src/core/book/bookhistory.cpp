#include "core/book/bookhistory.h"

namespace zorvel {

void BookHistory::clear()
{
    m_steps.clear();
    m_index = 0;
    m_mergeOpen = false;
}

bool BookHistory::record(Step step)
{
    if (step.edits.isEmpty() && step.before == step.after)
        return false;
    m_steps.resize(m_index);
    if (m_index > 0) {
        Step &last = m_steps[m_index - 1];
        if (step.mergeKey != 0 && m_mergeOpen && last.mergeKey == step.mergeKey) {
            last.after = std::move(step.after);
            last.edits += step.edits;
            return true;
        }
        // Consecutive states are usually the same: one copy is kept for both,
        // its strings shared.
        if (step.before == last.after)
            step.before = last.after;
    }
    m_mergeOpen = step.mergeKey != 0;
    m_steps.append(std::move(step));
    ++m_index;
    return true;
}

const BookHistory::Step *BookHistory::undo()
{
    m_mergeOpen = false;
    if (!canUndo())
        return nullptr;
    return &m_steps[--m_index];
}

const BookHistory::Step *BookHistory::redo()
{
    m_mergeOpen = false;
    if (!canRedo())
        return nullptr;
    return &m_steps[m_index++];
}

} // namespace zorvel
