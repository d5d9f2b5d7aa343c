#pragma once

#include <QFont>
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
