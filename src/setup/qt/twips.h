#pragma once

#include <QRect>

namespace setup {

// Window layouts are given in twips: 15 to a pixel at the usual 96 dots per inch.
constexpr int twips(int value)
{
    return value / 15;
}

constexpr QRect twipRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace setup
