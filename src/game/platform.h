/*
 * platform.h: what the game logic asks of the world around it.
 *
 * The logic never touches files, pictures, dialogs or random sources by
 * itself. The game window, the simulator and the tests each hand it a
 * Platform: the window and the driver one that reads the real data folder,
 * the tests a double with files in memory and scripted random draws.
 */
#pragma once

#include <QString>
#include <QStringList>

class Platform
{
public:
    virtual ~Platform() = default;

    // The data folder's path, ending in a slash.
    virtual QString dataDir() = 0;

    // The lines of the Shift-JIS text file at path. Throws FatalError.
    virtual QStringList readLines(const QString &path) = 0;

    // Loads the picture at path as the one the creature display shows from
    // now on. Throws FatalError.
    virtual void loadPicture(const QString &path) = 0;

    // Shows the about box and returns once the player has closed it.
    virtual void showAbout() = 0;

    // The next random number, in [0, 1).
    virtual float rnd() = 0;
};
