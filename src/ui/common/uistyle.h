#pragma once

#include <QFont>
#include <QList>
#include <QRect>

class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
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

// Every one-line text box of the program selects its whole text when it gets
// the focus, by the keyboard or by a click, so that typing replaces it.
// Installed once on the application; later calls do nothing.
void installTextBoxFocusRule();

// A path field shows the end of its path (the file name) whenever the
// operator is not editing it, and the whole path as its tooltip.
void showPathEnd(QLineEdit *field);


// The accessible name a screen reader announces for a field: the caption of
// the label beside it, without its colon. The label becomes the field's buddy.
void nameAfterLabel(QWidget *field, QLabel *label);
QString labelCaption(const QString &labelText);

// Opens the menu right to left, flowing left from the pointer and kept on
// the pointer's screen.
void popupRightToLeft(QMenu *menu, const QPoint &pointer);

// The standard context menus of these text fields (a line edit, or a text
// box through its viewport) open right to left as well.
void rightToLeftContextMenus(const QList<QWidget *> &fields);

} // namespace zorvel
