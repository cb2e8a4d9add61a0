/*
 * rules.h: what the rules promise after every event, checked.
 *
 * Whatever the events and whatever the message table, after each event:
 *
 *   - the water level stays above 0 and below 1000;
 *   - the stage is 0 to 4, or 5 only in the love ending;
 *   - the bar is red, yellow or blue;
 *   - the button reads はじめぃ, 水をやる or やりなおし～, and the growth clock
 *     runs exactly while it reads 水をやる;
 *   - the growth step follows the stage (10, then 5 more a stage);
 *   - the growth interval is 400 ms less 30 for every stage-up so far in
 *     the session, never below 10 ms;
 *   - the random draws grow by exactly what the event takes: a tick 1, a
 *     watering 3, or 2 when it rots, anything else 0;
 *   - an about box comes with a click on the message area and with every
 *     start over, and with nothing else;
 *   - a frame switches the animation frame between 1 and 2.
 *
 * The soak and the event fuzzer check these after every event they send.
 */
#pragma once

#include "driver/driver.h"

#include <QString>

namespace driver {

class RuleCheck
{
public:
    // Call with the driver before each event...
    void before(const Driver &driver);
    // ...and after it: the promise broken, or nullptr.
    const char *after(const Driver &driver, Event event);

private:
    struct Snapshot
    {
        QString caption;
        qint16 stage = 0;
        std::int64_t draws = 0;
        int abouts = 0;
        qint16 wiggleFrame = 0;
        bool timEnabled = false;
        bool imgTimEnabled = false;
    };
    Snapshot m_before;
    int m_stageUps = 0; // in the whole session: a round start keeps the interval
};

} // namespace driver
