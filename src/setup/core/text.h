#pragma once

// Text as the installer's core keeps it: std::string holding UTF-8.
#include <string>
#include <vector>

namespace setup::core {

// Lines cut at CR LF, LF or a lone CR; a final line end does not start
// another (empty) line.
std::vector<std::string> splitLines(const std::string &text);

bool isValidUtf8(const std::string &bytes);

// An 8-bit text file's bytes as UTF-8: taken as they are when they are valid
// UTF-8, otherwise read as Windows-1256 (a cd.inf saved on a Persian Windows).
std::string decode8bit(const std::string &bytes);

// UTF-8 and UTF-16 (the Windows W functions' form); invalid UTF-8 bytes
// become U+FFFD.
std::u16string toUtf16(const std::string &utf8);
std::string fromUtf16(const std::u16string &utf16);

std::string toLowerAscii(std::string text);
bool endsWith(const std::string &text, const std::string &end);
bool startsWith(const std::string &text, const std::string &start);

// `text` with every "%1", "%2"... replaced by the argument of that number.
std::string format(const std::string &text, const std::vector<std::string> &args);

} // namespace setup::core
