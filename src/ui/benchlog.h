/*
 * benchlog.h: timestamps for the benchmark (make bench), on stderr.
 *
 * Only when the environment variable POKOTAMA_BENCH_LOG is set, which
 * nothing but the benchmark does, the game writes one line per moment the
 * benchmark times:
 *
 *   pokotama-bench frame <ns>                      first creature frame painted
 *   pokotama-bench start <ns> <interval>            the growth clock started
 *   pokotama-bench tick <ns> <interval> <count> <level> <running>
 *
 * <ns> is the monotonic clock (CLOCK_MONOTONIC on Linux) in nanoseconds,
 * read as the moment begins: a tick's time is when its timer event reached
 * the game, before the game's own work. A tick line also gives the
 * interval the clock fired at, and after the tick the count, the water
 * level and whether the round still runs. Unset, each call site costs one
 * test of a flag read once at start-up.
 */
#pragma once

#include <cstdint>

namespace benchlog {

// Whether the benchmark asked for the lines; read once, on the first call.
bool enabled();

// The monotonic clock in nanoseconds.
std::int64_t now();

void frame(std::int64_t ns);
void start(std::int64_t ns, int interval);
void tick(std::int64_t ns, int interval, int count, double level, bool running);

} // namespace benchlog
