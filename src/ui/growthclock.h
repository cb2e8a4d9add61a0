/*
 * growthclock.h: when the growth clock's next tick is due.
 *
 * A stage-up sets the shorter period early in its tick, before it loads
 * the next stage's picture, which takes milliseconds. The new period
 * counts from the tick that set it: the timer's first period is the new
 * interval less the time the tick has taken so far, and from the next
 * tick on the clock runs at the interval itself. So the first tick of a
 * stage is as punctual as the rest.
 */
#pragma once

#include <cstdint>

namespace growthclock {

// The timer's first period, in ms, for a new interval set spentNs into a
// tick: interval − spent, the spent time rounded to the nearest ms (half
// up), never below 0.
int firstPeriodMs(int intervalMs, std::int64_t spentNs);

} // namespace growthclock
