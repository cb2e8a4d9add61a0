/*
 * datacheck.h: the whole data folder, checked before the game starts.
 *
 * The rules read each file when they need it: an ending's picture only at
 * the end of a round. A file that is missing or broken would stop the game
 * there, in place of the reward. So before the window is first shown, the
 * game looks at every file it will ever read: each exists and is a regular
 * file within the limits, each text reads and the message table loads,
 * and each picture's header tells a size within the bounds (its pixels are
 * decoded only when the rules show it, which keeps the start quick). The
 * rules still read every file when they need it, so a file broken later
 * stops the game then.
 */
#pragma once

#include "common/fatalerror.h"

#include <QList>
#include <QString>

// Every problem found in the data folder (its path ends in a slash), in the
// order the files are listed; none if the game can start. A data folder
// that is missing or not a folder is one problem.
QList<FatalError> checkDataFolder(const QString &dataDir);
