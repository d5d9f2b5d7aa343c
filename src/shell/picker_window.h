#pragma once

#include <QRect>
#include <QString>

class QDialog;

namespace zorvel {

// Geometry of the pickers is laid out in twips, 15 to a pixel.
constexpr int pixelsFromTwips(int twips)
{
    return twips / 15;
}
QRect twipsRect(int left, int top, int width, int height);

// The common frame of the two pickers: caption, a fixed-size tool window
// without minimise and maximise buttons, right-to-left, a font that shapes
// Persian (Tahoma where present).
void dressPickerWindow(QDialog &dialog, const QString &caption, int widthTwips, int heightTwips);

} // namespace zorvel
