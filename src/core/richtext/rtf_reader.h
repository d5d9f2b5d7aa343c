#pragma once

#include "core/richtext/rtf_parser.h"

#include <QStringView>
#include <QTextFormat>

class QTextCursor;

namespace zorvel {

// An embedded object or picture read from RTF is one U+FFFC character with an
// image format; this property keeps its RTF group exactly as it was read.
inline constexpr int kRtfObjectProperty = QTextFormat::UserProperty + 0x5A1;

// Inserts RTF at the cursor (which ends after it). In Document mode the
// input is a whole document and the paragraph mark that ends it adds no empty
// paragraph; in Fragment mode every paragraph mark counts and the paragraph
// the fragment ends in keeps its own properties unless the fragment states
// them. Text that is not RTF is inserted as plain text.
void readRtf(QTextCursor &cursor, QStringView rtf, rtf::Mode mode);

} // namespace zorvel
