/*
 * datadir.h: where the game keeps its data folder.
 *
 * The data folder is "dat" beside the program. Its path always ends in a
 * slash, so a file's path is the folder's path followed by the file name.
 */
#pragma once

#include <QString>

namespace data {

// The data folder for a program that lives in programDir.
QString resolveDataDir(QString programDir);

// dir ensured to end in one slash: how a folder given by the user
// (the simulator's --data) is made into a data folder path.
QString withTrailingSlash(QString dir);

} // namespace data
