/*
 * display.cpp: choosing and opening the screen.
 */
#include "ui/display.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace display {

namespace {

struct HeldMessage
{
    QtMsgType type;
    const char *category; // Qt's category names are static strings
    QString text;
};

QtMessageHandler g_previous = nullptr;
std::vector<HeldMessage> g_held;
int g_stderr = -1;  // the real standard error while it is caught
int g_caught = -1;  // what was written to it meanwhile

// The X library writes an X server's refusal (a missing cookie, say)
// straight to standard error, past Qt's messages. Catch it too, so that a
// refused display is told in the game's one line.
void catchStderr()
{
    // A closed standard error has nothing to catch, and its number must
    // not go to the file that would catch it.
    if (::fcntl(STDERR_FILENO, F_GETFD) < 0)
        return;
    g_caught = ::memfd_create("pokotama-stderr", MFD_CLOEXEC);
    g_stderr = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (g_caught < 0 || g_stderr < 0 || ::dup2(g_caught, STDERR_FILENO) < 0) {
        if (g_caught >= 0)
            ::close(g_caught);
        if (g_stderr >= 0)
            ::close(g_stderr);
        g_caught = g_stderr = -1;
    }
}

// Gives standard error back; returns what was written to it meanwhile.
QByteArray releaseStderr()
{
    if (g_caught < 0)
        return {};
    std::fflush(stderr);
    ::dup2(g_stderr, STDERR_FILENO);
    ::close(g_stderr);
    QFile caught;
    const bool opened = caught.open(g_caught, QIODevice::ReadOnly, QFile::AutoCloseHandle);
    g_caught = g_stderr = -1;
    return opened && caught.seek(0) ? caught.readAll() : QByteArray();
}

void holdWhileOpening(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // The only fatal message while the application is built is Qt's "no
    // platform plugin could be initialized", after which it aborts.
    if (type == QtFatalMsg) {
        const QByteArray refusal = releaseStderr().trimmed().split('\n').value(0);
        const QByteArray name = qgetenv("DISPLAY");
        if (!refusal.isEmpty() && !name.isEmpty()) {
            // The server is there and said no: DISPLAY is right.
            std::fprintf(stderr,
                         "pokotama: 画面 %s に接続を断られました（%s） / the display %s refused the connection"
                         " (%s): check XAUTHORITY\n",
                         name.constData(), refusal.constData(), name.constData(), refusal.constData());
        } else {
            std::fputs("pokotama: 画面を開けません。DISPLAY か WAYLAND_DISPLAY を確かめてください"
                       " / cannot open a display: check DISPLAY or WAYLAND_DISPLAY\n",
                       stderr);
        }
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_held.push_back({type, context.category, text});
}

} // namespace

void chooseWindowSystem()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    // Qt goes by XDG_SESSION_TYPE, which a compositor started by hand
    // (sway from a console) leaves unset; the Wayland socket says it.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
}

void guardOpening()
{
    g_previous = qInstallMessageHandler(holdWhileOpening);
    catchStderr();
}

void opened()
{
    const QByteArray written = releaseStderr();
    if (!written.isEmpty())
        (void)!::write(STDERR_FILENO, written.constData(), size_t(written.size()));
    qInstallMessageHandler(g_previous);
    for (const HeldMessage &message : g_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category);
        g_previous(message.type, context, message.text);
    }
    g_held.clear();
}

} // namespace display
