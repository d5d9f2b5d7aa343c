#pragma once

#include <QString>
#include <QtGlobal>

namespace zorvel {

// The operator-facing text of a message code; anything outside 1..29 gives
// the catch-all text.
QString messageText(qint16 code);

// The caption of every message box.
inline QString productName() { return QStringLiteral("Zorvel"); }

} // namespace zorvel
