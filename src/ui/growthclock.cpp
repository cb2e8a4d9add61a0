/*
 * growthclock.cpp: the growth clock's first period after a new interval.
 */
#include "ui/growthclock.h"

#include <algorithm>

namespace growthclock {

int firstPeriodMs(int intervalMs, std::int64_t spentNs)
{
    const std::int64_t spentMs = (std::max<std::int64_t>(spentNs, 0) + 500'000) / 1'000'000;
    return int(std::max<std::int64_t>(intervalMs - spentMs, 0));
}

} // namespace growthclock
