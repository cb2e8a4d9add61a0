/*
 * x11frame.h: the frame an X window manager has put around a window, as
 * the X server sees it now.
 *
 * Qt learns a frame from _NET_FRAME_EXTENTS or, for a window manager that
 * sets none, from the window tree; but it reads the tree once, before the
 * window is framed, and again only after the window manager configures the
 * window, which Weston's X window manager (XWayland under Weston) does not
 * do after framing it. So the game reads the tree itself when Qt knows no
 * frame.
 */
#pragma once

#include <QMargins>

class QWidget;

// The distances from the window's inner area to the edges of the outermost
// window around it below the root: the window manager's frame, shadows
// included. Empty margins on a bare X server, or when not on X11.
QMargins x11FrameMargins(const QWidget &window);
