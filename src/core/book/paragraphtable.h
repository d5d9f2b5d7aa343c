#pragma once

#include "core/book/paragraphslot.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace zorvel {

// The marked pieces of one book: 257 slots, the counters, the inline
// pictures, and the rows of the index list that mirror the slots one to one.
class ParagraphTable {
public:
    enum class Mark {
        Done,
        TableFull,      // the mark would need a slot beyond 256
        NoPendingTitle, // a related text without a title
        NothingToClose, // an end without an open main title
        NothingSelected, // a title or a related text with nothing in it
    };

    // Everything the table holds, to save the work on a book and bring it back.
    struct Contents {
        QList<ParagraphSlot> paragraphs; // the used slots: the completed, then a pending title
        QStringList rows;
        int parCount = 0;
        int mainDepth = 0;
        QString mainText;
        QStringList imgList;
        int imgCount = 0;

        bool operator==(const Contents &) const = default;
    };

    ParagraphTable();

    // Empties every slot, row and picture; counters back to 0.
    void reset();

    const ParagraphSlot &slot(int i) const { return m_slots.at(i); }
    ParagraphSlot &slot(int i) { return m_slots.at(i); }
    const std::vector<ParagraphSlot> &allSlots() const { return m_slots; }

    int parCount() const { return m_parCount; }
    int mainDepth() const { return m_mainDepth; }
    const QString &mainText() const { return m_mainText; }
    // A title marked in slot parCount whose related text is not marked yet.
    bool hasPendingTitle() const;
    // A pending title that the editor gave a body or an attachment: a mark in
    // its slot would throw them away.
    bool pendingHasContent() const;

    // What the writer receives: the completed slots and a pending title.
    QList<ParagraphSlot> slotsToWrite() const;

    Contents contents() const;
    // False, and nothing changed, when the contents do not fit together.
    bool restore(const Contents &contents);

    // The index list's rows, row i describing slot i.
    const QStringList &rows() const { return m_rows; }
    // The row most recently added or changed by a mark.
    int lastRow() const { return m_lastRow; }

    // The marking commands. sel is the selection's plain text, rtf its rich
    // text. A refused mark changes nothing. A title is trimmed of spaces and of
    // line breaks at both ends (trimTitle); an empty one, and a related text of
    // nothing but white space, are refused.
    Mark markIdentity(const QString &sel, const QString &rtf);
    Mark markTitle(const QString &sel);
    Mark markRelated(const QString &sel, const QString &rtf);
    Mark openMain(const QString &sel);
    Mark closeMain();

    // The editor stores slot i: title, body, attachments. plainBody is the
    // body's plain text, used for the row and, for a main title, as its body.
    // A body stored for a pending title completes it: parCount moves on.
    void storeEdit(int i, const QString &title, const QString &body, const QString &plainBody,
                   const QString &pic, const QString &sound, const QString &film);

    // Removes slot i and its row; later slots move up one place. A main title
    // goes with its end entry, and an open one closes: the group's paragraphs
    // move up one level and mainDepth stays right.
    void deleteSlot(int i);

    // Inline pictures: path by number, and the next number.
    QStringList imgList;
    qint16 imgCount = 0;
    // The next free picture number, or -1 when all 513 are taken.
    int takePictureNumber(const QString &path);

    // "عنوان اصلي (n)" with the closing right-to-left mark.
    static QString mainCaption(int depth);
    static QString rowArrow() { return QStringLiteral("   =>   "); }

private:
    // Puts text at row n: replaces a pending title's row, otherwise inserts.
    void placeRow(int n, const QString &text, bool pending);
    bool full() const { return m_parCount >= kSlotCount; }
    void removeSlot(int i);

    std::vector<ParagraphSlot> m_slots;
    QStringList m_rows;
    int m_parCount = 0;
    int m_mainDepth = 0;
    QString m_mainText;
    int m_lastRow = -1;
};

} // namespace zorvel
