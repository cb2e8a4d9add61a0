/*
 * accessibility.h: the window as a screen reader meets it.
 *
 * Through the desktop's accessibility layer (AT-SPI on Linux, which Orca
 * reads) the window is a frame named ぽこたま holding, in the order of the
 * screen: the creature's picture, an image named for what it shows (むにまる
 * at its stage, or the ending); the gauge, a progress bar named 水の量 from
 * 0 to 800 whose value is the water level and whose description says what
 * its colour means; the button, named by its caption, which takes no press
 * while it rests after an ending; and the message area, a label whose name
 * is the message and whose press opens the about box. The controls the
 * player never sees (the picture holder, the tick count) are left out.
 * Every change a player would see is told as an event: a new level as a
 * value change, a new colour, picture, caption or message as a change of
 * description or name.
 */
#pragma once

#include <QString>

// Makes the game's widgets known to the accessibility layer as above.
// Idempotent; the window calls it when it is made.
void installAccessibility();

// The name of the creature's picture for a picture name of the game
// ("0" to "4", or an ending's word).
QString creatureDescription(const QString &picture);
