/*
 * datadir.h: where the game keeps its data folder.
 *
 * The data folder is "dat" beside the program. Its path always ends in a
 * slash, so a file's path is the folder's path followed by the file name.
 *
 * The program's folder is taken from the bytes the system gives for the
 * program (the link /proc/self/exe; where /proc is not mounted, the name
 * the program was started by, followed through its links), so a folder
 * whose name is not UTF-8 is found as it is, and a launcher that is a link
 * to the program leads to the program's own folder. There is no guess
 * beyond these: a program whose folder cannot be found says so.
 */
#pragma once

#include <QString>

namespace data {

// The folder the running program file lies in, without a slash at its end
// ("/" for the root), as a name that keeps its bytes (common/systemtext.h).
// Throws FatalError if the system cannot tell where the program lies.
QString programFolder();

// The data folder for a program that lives in programDir.
QString resolveDataDir(QString programDir);

// dir ensured to end in one slash: how a folder given by the user
// (the simulator's --data) is made into a data folder path.
QString withTrailingSlash(QString dir);

} // namespace data
