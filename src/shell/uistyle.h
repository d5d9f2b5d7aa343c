#pragma once

#include <QFont>
#include <QList>
#include <QRect>

class QWidget;

namespace zorvel {

// Sizes in the window descriptions are twips; 15 twips make a pixel at 96 dpi.
constexpr int tw(int twips)
{
    return (twips + 7) / 15;
}

// A rectangle given in twips, in pixels.
QRect twipsRect(int left, int top, int width, int height);

// Tahoma 8.25 pt where present, a Persian-capable face otherwise.
QFont formFont();
void applyFormFont(QWidget *w);

// Registers the pictures built into the library (once).
void initArtwork();

} // namespace zorvel

class QLabel;
class QMenu;
class QPoint;

namespace zorvel {

// The field is announced by its heading: the label's text without its
// closing colon (and the label's mnemonic goes to the field).
void nameAfterLabel(QWidget *field, QLabel *label);

// Opens the menu right to left, flowing left from the pointer and kept on
// the pointer's screen.
void popupRightToLeft(QMenu *menu, const QPoint &pointer);

// The standard context menus of these text fields (a line edit, or a text
// box through its viewport) open right to left as well.
void rightToLeftContextMenus(const QList<QWidget *> &fields);

} // namespace zorvel
