/*
 * desktop_shot.cpp: screenshots of the game on a desktop, taken and read
 * for desktop_test.sh.
 *
 *   desktop_shot grab-x11 OUT.png    the X screen of $DISPLAY
 *   desktop_shot upscale IN.png OUT.png smooth|doubled
 *                                    twice the size, as a compositor shows
 *                                    a window that does not draw at its scale
 *   desktop_shot read SHOT.png [REFERENCE.png [SCALE]]
 *
 * read finds the game in a screenshot of the whole screen, by what it
 * shows before a round starts: the red bar of the gauge, the creature
 * above it and the four lines of the opening below it, on the window's
 * white. It prints its figures and, given the same game on a square window
 * (REFERENCE.png), one verdict a check:
 *   undistorted  the bar and the creature keep the reference's proportions;
 *   lines        four lines of ink of one height, none cut by the window;
 *   onscreen     the window's white clear of the screen's edges (its
 *                frame, a tile's border or a title bar, around it);
 *   centred      the grid, as the bar places it, in the middle of the white;
 *   crisp        text drawn in the screen's own pixels: no pixel pairs
 *                repeated in one phase only (a doubled window) and steps
 *                of ink as sharp as a font's (not a smoothed upscale);
 *   counters     the first kanji of the fourth word of the first line (育)
 *                keeps white inside its strokes.
 * Exit status: 0 all checks pass, 1 one fails, 2 the game is not found.
 */
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

int grabX11(int argc, char **argv, const char *out)
{
    QGuiApplication app(argc, argv);
    return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(out)) ? 0 : 1;
}

struct Shot
{
    QImage image;
    int grey(int x, int y) const { return qGray(image.pixel(x, y)); }
    bool white(int x, int y) const { return (image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }
    bool pale(int x, int y) const
    {
        const QRgb p = image.pixel(x, y);
        return std::min({qRed(p), qGreen(p), qBlue(p)}) >= 235;
    }
    bool ink(int x, int y) const { return grey(x, y) < 128; }
};

QRect boundsOf(QRect area, auto &&wanted)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (wanted(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The pixels of an area reached from the seeds through pixels that pass.
std::vector<bool> flood(QRect area, std::vector<QPoint> seeds, auto &&passes)
{
    std::vector<bool> seen(size_t(area.width()) * area.height());
    const auto at = [&](QPoint p) { return size_t(p.y() - area.top()) * area.width() + (p.x() - area.left()); };
    while (!seeds.empty()) {
        const QPoint p = seeds.back();
        seeds.pop_back();
        if (!area.contains(p) || seen[at(p)] || !passes(p.x(), p.y()))
            continue;
        seen[at(p)] = true;
        seeds.insert(seeds.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    return seen;
}

struct Band
{
    int top, bottom, left, right;
    int height() const { return bottom - top + 1; }
};

struct Reading
{
    QSize screen;      // the screenshot's
    QRect white;       // the window's white around the game
    QRect bar;         // the gauge's red bar with its outline
    QRectF grid;       // the 10 × 10 grid as the bar places it, cells square
    QRect creature;    // its ink, above the bar on the right
    std::vector<Band> lines;
    double same[2]{};  // share of unchanged neighbours in text, by pixel phase
    double sharp = 0;  // share of ink edges steeper than a smoothed upscale
    int words = 0;
    double counters = 0;
    // Width against height, twice: the bar's, and the creature's height
    // against the bar's width (its own width changes as it wiggles).
    double barAspect() const { return double(bar.width()) / bar.height(); }
    double creatureHeight() const { return double(creature.height()) / bar.width(); }
};

bool read(const Shot &shot, Reading &r)
{
    const QRect all = shot.image.rect();
    r.screen = all.size();
    const QRect red = boundsOf(all, [&](int x, int y) {
        const QRgb p = shot.image.pixel(x, y);
        return qRed(p) >= 240 && qGreen(p) <= 16 && qBlue(p) <= 16;
    });
    if (red.width() < 8 || red.height() < 4)
        return false;
    // The outline: from the red out to the gauge's white, through the middle.
    const QPoint mid = red.center();
    int left = red.left(), right = red.right(), top = red.top(), bottom = red.bottom();
    while (left > 0 && !shot.pale(left - 1, mid.y()))
        --left;
    while (right < all.right() && !shot.pale(right + 1, mid.y()))
        ++right;
    while (top > 0 && !shot.pale(mid.x(), top - 1))
        --top;
    while (bottom < all.bottom() && !shot.pale(mid.x(), bottom + 1))
        ++bottom;
    r.bar = QRect(QPoint(left, top), QPoint(right, bottom));

    // The window's white, from the message area's empty first line.
    int seedY = bottom + 1;
    while (seedY < all.bottom() && !shot.white(mid.x(), seedY))
        ++seedY;
    const std::vector<bool> inWhite = flood(all, {{mid.x(), seedY}}, [&](int x, int y) { return shot.white(x, y); });
    for (int y = 0; y <= all.bottom(); ++y)
        for (int x = 0; x <= all.right(); ++x)
            if (inWhite[size_t(y) * all.width() + x])
                r.white |= QRect(x, y, 1, 1);

    // The bar spans columns 4 to 6.25 of the grid and ends at row 7.
    const double cell = r.bar.width() / 2.25;
    r.grid = QRectF(r.bar.left() - 4 * cell, r.bar.bottom() + 1 - 7 * cell, 10 * cell, 10 * cell);
    r.creature = boundsOf(QRect(QPoint(r.bar.left(), r.white.top()), QPoint(r.white.right(), r.bar.top() - 1)),
                          [&](int x, int y) { return !shot.pale(x, y); });

    // Lines of ink below the bar, across the white.
    const QRect messages(QPoint(r.white.left(), r.bar.bottom() + 1), r.white.bottomRight());
    for (int y = messages.top(); y <= messages.bottom(); ++y) {
        const QRect row = boundsOf(QRect(messages.left(), y, messages.width(), 1),
                                   [&](int x, int yy) { return shot.ink(x, yy); });
        if (row.isEmpty())
            continue;
        if (!r.lines.empty() && r.lines.back().bottom == y - 1) {
            Band &band = r.lines.back();
            band = {band.top, y, std::min(band.left, row.left()), std::max(band.right, row.right())};
        } else {
            r.lines.push_back({y, y, row.left(), row.right()});
        }
    }
    if (r.lines.empty())
        return true;

    // Neighbours in the text: how many are unchanged, in each phase of the
    // screen's pixel pairs, and how steep its edges are against its ink.
    int darkest = 255;
    for (const Band &band : r.lines)
        for (int y = band.top; y <= band.bottom; ++y)
            for (int x = band.left; x <= band.right; ++x)
                darkest = std::min(darkest, shot.grey(x, y));
    const int contrast = 255 - darkest;
    long pairs[2]{}, same[2]{}, edges = 0, steep = 0;
    for (const Band &band : r.lines)
        for (int y = band.top; y < band.bottom; ++y)
            for (int x = band.left; x < band.right; ++x) {
                const int g = shot.grey(x, y);
                for (const auto &[n, phase] : {std::pair{shot.grey(x + 1, y), x % 2}, {shot.grey(x, y + 1), y % 2}}) {
                    if (g >= 250 && n >= 250)
                        continue;
                    const int step = std::abs(g - n);
                    ++pairs[phase];
                    same[phase] += step <= 2;
                    edges += step > contrast / 10;
                    steep += step > contrast * 0.6;
                }
            }
    for (int phase : {0, 1})
        r.same[phase] = pairs[phase] ? double(same[phase]) / pairs[phase] : 0;
    r.sharp = edges ? double(steep) / edges : 0;

    // 育: the words of the first line are set apart by full-width spaces,
    // gaps of about a line's height; the fourth word starts with it.
    const Band &first = r.lines.front();
    const int em = first.height();
    std::vector<int> starts;
    int lastInk = -em;
    for (int x = first.left; x <= first.right; ++x) {
        bool inked = false;
        for (int y = first.top; y <= first.bottom && !inked; ++y)
            inked = shot.ink(x, y);
        if (!inked)
            continue;
        if (x - lastInk > em * 0.6)
            starts.push_back(x);
        lastInk = x;
    }
    if (starts.size() == 4) {
        const QRect glyph = QRect(starts[3] - 1, first.top - 1, em + 2, em + 2) & all;
        std::vector<QPoint> border;
        for (int x = glyph.left(); x <= glyph.right(); ++x)
            border.insert(border.end(), {{x, glyph.top()}, {x, glyph.bottom()}});
        for (int y = glyph.top(); y <= glyph.bottom(); ++y)
            border.insert(border.end(), {{glyph.left(), y}, {glyph.right(), y}});
        const std::vector<bool> outside = flood(glyph, border, [&](int x, int y) { return !shot.ink(x, y); });
        long enclosed = 0;
        for (int y = glyph.top(); y <= glyph.bottom(); ++y)
            for (int x = glyph.left(); x <= glyph.right(); ++x)
                enclosed += !shot.ink(x, y) && !outside[size_t(y - glyph.top()) * glyph.width() + (x - glyph.left())];
        r.counters = double(enclosed) / (glyph.width() * glyph.height());
    }
    r.words = int(starts.size());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 2 ? argv[1] : "";
    if (mode == "grab-x11")
        return grabX11(argc, argv, argv[2]);
    if (mode == "upscale" && argc > 4) {
        const QImage in(QString::fromLocal8Bit(argv[2]));
        const auto how = QByteArray(argv[4]) == "smooth" ? Qt::SmoothTransformation : Qt::FastTransformation;
        return in.scaled(in.size() * 2, Qt::IgnoreAspectRatio, how).save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }
    if (mode != "read") {
        std::fprintf(stderr, "usage: desktop_shot grab-x11 OUT.png | upscale IN.png OUT.png smooth|doubled\n"
                             "                    | read SHOT.png [REFERENCE.png [SCALE]]\n");
        return 2;
    }
    Reading r, ref;
    for (int i = 2; i < std::min(argc, 4); ++i) {
        const Shot shot{QImage(QString::fromLocal8Bit(argv[i])).convertToFormat(QImage::Format_RGB32)};
        if (shot.image.isNull() || !read(shot, i == 2 ? r : ref)) {
            std::printf("no game in %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("screen %dx%d, window's white %dx%d+%d+%d, bar %dx%d (%.3f), creature %.3f bar widths high;\n"
                " lines",
                r.screen.width(), r.screen.height(), r.white.width(), r.white.height(), r.white.x(), r.white.y(), r.bar.width(), r.bar.height(),
                r.barAspect(), r.creatureHeight());
    int tallest = 0;
    for (const Band &b : r.lines) {
        std::printf(" %d", b.height());
        tallest = std::max(tallest, b.height());
    }
    std::printf(" px high; text's pixel pairs unchanged %.3f|%.3f, steep edges %.3f; %d words, 育 %.4f enclosed\n",
                r.same[0], r.same[1], r.sharp, r.words, r.counters);
    if (argc < 4)
        return 0;

    bool lines = r.lines.size() == 4;
    for (const Band &b : r.lines)
        lines = lines && b.height() >= tallest * 0.8 && b.left > r.white.left() && b.right < r.white.right()
                && b.bottom < r.white.bottom();
    // The bar is half a cell high, a few dozen pixels, each of its edges
    // rounded to the window's pixel: its height may miss the reference's
    // proportion by a pixel and a half of the window's. The creature is
    // large enough to keep it to a few thousandths.
    const double scale = argc > 4 ? std::atof(argv[4]) : 1;
    const bool undistorted = std::abs(r.bar.height() - r.bar.width() / ref.barAspect()) <= 1.5 * scale + 1
                             && std::abs(r.creatureHeight() / ref.creatureHeight() - 1) <= 0.025;
    // The grid's margins in the white, each way, with a cell's rounding.
    const double slack = 3 + r.grid.width() / 100;
    const double left = r.grid.left() - r.white.left(), right = r.white.right() + 1 - r.grid.right();
    const double top = r.grid.top() - r.white.top(), bottom = r.white.bottom() + 1 - r.grid.bottom();
    // A window doubled by the compositor repeats every pixel in one phase
    // and few in the other; a font drawn in the screen's pixels steps from
    // ink to paper within a pixel, where a smoothed upscale halves the step.
    // A bold that fills the counters leaves a few thousandths of 育's cell
    // enclosed, where an open one leaves a few hundredths.
    const std::pair<const char *, bool> checks[] = {
        {"crisp", std::abs(r.same[0] - r.same[1]) <= 0.15 && r.sharp >= 0.1},
        {"undistorted", undistorted},
        {"lines", lines},
        // The window's frame around the white, all on the screen.
        {"onscreen", QRect(QPoint(1, 1), r.screen - QSize(2, 2)).contains(r.white)},
        {"centred", std::abs(left - right) <= slack && std::abs(top - bottom) <= slack
                        && std::min({left, right, top, bottom}) >= -slack},
        {"counters", r.words == 4 && r.counters >= 0.012},
    };
    bool all = true;
    std::printf("verdict");
    for (const auto &[name, passed] : checks) {
        std::printf(" %s:%s", name, passed ? "yes" : "no");
        all = all && passed;
    }
    std::printf("\n");
    return all ? 0 : 1;
}
