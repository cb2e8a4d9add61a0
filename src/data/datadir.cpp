/*
 * datadir.cpp: the program's folder, from the system's own bytes, and the
 * data folder's path.
 */
#include "data/datadir.h"

#include "common/fatalerror.h"
#include "common/systemtext.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/auxv.h>
#include <unistd.h>

namespace data {

namespace {

// The program file's absolute path, or empty with errno set.
QByteArray programPath()
{
    QByteArray path(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), size_t(path.size()));
    if (length > 0 && length < path.size())
        return path.left(length);
    if (length >= path.size())
        errno = ENAMETOOLONG;
    const int procError = errno;
    // No /proc: the name the kernel started the program by, which is the
    // program itself (a relative name is relative to the folder it was
    // started in, which the game never leaves).
    const auto *started = reinterpret_cast<const char *>(::getauxval(AT_EXECFN));
    if (started) {
        if (char *real = ::realpath(started, nullptr)) {
            QByteArray resolved(real);
            std::free(real);
            return resolved;
        }
    }
    errno = procError;
    return {};
}

} // namespace

QString programFolder()
{
    const QByteArray path = programPath();
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        const QString why = systemtext::reason(errno);
        throw FatalError(QStringLiteral("プログラムのあるフォルダが分かりません（/proc/self/exe: %1）。").arg(why),
                         QStringLiteral("Cannot find the folder the program is in (/proc/self/exe: %1).").arg(why));
    }
    return systemtext::fromBytes(slash == 0 ? QByteArray("/") : path.left(slash));
}

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
