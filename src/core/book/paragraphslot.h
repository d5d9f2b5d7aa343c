#pragma once

#include <QString>

namespace zorvel {

// One slot of a book's paragraph table. The title also tells the kind.
struct ParagraphSlot {
    QString title; // parTitle
    QString body;  // parBody: RTF for paragraphs and the identity page, plain text otherwise
    QString pic;   // parPic
    QString sound; // parSound
    QString film;  // parFilm

    bool operator==(const ParagraphSlot &) const = default;
};

inline constexpr int kSlotCount = 257;        // slots 0..256
inline constexpr int kInlinePictureCount = 513; // picture numbers 0..512

// Titles that mark the special slot kinds.
inline QString markMain() { return QStringLiteral(u">>> عنوان اصلي"); }
inline QString markEnd() { return QStringLiteral(u">>> پايان عنوان"); }
inline QString markShenas() { return QStringLiteral(u"شناسنامه"); }

} // namespace zorvel
