/*
 * display.cpp: choosing and opening the screen.
 */
#include "ui/display.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
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

void holdWhileOpening(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // The only fatal message while the application is built is Qt's "no
    // platform plugin could be initialized", after which it aborts.
    if (type == QtFatalMsg) {
        std::fputs("pokotama: 画面を開けません。DISPLAY か WAYLAND_DISPLAY を確かめてください"
                   " / cannot open a display: check DISPLAY or WAYLAND_DISPLAY\n",
                   stderr);
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
    // Qt would take Wayland first; X11 comes first, Wayland if it fails.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void guardOpening()
{
    g_previous = qInstallMessageHandler(holdWhileOpening);
}

void opened()
{
    qInstallMessageHandler(g_previous);
    for (const HeldMessage &message : g_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category);
        g_previous(message.type, context, message.text);
    }
    g_held.clear();
}

} // namespace display
