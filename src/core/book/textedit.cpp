#include "core/book/textedit.h"

#include <algorithm>

namespace zorvel {

namespace {

qsizetype commonPrefix(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const auto mismatch = std::mismatch(a.begin(), a.begin() + n, b.begin());
    return mismatch.first - a.begin();
}

qsizetype commonSuffix(QStringView a, QStringView b, qsizetype limit)
{
    const qsizetype n = std::min({a.size(), b.size(), limit});
    qsizetype k = 0;
    while (k < n && a[a.size() - 1 - k] == b[b.size() - 1 - k])
        ++k;
    return k;
}

// Past this much text in the edits, the base is written again.
// Each edit brought back costs a move of the text after it, so there are few.
constexpr qsizetype kRebaseChars = 1024 * 1024;
constexpr qsizetype kRebaseEdits = 2000;

// Replaces `count` characters at `at`. Near the start the head moves, not
// the tail: a string gives up its first characters without moving the rest
// and takes new ones into the room left there, so a cut from the top of a
// 10 MB text, and its undo, cost microseconds instead of a move of it all.
void splice(QString &text, qsizetype at, qsizetype count, QStringView inserted)
{
    if (at >= text.size() - at - count) {
        text.replace(at, count, inserted.data(), inserted.size());
        return;
    }
    QString head = text.left(at);
    head.append(inserted);
    text.remove(0, at + count);
    text.insert(0, head);
}

} // namespace

TextEdit diffTexts(QStringView before, QStringView after)
{
    const qsizetype start = commonPrefix(before, after);
    const qsizetype end = commonSuffix(before, after, std::min(before.size(), after.size()) - start);
    return TextEdit{start, before.mid(start, before.size() - start - end).toString(),
                    after.mid(start, after.size() - start - end).toString()};
}

TextEdit narrowed(const TextEdit &edit)
{
    if (edit.removed.isEmpty() || edit.inserted.isEmpty())
        return edit;
    TextEdit d = diffTexts(edit.removed, edit.inserted);
    d.at += edit.at;
    return d;
}

bool applyEdit(QString &text, const TextEdit &edit)
{
    if (edit.at < 0 || edit.at + edit.removed.size() > text.size())
        return false;
    splice(text, edit.at, edit.removed.size(), edit.inserted);
    return true;
}

bool revertEdit(QString &text, const TextEdit &edit)
{
    if (edit.at < 0 || edit.at + edit.inserted.size() > text.size())
        return false;
    splice(text, edit.at, edit.inserted.size(), edit.removed);
    return true;
}

void WorkText::reset(const QString &text)
{
    m_text = text;
    m_base = text;
    m_baseFile.clear();
    m_edits.clear();
    m_editedChars = 0;
    m_edited = false;
}

bool WorkText::restore(const QString &base, const QString &baseFile, const QList<TextSplice> &edits)
{
    QString text = base;
    QList<TextEdit> kept;
    kept.reserve(edits.size());
    qsizetype chars = 0;
    for (const TextSplice &e : edits) {
        if (e.at < 0 || e.removed < 0 || e.at > text.size() || e.removed > text.size() - e.at)
            return false;
        kept.append(TextEdit{e.at, text.mid(e.at, e.removed), e.inserted});
        splice(text, e.at, e.removed, e.inserted);
        chars += e.inserted.size();
    }
    m_text = text;
    m_base = base;
    m_baseFile = baseFile;
    m_edits = kept;
    m_editedChars = chars;
    m_edited = !kept.isEmpty();
    return true;
}

TextEdit WorkText::replace(qsizetype at, qsizetype count, const QString &inserted)
{
    at = std::clamp<qsizetype>(at, 0, m_text.size());
    count = std::clamp<qsizetype>(count, 0, m_text.size() - at);
    TextEdit edit{at, m_text.mid(at, count), inserted};
    edit = narrowed(edit);
    if (edit.isEmpty())
        return edit;
    splice(m_text, edit.at, edit.removed.size(), edit.inserted);
    m_editedChars += edit.inserted.size();
    m_edited = true;
    // Typing, and deleting letter by letter, go on one edit: few to bring back.
    if (!m_edits.isEmpty()) {
        TextEdit &last = m_edits.last();
        const qsizetype lastEnd = last.at + last.inserted.size();
        if (edit.removed.isEmpty() && edit.at == lastEnd) {
            last.inserted += edit.inserted;
            return edit;
        }
        if (edit.inserted.isEmpty() && edit.at + edit.removed.size() == lastEnd
            && edit.removed.size() <= last.inserted.size()) {
            last.inserted.chop(edit.removed.size());
            return edit;
        }
        if (last.inserted.isEmpty() && edit.at == last.at) {
            last.removed += edit.removed;
            last.inserted = edit.inserted;
            return edit;
        }
    }
    m_edits.append(edit);
    m_edited = true;
    return edit;
}

QList<TextSplice> WorkText::splices() const
{
    QList<TextSplice> out;
    out.reserve(m_edits.size());
    for (const TextEdit &e : m_edits)
        out.append(TextSplice{e.at, e.removed.size(), e.inserted});
    return out;
}

bool WorkText::wantsRebase() const
{
    return m_editedChars > kRebaseChars || m_edits.size() > kRebaseEdits;
}

void WorkText::rebase()
{
    m_base = m_text;
    m_baseFile.clear();
    m_edits.clear();
    m_editedChars = 0;
}

} // namespace zorvel
