/*
 * display.h: the screen the game opens, settled before Qt opens one.
 *
 * On a Wayland desktop that also runs XWayland the game takes X11: there
 * its fixed, centred window is the window manager's to frame and place,
 * as everywhere else. On Wayland alone it runs on Wayland, where the
 * window takes the size the compositor gives it. A player's or desktop's
 * own QT_QPA_PLATFORM (or -platform) always stands.
 *
 * With no screen to open at all, the game says so in one line and ends
 * with status 1, rather than in Qt's abort.
 */
#pragma once

namespace display {

// Picks X11 through XWayland where both are there. Call before the
// QApplication is built.
void chooseWindowSystem();

// From here until opened(), Qt's messages are held back; if Qt cannot open
// a screen, only the game's own line is printed, and the program exits 1.
void guardOpening();
// The QApplication is built: the messages held back are printed now.
void opened();

} // namespace display
