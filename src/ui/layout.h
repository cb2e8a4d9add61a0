/*
 * layout.h: the window's size and its 10 × 10 grid, from the screen.
 *
 * The window's outer frame is a square nine tenths of the screen's shorter
 * side: its height on a landscape screen, its width on a portrait one, so
 * the whole window is on every screen. Its inner area is a grid of 10 × 10 cells, and every control has its
 * place on that grid, so the game looks the same on every screen. Sizes
 * are worked out in twips (1/1440 inch) like the fonts, then turned into
 * pixels: at 96 dots per inch a pixel is 15 twips.
 */
#pragma once

#include <QRect>
#include <QSize>

namespace layout {

struct Screen
{
    double sideTwips;      // the screen's shorter side, in full
    double twipsPerPixel;  // 1440 / the screen's logical dots per inch
};

Screen screenOf(QSize pixels, double logicalDotsPerInch);

// The side of the square outer frame, in pixels.
int outerSide(const Screen &screen);

// The message area's font size in points: three points for every whole
// 2000 twips of the screen's shorter side (15 at 768 pixels, 24 at 1080).
// The button's is one and a half times that.
int baseFontPoints(const Screen &screen);

// A place on the grid, in cells.
struct Cell
{
    double left, top, width, height;
};

inline constexpr Cell kMessages{0, 7, 10, 3};   // LBl, the bottom three rows
inline constexpr Cell kButton{0.5, 6, 3, 1};    // Com
inline constexpr Cell kGauge{4, 6.5, 6, 0.5};   // PicStr
inline constexpr Cell kCreature{4, 0, 6, 6};    // Img, the upper right 6 × 6

// The pixel rectangle of a cell in a game area. Edges are rounded, not
// sizes, so neighbouring cells meet without a gap.
QRect place(const QRect &area, const Cell &cell);

// Where the grid goes in the window. The window asks for its inner area
// (a square frame less the window manager's borders); where it gets
// another size (a compositor's tile, maximised, full screen, a short
// window), the grid keeps the proportions of the area it asked for: the
// largest such area that fits, centred on the game's white, and its fonts
// grow or shrink with it (scale), so no line is cut and the creature is
// never stretched. Where it gets what it asked for, the grid fills it.
struct GameArea
{
    QRect rect;
    double scale; // the area's height against the height asked for
};

GameArea gameArea(QSize window, QSize asked);

} // namespace layout
