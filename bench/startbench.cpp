/*
 * startbench.cpp: pokotama-startbench [--repeat N], what the game's look at
 * its machine adds to its start: finding the program's folder from the
 * system's bytes, and checking that a font draws the game's texts. The
 * check's first run would pay for loading the game's face, which the window
 * pays anyway; so the face is loaded first, as the window loads it, and
 * timed apart. It prints figures and never fails for being slow.
 */
#include "data/datadir.h"
#include "ui/fontcheck.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The mean time of a step in microseconds, over repeat runs.
template <typename Step> double microseconds(int repeat, Step step)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repeat; ++i)
        step();
    return double(timer.nsecsElapsed()) / 1000.0 / repeat;
}

} // namespace

int main(int argc, char *argv[])
{
    const int repeat = argc == 3 && std::strcmp(argv[1], "--repeat") == 0 ? std::max(1, std::atoi(argv[2])) : 200;
    QApplication app(argc, argv);

    const double folder = microseconds(repeat, [] { (void)data::programFolder(); });
    // The face at the message area's size, measured as the window's label
    // measures it on its first paint.
    const double face = microseconds(1, [] { (void)QFontMetrics(gameFont(15, true)).horizontalAdvance(gameTexts()); });
    bool drawable = true;
    const double firstCheck = microseconds(1, [&] { drawable = undrawableCharacters(gameTexts(), gameFont(12, false)).isEmpty(); });
    const double check = microseconds(repeat, [] { (void)undrawableCharacters(gameTexts(), gameFont(12, false)); });

    std::printf("program folder from /proc/self/exe  %9.1f us\n", folder);
    std::printf("game's face loaded (window's cost)  %9.1f us\n", face);
    std::printf("font check, first run               %9.1f us\n", firstCheck);
    std::printf("font check, later runs              %9.1f us\n", check);
    std::printf("the game's face here: %s; its texts drawable: %s\n",
                qPrintable(QFontInfo(gameFont(15, false)).family()), drawable ? "yes" : "no");
    return 0;
}
