/*
 * benchlog.cpp: the benchmark's timestamp lines.
 */
#include "ui/benchlog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace benchlog {

namespace {

// One write per line, so the lines never interleave with Qt's messages.
template <typename... Args> void line(const char *format, Args... args)
{
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n > 0)
        std::fwrite(buffer, 1, std::size_t(n) < sizeof buffer ? std::size_t(n) : sizeof buffer - 1, stderr);
}

} // namespace

bool enabled()
{
    static const bool on = std::getenv("POKOTAMA_BENCH_LOG") != nullptr;
    return on;
}

std::int64_t now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void frame(std::int64_t ns)
{
    line("pokotama-bench frame %lld\n", static_cast<long long>(ns));
}

void start(std::int64_t ns, int interval)
{
    line("pokotama-bench start %lld %d\n", static_cast<long long>(ns), interval);
}

void tick(std::int64_t ns, int interval, int count, double level, bool running)
{
    line("pokotama-bench tick %lld %d %d %.0f %d\n", static_cast<long long>(ns), interval, count, level, int(running));
}

} // namespace benchlog
