#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zorvel {

// Where the workbench's frame goes when it is shown, in global coordinates.
// Beside the main window where the screen allows (left first: the program
// reads right to left, so its next step lies to the left), else moved as
// little as needed from there so that the book picker stays uncovered, else
// simply on the screen.
QPoint workbenchTopLeft(const QRect &mainFrame, const QRect &picker, const QSize &workbench,
                        const QRect &available);

// Where a popup menu of a right-to-left window goes: its top-right corner at
// the pointer, moved onto the screen where it would leave it.
QPoint popupTopLeft(const QPoint &pointer, const QSize &menu, const QRect &available);

// A rectangle of the given size moved as little as needed to lie inside
// `available`; when it is larger, its top-left corner stays on screen.
QPoint keptOnScreen(const QPoint &topLeft, const QSize &size, const QRect &available);

} // namespace zorvel
