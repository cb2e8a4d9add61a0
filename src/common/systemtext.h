/*
 * systemtext.h: what the system hands the game as bytes: file names and
 * the reasons it gives for refusing them.
 *
 * A Linux file name is any bytes but the slash and NUL; it need not be
 * UTF-8, whatever the locale says. The game keeps such a name in a QString
 * losslessly: UTF-8 sequences as their characters, and every other byte B
 * as the lone code unit U+DC00 + B (B is 80 to FF), which no valid UTF-8
 * ever decodes to. Turned back into bytes, the name is the same bytes, so
 * the game opens exactly the file the system named, wherever it lies.
 * Those kept bytes are never shown as they are: a message shows them in
 * the locale's own encoding where they are text in it, else as \xFF.
 */
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace systemtext {

// File system bytes to a name, and back: toBytes(fromBytes(b)) == b.
QString fromBytes(QByteArrayView bytes);
QByteArray toBytes(QStringView name);

// The name (or a message holding one) as a player may read it.
QString shown(QStringView text);

// The system's reason for the error number, in English whatever the
// locale: the locale's own words may come in an encoding Qt cannot read.
QString reason(int error);

} // namespace systemtext
