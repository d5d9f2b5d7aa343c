#include "core/common/codepage.h"

#include <array>
#include <unordered_map>

namespace zorvel {

namespace {

#include "core/common/codepage_tables.inc"

const char16_t *tableFor(int codePage)
{
    switch (codePage) {
    case 874: return kCp874;
    case 1250: return kCp1250;
    case 1251: return kCp1251;
    case 1252: return kCp1252;
    case 1253: return kCp1253;
    case 1254: return kCp1254;
    case 1255: return kCp1255;
    case 1256: return kCp1256;
    case 1257: return kCp1257;
    case 1258: return kCp1258;
    default: return nullptr;
    }
}

// Reverse tables are built on first use, one per code page.
const std::unordered_map<char16_t, unsigned char> &reverseFor(int codePage)
{
    static std::unordered_map<int, std::unordered_map<char16_t, unsigned char>> cache;
    auto it = cache.find(codePage);
    if (it != cache.end())
        return it->second;
    std::unordered_map<char16_t, unsigned char> map;
    const char16_t *table = tableFor(codePage);
    if (!table)
        table = kCp1252;
    for (int i = 0; i < 128; ++i)
        map.emplace(table[i], static_cast<unsigned char>(0x80 + i));
    return cache.emplace(codePage, std::move(map)).first->second;
}

} // namespace

bool isKnownCodePage(int codePage)
{
    return tableFor(codePage) != nullptr;
}

QChar decodeCodePageByte(int codePage, unsigned char byte)
{
    if (byte < 0x80)
        return QChar(byte);
    const char16_t *table = tableFor(codePage);
    if (!table)
        table = kCp1252;
    return QChar(table[byte - 0x80]);
}

QString decodeCodePage(int codePage, QByteArrayView bytes)
{
    const char16_t *table = tableFor(codePage);
    if (!table)
        table = kCp1252;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = b < 0x80 ? QChar(b) : QChar(table[b - 0x80]);
    }
    return out;
}

int encodeCodePageChar(int codePage, QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80)
        return u;
    const auto &rev = reverseFor(codePage);
    auto it = rev.find(u);
    return it == rev.end() ? -1 : it->second;
}

QByteArray encodeCodePage(int codePage, QStringView text, bool *lossless)
{
    QByteArray out;
    out.reserve(text.size());
    bool ok = true;
    for (QChar ch : text) {
        const int b = encodeCodePageChar(codePage, ch);
        if (b < 0) {
            ok = false;
            out.append('?');
        } else {
            out.append(static_cast<char>(b));
        }
    }
    if (lossless)
        *lossless = ok;
    return out;
}

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 161: return 1253; // Greek
    case 162: return 1254; // Turkish
    case 163: return 1258; // Vietnamese
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case 186: return 1257; // Baltic
    case 204: return 1251; // Russian
    case 222: return 874;  // Thai
    case 238: return 1250; // Eastern European
    default: return 0;
    }
}

} // namespace zorvel
