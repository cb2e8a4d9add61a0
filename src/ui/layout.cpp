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

QRect place(const QRect &area, const Cell &cell)
{
    const double cellWidth = area.width() / 10.0;
    const double cellHeight = area.height() / 10.0;
    const int left = int(std::lround(cell.left * cellWidth));
    const int top = int(std::lround(cell.top * cellHeight));
    const int right = int(std::lround((cell.left + cell.width) * cellWidth));
    const int bottom = int(std::lround((cell.top + cell.height) * cellHeight));
    return QRect(area.left() + left, area.top() + top, right - left, bottom - top);
}

GameArea gameArea(QSize window, QSize asked)
{
    if (window == asked || asked.isEmpty())
        return {QRect(QPoint(0, 0), window), 1.0};
    const double scale = std::min(double(window.width()) / asked.width(), double(window.height()) / asked.height());
    const QSize size(std::min(window.width(), int(std::lround(asked.width() * scale))),
                     std::min(window.height(), int(std::lround(asked.height() * scale))));
    const QPoint corner((window.width() - size.width()) / 2, (window.height() - size.height()) / 2);
    return {QRect(corner, size), scale};
}

} // namespace layout
