/*
 * rnd.h: the game's random numbers.
 *
 * A 24-bit linear congruential generator, never seeded: every run of the
 * game draws the same sequence, so a game can be replayed from its events.
 * Each draw is a single-precision number in [0, 1) with 24 bits of state.
 */
#pragma once

#include <cstdint>

class Rnd
{
public:
    static constexpr std::uint32_t kStart = 0x50000;

    float next()
    {
        m_state = (m_state * 1140671485u + 12820163u) & 0xFFFFFFu;
        return float(m_state) / 16777216.0f;
    }

private:
    std::uint32_t m_state = kStart;
};
