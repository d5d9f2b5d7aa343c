#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace zorvel {

// One replacement in a text: at `at`, `removed` gave way to `inserted`. The
// history and the saved work keep a text's changes this way, never the whole
// text again.
struct TextEdit {
    qsizetype at = 0;
    QString removed;
    QString inserted;

    bool isEmpty() const { return removed.isEmpty() && inserted.isEmpty(); }
    bool operator==(const TextEdit &) const = default;
};

// An edit as the saved work keeps it: the removed text only by its length.
struct TextSplice {
    qsizetype at = 0;
    qsizetype removed = 0;
    QString inserted;

    bool operator==(const TextSplice &) const = default;
};

// The smallest edit that turns `before` into `after`: their common start and
// end left out.
TextEdit diffTexts(QStringView before, QStringView after);

// The same edit without the start and end that its two pieces share (a text
// box may report a wider range than the one that changed).
TextEdit narrowed(const TextEdit &edit);

// False, and the text unchanged, when the edit does not fit the text.
bool applyEdit(QString &text, const TextEdit &edit);
bool revertEdit(QString &text, const TextEdit &edit);

// The raw text being cut, as the saved work keeps it: the text as last
// written whole (the base) and the edits made since, so that a mark in a
// 10 MB text saves a few bytes instead of the whole text again.
class WorkText {
public:
    // A text shown afresh: it is the base, not yet written.
    void reset(const QString &text);
    // Saved work brought back: the base as it was written, and its edits.
    // False, and nothing changed, when the edits do not fit the base.
    bool restore(const QString &base, const QString &baseFile, const QList<TextSplice> &edits);

    const QString &text() const { return m_text; }
    const QString &base() const { return m_base; }
    const QList<TextEdit> &edits() const { return m_edits; }
    QList<TextSplice> splices() const;
    // Whether anything was edited since the text was shown afresh.
    bool edited() const { return m_edited; }
    void setEdited(bool edited) { m_edited = edited; }

    // `count` characters at `at` gave way to `inserted`; returns the edit with
    // the text removed. Positions outside the text are kept inside it.
    TextEdit replace(qsizetype at, qsizetype count, const QString &inserted);

    // The file in the Work folder that holds the base; empty until written.
    const QString &baseFile() const { return m_baseFile; }
    void setBaseFile(const QString &name) { m_baseFile = name; }
    // The edits have grown large enough that writing the text whole again
    // costs less than keeping them: the text becomes the base, to be written.
    bool wantsRebase() const;
    void rebase();

    bool operator==(const WorkText &) const = default;

private:
    QString m_text;
    QString m_base;
    QString m_baseFile;
    QList<TextEdit> m_edits;
    qsizetype m_editedChars = 0;
    bool m_edited = false;
};

} // namespace zorvel
