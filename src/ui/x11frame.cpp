/*
 * x11frame.cpp: reading a window's frame from the X window tree.
 */
#include "ui/x11frame.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;
template <typename Reply> Owned<Reply> own(Reply *reply) { return Owned<Reply>(reply, &std::free); }

} // namespace

QMargins x11FrameMargins(const QWidget &window)
{
    const auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window.windowHandle())
        return {};
    xcb_connection_t *connection = x11->connection();
    const auto client = xcb_window_t(window.winId());

    // Up the tree to the last window below the root: the frame.
    xcb_window_t frame = client;
    for (;;) {
        auto tree = own(xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr));
        if (!tree)
            return {};
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE)
            break;
        frame = tree->parent;
    }
    if (frame == client)
        return {};

    auto offset = own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, client, frame, 0, 0), nullptr));
    auto outer = own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, frame), nullptr));
    auto inner = own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, client), nullptr));
    if (!offset || !outer || !inner)
        return {};
    const int left = offset->dst_x;
    const int top = offset->dst_y;
    return QMargins(left, top, outer->width - inner->width - left, outer->height - inner->height - top);
}
