#include "ui/common/placement.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace zorvel {

namespace {

// Room left between the windows, so that their frames do not touch.
constexpr int kGap = 8;

int clampAxis(int at, int length, int low, int high)
{
    // Too long to fit: its start (the title bar) stays visible.
    if (length > high - low + 1)
        return low;
    return std::clamp(at, low, high - length + 1);
}

bool fits(const QRect &r, const QRect &available)
{
    return available.contains(r);
}

} // namespace

QPoint keptOnScreen(const QPoint &topLeft, const QSize &size, const QRect &available)
{
    return QPoint(clampAxis(topLeft.x(), size.width(), available.left(), available.right()),
                  clampAxis(topLeft.y(), size.height(), available.top(), available.bottom()));
}

QPoint workbenchTopLeft(const QRect &mainFrame, const QRect &picker, const QSize &workbench,
                        const QRect &available)
{
    const int top = clampAxis(mainFrame.top(), workbench.height(), available.top(), available.bottom());
    const QPoint left(mainFrame.left() - kGap - workbench.width(), top);
    const QPoint right(mainFrame.right() + 1 + kGap, top);
    for (const QPoint &beside : {left, right}) {
        if (fits(QRect(beside, workbench), available))
            return beside;
    }

    // Over the main window then: from the left-hand place kept on screen, the
    // nearest place that leaves the picker uncovered.
    const QPoint start = keptOnScreen(left, workbench, available);
    const std::array<QPoint, 4> clear = {
        QPoint(picker.left() - kGap - workbench.width(), start.y()), // left of the picker
        QPoint(picker.right() + 1 + kGap, start.y()),                 // right of it
        QPoint(start.x(), picker.top() - kGap - workbench.height()),  // above it
        QPoint(start.x(), picker.bottom() + 1 + kGap),                // below it
    };
    const QPoint *best = nullptr;
    int bestDistance = 0;
    for (const QPoint &at : clear) {
        const QRect r(at, workbench);
        if (!fits(r, available) || r.intersects(picker))
            continue;
        const int distance = std::abs(at.x() - start.x()) + std::abs(at.y() - start.y());
        if (!best || distance < bestDistance) {
            best = &at;
            bestDistance = distance;
        }
    }
    return best ? *best : start;
}

QPoint popupTopLeft(const QPoint &pointer, const QSize &menu, const QRect &available)
{
    return keptOnScreen(QPoint(pointer.x() - menu.width() + 1, pointer.y()), menu, available);
}

} // namespace zorvel
