/*
 * display.h: the screen the game opens, settled before Qt opens one.
 *
 * On a Wayland desktop the game runs on Wayland itself, where it draws at
 * the output's scale: through XWayland a screen at 200 % shows it blurred
 * (KWin), with its pixels doubled (sway) or at half the size of the rest
 * (GNOME). X11 is the fallback where Qt's Wayland plugin is missing or
 * fails. A player's or desktop's own QT_QPA_PLATFORM (or -platform)
 * always stands.
 *
 * With no screen to open at all, the game says so in one line and ends
 * with status 1, rather than in Qt's abort.
 */
#pragma once

namespace display {

// Picks Wayland on a Wayland desktop, X11 after it. Call before the
// QApplication is built.
void chooseWindowSystem();

// From here until opened(), Qt's messages and whatever else is written to
// standard error are held back; if Qt cannot open a screen, only the
// game's own line is printed (naming the X server's refusal where one
// refused), and the program exits 1.
void guardOpening();
// The QApplication is built: the messages held back are printed now.
void opened();

} // namespace display
