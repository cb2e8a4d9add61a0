/*
 * commandline.h: what the player asks for when starting the game.
 *
 *   pokotama [--data DIR]     play, with the content folder DIR in place of
 *                             the game's own "dat" beside the program
 *   pokotama --check [DIR]    check a content folder (the game's own if
 *                             none is named), with no window
 *   pokotama --help | --help-all | --version
 *
 * Read before any screen is opened, so that a question, a check or a
 * mistyped option needs none. Qt's own options (-platform, -style, ...)
 * are known here too and pass: Qt takes them from the arguments itself
 * when the game opens its window.
 */
#pragma once

#include <QString>

struct CommandLine
{
    enum class Action { Play, Check, Done };
    Action action = Action::Play;
    QString dataDir; // the content folder named, empty for the game's own
    int status = 0;  // with Done, the exit status
};

// Names the application and its version, then reads the arguments. --help, --help-all and --version are answered here
// on standard output, a mistake in one line on standard error naming
// --help; both come back as Done, with status 0, or 2 for a mistake.
CommandLine readCommandLine(int argc, char **argv);

// pokotama --check: builds the application on Qt's offscreen platform,
// whatever screen there is or is not, checks the content folder dataDir
// (empty for the game's own) and writes what it found to standard output.
// Returns the exit status: 0 for a good folder, 1 for one with problems.
int runCheck(char *program, const QString &dataDir);
