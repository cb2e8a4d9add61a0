/*
 * int16.h: 16-bit arithmetic that stops the game instead of wrapping.
 *
 * The stage, the growth step and the stage threshold are 16-bit numbers.
 * In play they stay far below the limit; if they ever left it, the game
 * stops with a clear error rather than going on with a wrapped value.
 */
#pragma once

#include "common/fatalerror.h"

#include <QtGlobal>

#include <limits>

namespace int16 {

// what names the computation for the error message, in Japanese and English.
inline qint16 checked(int value, const char *what)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw FatalError(QStringLiteral("16 ビット整数があふれました（%1 = %2）。").arg(QString::fromUtf8(what)).arg(value),
                         QStringLiteral("16-bit integer overflow (%1 = %2).").arg(QString::fromUtf8(what)).arg(value));
    return qint16(value);
}

// Both operands are widened to int first, so neither sum nor product of two
// 16-bit numbers can overflow before it is checked.
inline qint16 add(qint16 a, qint16 b, const char *what) { return checked(int(a) + int(b), what); }
inline qint16 mul(qint16 a, qint16 b, const char *what) { return checked(int(a) * int(b), what); }

} // namespace int16
