#pragma once

#include <QByteArray>
#include <QString>

namespace zorvel {

// Windows 8-bit code pages, by number (1256 Persian/Arabic, 1252 Western, ...).
// Qt only knows code pages by name through ICU, which not every Qt build has,
// so the tables are our own.
bool isKnownCodePage(int codePage);

// Bytes below 0x80 are ASCII; an unknown code page decodes as 1252.
QString decodeCodePage(int codePage, QByteArrayView bytes);
QChar decodeCodePageByte(int codePage, unsigned char byte);

// Characters the code page lacks become '?'. `lossless` (optional) reports
// whether every character had a byte.
QByteArray encodeCodePage(int codePage, QStringView text, bool *lossless = nullptr);

// The byte of one character in a code page, or -1 when it has none.
int encodeCodePageChar(int codePage, QChar ch);

// The Windows code page that an RTF \fcharset number stands for, 0 if none.
int codePageForCharset(int charset);

inline QString decode1256(QByteArrayView bytes) { return decodeCodePage(1256, bytes); }
inline QByteArray encode1256(QStringView text) { return encodeCodePage(1256, text); }

} // namespace zorvel
