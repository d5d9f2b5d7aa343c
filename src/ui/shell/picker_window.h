#pragma once

#include <QString>

class QDialog;

namespace zorvel {

// The common frame of the two pickers: caption, a fixed-size tool window
// without minimise and maximise buttons, right-to-left, a font that shapes
// Persian (Tahoma where present).
void dressPickerWindow(QDialog &dialog, const QString &caption, int widthTwips, int heightTwips);

} // namespace zorvel
