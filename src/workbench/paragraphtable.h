#pragma once

#include "workbench/paragraphslot.h"

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

    // The index list's rows, row i describing slot i.
    const QStringList &rows() const { return m_rows; }
    // The row most recently added or changed by a mark.
    int lastRow() const { return m_lastRow; }

    // The marking commands. sel is the selection's plain text, rtf its rich
    // text. A refused mark changes nothing.
    Mark markIdentity(const QString &sel, const QString &rtf);
    Mark markTitle(const QString &sel);
    Mark markRelated(const QString &sel, const QString &rtf);
    Mark openMain(const QString &sel);
    Mark closeMain();

    // The editor stores slot i: title, body, attachments. plainBody is the
    // body's plain text, used for the row and, for a main title, as its body.
    void storeEdit(int i, const QString &title, const QString &body, const QString &plainBody,
                   const QString &pic, const QString &sound, const QString &film);

    // Removes slot i and its row; later slots move up one place.
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

    std::vector<ParagraphSlot> m_slots;
    QStringList m_rows;
    int m_parCount = 0;
    int m_mainDepth = 0;
    QString m_mainText;
    int m_lastRow = -1;
};

} // namespace zorvel
