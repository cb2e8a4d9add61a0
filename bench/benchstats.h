/*
 * benchstats.h: what the benchmark makes of the lines the game and the
 * floor write on stderr, and of its own samples.
 *
 * The lines (see src/ui/benchlog.h):
 *   pokotama-bench frame <ns>
 *   pokotama-bench start <ns> <interval>
 *   pokotama-bench tick <ns> <interval> <count> <level> <running>
 * Anything else on stderr (Qt's own messages) is not a benchmark line.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Line
{
    enum Kind { Frame, Start, Tick } kind;
    std::int64_t ns = 0;
    int interval = 0;   // start, tick: the growth clock's interval in ms
    int count = 0;      // tick: the tick count after the tick
    double level = 0;   // tick: the water level after the tick
    bool running = false; // tick: whether the round still runs after it
};

// A benchmark line, or nothing for any other line or a malformed one.
std::optional<Line> parseLine(const std::string &text);

// The first round's growth clock: the interval in ms that tick n (1 to 150)
// of a round started fresh comes at: 400 for ticks 1 to 10, then 370, 340,
// 310 and 280 after the stage-ups at ticks 10, 30, 60 and 100.
int firstRoundInterval(int tick);
inline constexpr int kFirstRoundTicks = 150;
// The whole first round, from the start click to tick 150: 48 000 ms.
double firstRoundScheduleMs();

// A period this much longer than its interval is named in lateTicks.
inline constexpr double kNotedLateMs = 2;

// The growth clock of one first round, against its schedule.
struct TickStats
{
    int ticks = 0;                 // ticks seen
    double meanAbsDeviationMs = 0; // mean of |period − interval|
    double meanAbsDeviationPct = 0; // mean of |period − interval| / interval, in %
    double meanDeviationMs = 0;    // mean of period − interval (late is positive)
    double maxLateMs = 0;          // largest period − interval (0 if none late)
    int maxLateTick = 0;           // the tick that ends that period (0 if none late)
    std::vector<std::pair<int, double>> lateTicks; // ticks more than kNotedLateMs late, with how late
    double maxEarlyMs = 0;         // largest interval − period (0 if none early)
    int intervalMismatches = 0;    // ticks whose clock ran at another interval than the schedule's
    bool complete = false;         // the round reached tick 150 and ended there
    double totalMs = 0;            // start click to tick 150, if complete
    double totalDeviationPct = 0;  // (total − schedule) / schedule, in %, if complete
};

// Periods run from the clock's start to tick 1, then tick to tick; each is
// held against the interval the schedule gives that tick. Only the ticks
// of the first round after the start line count.
TickStats tickStats(const Line &start, const std::vector<Line> &ticks);

// The benchmark's player: how many times to water after a tick left the
// gauge at level. It keeps the creature alive to the end of the round
// without ever risking rot: each watering adds 10 to 109, and a level of
// 700 or more may rot it, so the clicks never take the level there even
// if every one gives 109.
int wateringClicks(double level);

// The median of the values (the mean of the middle two for an even count);
// 0 for none.
double median(std::vector<double> values);

// CPU time in ns from /proc/<pid>/task/*/schedstat, summed over threads.
// Parses one schedstat file's text: its first field.
std::optional<std::int64_t> schedstatRuntime(const std::string &text);

// The peak resident set in kB, the VmHWM line of /proc/<pid>/status.
std::optional<long> peakResidentKb(const std::string &statusText);

} // namespace bench
