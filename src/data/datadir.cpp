/*
 * datadir.cpp: the path of the data folder.
 */
#include "data/datadir.h"

namespace data {

QString withTrailingSlash(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

QString resolveDataDir(QString programDir)
{
    // A program in the root folder gets "/dat/", anything else "<dir>/dat/".
    return withTrailingSlash(std::move(programDir)) + QStringLiteral("dat/");
}

} // namespace data
