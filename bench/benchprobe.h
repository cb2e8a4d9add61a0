/*
 * benchprobe.h: timestamps for the benchmark (make bench), on stderr.
 *
 * Only when the environment variable POKOTAMA_BENCH_LOG is set, which
 * nothing but the benchmark does, main() attaches this probe to the window.
 * It watches the window from outside (its growth clock, its button and its
 * creature display) and writes one line per moment the benchmark times:
 *
 *   pokotama-bench frame <ns>                      first creature frame painted
 *   pokotama-bench start <ns> <interval>            the growth clock started
 *   pokotama-bench tick <ns> <interval> <count> <level> <running>
 *
 * <ns> is the monotonic clock (CLOCK_MONOTONIC on Linux) in nanoseconds.
 * A frame's time is the end of the first paint that shows a picture; a
 * tick's is when its timer event reached the game, before the game's own
 * work. A tick line also gives the interval the clock fired at, and after
 * the tick the count, the water level and whether the round still runs.
 * Without the variable nothing of this runs.
 */
#pragma once

class GameWindow;

// Attaches the probe to the window, before the window is first shown.
void attachBenchProbe(GameWindow &window);
