/*
 * programfolder.h: the folder the running program file lies in.
 *
 * Taken from the bytes the system gives for the program (the link
 * /proc/self/exe; where /proc is not mounted, the name the program was
 * started by, followed through its links), so a folder whose name is not
 * UTF-8 is found as it is, and a launcher that is a link to the program
 * leads to the program's own folder. There is no guess beyond these: a
 * program whose folder cannot be found says so.
 */
#pragma once

#include <QString>

namespace data {

// The folder, without a slash at its end ("/" for the root), as a name
// that keeps its bytes (common/systemtext.h). Throws FatalError if the
// system cannot tell where the program lies.
QString programFolder();

} // namespace data
