/*
 * benchstats.cpp: reading the benchmark's lines and summing them up.
 */
#include "benchstats.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace bench {

namespace {

const std::string kPrefix = "pokotama-bench ";

} // namespace

std::optional<Line> parseLine(const std::string &text)
{
    if (text.compare(0, kPrefix.size(), kPrefix) != 0)
        return std::nullopt;
    std::istringstream in(text.substr(kPrefix.size()));
    std::string kind;
    Line line{};
    in >> kind >> line.ns;
    if (kind == "frame") {
        line.kind = Line::Frame;
    } else if (kind == "start") {
        line.kind = Line::Start;
        in >> line.interval;
    } else if (kind == "tick") {
        line.kind = Line::Tick;
        int running = -1;
        in >> line.interval >> line.count >> line.level >> running;
        if (running != 0 && running != 1)
            return std::nullopt;
        line.running = running == 1;
    } else {
        return std::nullopt;
    }
    if (in.fail())
        return std::nullopt;
    std::string rest;
    if (in >> rest)
        return std::nullopt;
    return line;
}

int firstRoundInterval(int tick)
{
    // Stage-ups at ticks 10, 30, 60 and 100 each take 30 ms off the next ticks.
    static constexpr int kStageUps[] = {10, 30, 60, 100};
    int interval = 400;
    for (const int at : kStageUps)
        if (tick > at)
            interval -= 30;
    return interval;
}

double firstRoundScheduleMs()
{
    double total = 0;
    for (int tick = 1; tick <= kFirstRoundTicks; ++tick)
        total += firstRoundInterval(tick);
    return total;
}

TickStats tickStats(const Line &start, const std::vector<Line> &ticks)
{
    TickStats stats;
    std::int64_t previous = start.ns;
    double sumAbs = 0, sumAbsPct = 0, sum = 0;
    for (const Line &tick : ticks) {
        if (tick.kind != Line::Tick || tick.ns <= start.ns)
            continue;
        // Only the round that this start began: its ticks count 1, 2, 3...
        if (tick.count != stats.ticks + 1 || tick.count > kFirstRoundTicks)
            break;
        const int interval = firstRoundInterval(tick.count);
        if (tick.interval != interval)
            ++stats.intervalMismatches;
        const double deviation = double(tick.ns - previous) / 1e6 - interval;
        sum += deviation;
        sumAbs += std::abs(deviation);
        sumAbsPct += std::abs(deviation) / interval * 100;
        if (deviation > kNotedLateMs)
            stats.lateTicks.emplace_back(tick.count, deviation);
        if (deviation > stats.maxLateMs) {
            stats.maxLateMs = deviation;
            stats.maxLateTick = tick.count;
        }
        stats.maxEarlyMs = std::max(stats.maxEarlyMs, -deviation);
        previous = tick.ns;
        ++stats.ticks;
        if (tick.count == kFirstRoundTicks && !tick.running) {
            stats.complete = true;
            stats.totalMs = double(tick.ns - start.ns) / 1e6;
            stats.totalDeviationPct = (stats.totalMs - firstRoundScheduleMs()) / firstRoundScheduleMs() * 100;
        }
        if (!tick.running)
            break;
    }
    if (stats.ticks > 0) {
        stats.meanAbsDeviationMs = sumAbs / stats.ticks;
        stats.meanAbsDeviationPct = sumAbsPct / stats.ticks;
        stats.meanDeviationMs = sum / stats.ticks;
    }
    return stats;
}

int wateringClicks(double level)
{
    constexpr double kAim = 400;      // keep the gauge about half full
    constexpr double kMeanDrop = 59.5; // a watering adds 59.5 on average
    constexpr double kMaxDrop = 109;   // and at most 109
    constexpr double kRot = 700;       // from here on a watering may rot it
    if (level >= kAim)
        return 0;
    const int wanted = int(std::ceil((kAim - level) / kMeanDrop));
    const int safe = int(std::floor((kRot - 1 - level) / kMaxDrop));
    return std::max(0, std::min(wanted, safe));
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::optional<std::int64_t> schedstatRuntime(const std::string &text)
{
    std::istringstream in(text);
    long long runtime = -1;
    if (!(in >> runtime) || runtime < 0)
        return std::nullopt;
    return runtime;
}

std::optional<long> peakResidentKb(const std::string &statusText)
{
    std::istringstream in(statusText);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 6, "VmHWM:") != 0)
            continue;
        std::istringstream field(line.substr(6));
        long kb = -1;
        std::string unit;
        if (field >> kb >> unit && kb >= 0 && unit == "kB")
            return kb;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace bench
