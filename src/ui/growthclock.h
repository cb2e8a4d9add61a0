/*
 * growthclock.h: the growth clock Tim, as the window runs it.
 *
 * It follows the game: it runs while the game says so, at the game's
 * interval. A stage-up sets the shorter interval early in its tick, before
 * it loads the next stage's picture, which takes milliseconds: the new
 * period counts from the tick that set it, so the timer's first period is
 * the new interval less the time the tick has taken so far, and from the
 * next tick on the clock runs at the interval itself. The first tick of a
 * stage is then as punctual as the rest.
 *
 * While the player reads the about box the clock holds: nothing fires,
 * and when the box closes the clock goes on with what was left of the
 * period, so the box costs the player no water.
 */
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>

class QTimer;

namespace growthclock {

// What is left of a period of periodMs once elapsedNs have passed, in ms:
// the elapsed time rounded to the nearest ms (half up), never below 0.
int remainingMs(int periodMs, std::int64_t elapsedNs);

} // namespace growthclock

class GrowthClock : public QObject
{
    Q_OBJECT

public:
    explicit GrowthClock(QObject *parent = nullptr);

    // What the game says after each event: whether the clock runs, and at
    // what interval in ms.
    void follow(bool enabled, int intervalMs);

    // Nothing fires until resume(), which goes on with the rest of the
    // period. Both do nothing while the clock stands.
    void hold();
    void resume();

signals:
    // The clock fired: the game's growth tick is due.
    void fired();

private:
    void startPeriod(int periodMs);
    void onTimeout();

    QTimer *m_timer; // the real timer, named "Tim"
    int m_interval = 0;           // the game's interval
    QElapsedTimer m_periodClock;  // since the current period began
    QElapsedTimer m_tickClock;    // running while a tick is handled
    bool m_held = false;
    int m_leftMs = 0;             // what was left of the period when held
};
