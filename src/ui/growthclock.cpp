/*
 * growthclock.cpp: the growth clock's periods, held and resumed.
 */
#include "ui/growthclock.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace growthclock {

int remainingMs(int periodMs, std::int64_t elapsedNs)
{
    const std::int64_t elapsedMs = (std::max<std::int64_t>(elapsedNs, 0) + 500'000) / 1'000'000;
    return int(std::max<std::int64_t>(periodMs - elapsedMs, 0));
}

} // namespace growthclock

GrowthClock::GrowthClock(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Tim"));
    // The growth clock paces the whole round: it must not drift.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &GrowthClock::onTimeout);
}

void GrowthClock::follow(bool enabled, int intervalMs)
{
    const int before = std::exchange(m_interval, intervalMs);
    if (!enabled) {
        m_timer->stop();
        m_held = false;
    } else if (m_held) {
        // resume() starts the rest of the period; the interval follows.
    } else if (!m_timer->isActive()) {
        startPeriod(intervalMs);
    } else if (intervalMs != before) {
        // A new interval set in a tick counts from the tick's start.
        startPeriod(growthclock::remainingMs(intervalMs, m_tickClock.isValid() ? m_tickClock.nsecsElapsed() : 0));
    }
}

void GrowthClock::hold()
{
    if (m_held || !m_timer->isActive())
        return;
    m_leftMs = growthclock::remainingMs(m_timer->interval(), m_periodClock.nsecsElapsed());
    m_timer->stop();
    m_held = true;
}

void GrowthClock::resume()
{
    if (!m_held)
        return;
    m_held = false;
    startPeriod(m_leftMs);
}

void GrowthClock::startPeriod(int periodMs)
{
    m_timer->start(periodMs);
    m_periodClock.start();
}

void GrowthClock::onTimeout()
{
    m_periodClock.start();
    m_tickClock.start();
    // The first period after a stage-up or the about box may have been
    // shorter; from here on the clock runs at the interval itself.
    if (m_timer->interval() != m_interval)
        m_timer->setInterval(m_interval);
    emit fired();
    m_tickClock.invalidate();
}
