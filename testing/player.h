/*
 * player.h: how a player aiming at one ending plays a running round.
 *
 * For the love ending it waters whenever the gauge is below a level and
 * lets the clock run otherwise: below 350, a watering (at most 109) never
 * brings the gauge near the 700 where it may rot, and the gauge never runs
 * dry between two ticks. For 枯れる it never waters; for 腐る it waters
 * without pause. Every front end that plays whole rounds (the tests, the
 * soak) asks this player for its next move.
 */
#pragma once

#include "driver/driver.h"

namespace driver {

enum class Aim { Love, Wither, Rot };

inline constexpr float kLoveWaterBelow = 350;

// The next event while the button reads 水をやる: Click (water) or Tick.
inline Event nextMove(Aim aim, float level, float waterBelow = kLoveWaterBelow)
{
    switch (aim) {
    case Aim::Love:
        return level < waterBelow ? Event::Click : Event::Tick;
    case Aim::Wither:
        return Event::Tick;
    case Aim::Rot:
        return Event::Click;
    }
    return Event::Tick;
}

} // namespace driver
