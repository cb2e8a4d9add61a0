/*
 * layout.cpp: the window's size and grid.
 */
#include "ui/layout.h"

#include <algorithm>
#include <cmath>

namespace layout {

Screen screenOf(QSize pixels, double logicalDotsPerInch)
{
    const double twipsPerPixel = 1440.0 / logicalDotsPerInch;
    return {std::min(pixels.width(), pixels.height()) * twipsPerPixel, twipsPerPixel};
}

int outerSide(const Screen &screen)
{
    return int(std::lround(screen.sideTwips / 10 * 9 / screen.twipsPerPixel));
}

int baseFontPoints(const Screen &screen)
{
    return int(std::floor(screen.sideTwips / 2 / 100 / 10)) * 3;
}

QRect place(QSize inner, const Cell &cell)
{
    const double cellWidth = inner.width() / 10.0;
    const double cellHeight = inner.height() / 10.0;
    const int left = int(std::lround(cell.left * cellWidth));
    const int top = int(std::lround(cell.top * cellHeight));
    const int right = int(std::lround((cell.left + cell.width) * cellWidth));
    const int bottom = int(std::lround((cell.top + cell.height) * cellHeight));
    return QRect(left, top, right - left, bottom - top);
}

} // namespace layout
