/*
 * startbench.cpp: pokotama-startbench, what the game's checks of its
 * machine add to its start.
 *
 *   pokotama-startbench [--repeat N]
 *
 * Times, in this process, the steps the game takes before its window that
 * look at the machine rather than the data: finding the program's folder
 * from the system's bytes, and laying out the game's own texts to see that
 * a font draws them. The font check's first run pays for loading the
 * game's face, which the window would pay next if the check did not; so
 * the face is loaded first, as the window loads it, and timed apart. It
 * prints figures and never fails for being slow.
 */
#include "data/programfolder.h"
#include "ui/fontcheck.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

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
    int repeat = 200;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--repeat") == 0)
            repeat = std::max(1, std::atoi(argv[i + 1]));
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
