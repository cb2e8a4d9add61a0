/*
 * rules.cpp: checking the rules' promises after an event.
 */
#include "testing/rules.h"

#include "game/texts.h"

#include <algorithm>

namespace driver {

void RuleCheck::before(const Driver &driver)
{
    const Fom &fom = driver.fom();
    m_before = {fom.Com.Caption, fom.Stage,           driver.draws(),     driver.abouts(),
                fom.WiggleFrame, fom.Tim.Enabled,     fom.ImgTim.Enabled};
}

const char *RuleCheck::after(const Driver &driver, Event event)
{
    const Fom &fom = driver.fom();
    const Snapshot &before = m_before;

    const float level = fom.ShpStr.Width;
    if (!(level > 0 && level < 1000))
        return "the water level left (0, 1000)";
    if (fom.Stage < 0 || fom.Stage > 5)
        return "the stage left 0 to 5";
    const std::uint32_t colour = fom.ShpStr.BackColor;
    if (colour != colour::kRed && colour != colour::kYellow && colour != colour::kBlue)
        return "the bar is neither red, yellow nor blue";
    const QString &caption = fom.Com.Caption;
    if (caption != texts::kStart && caption != texts::kWater && caption != texts::kStartOver)
        return "the button reads none of its three captions";
    if (fom.Tim.Enabled != (caption == texts::kWater))
        return "the growth clock runs when the button does not read 水をやる, or stands when it does";
    if (fom.Stage == 5 && !(caption == texts::kStartOver && fom.E.Picture == texts::kLove))
        return "stage 5 outside the love ending";
    if (fom.GrowthStep != 10 + 5 * std::min<int>(fom.Stage, 4))
        return "the growth step does not follow the stage";
    if (fom.WiggleFrame != 1 && fom.WiggleFrame != 2)
        return "the animation frame is neither 1 nor 2";

    if (event == Event::Tick && fom.Stage == before.stage + 1 && fom.Stage <= 4)
        ++m_stageUps;
    if (fom.Tim.Interval != std::max(400 - 30 * m_stageUps, 10))
        return "the growth interval is not 400 ms less 30 a stage-up, floored at 10";

    std::int64_t draws = 0;
    int abouts = 0;
    if (event == Event::Tick && before.timEnabled) {
        draws = 1;
    } else if (event == Event::Click && before.caption == texts::kWater) {
        const bool rotted = caption == texts::kStartOver;
        if (rotted && fom.E.Picture != texts::kRot)
            return "a watering ended the round but not in 腐る";
        draws = rotted ? 2 : 3;
    } else if (event == Event::Click && before.caption == texts::kStartOver) {
        abouts = 1;
    } else if (event == Event::About) {
        abouts = 1;
    }
    if (driver.draws() - before.draws != draws)
        return "the random draws did not grow as the event takes";
    if (driver.abouts() - before.abouts != abouts)
        return "an about box too many or too few";
    if (event == Event::Frame && before.imgTimEnabled && fom.WiggleFrame == before.wiggleFrame)
        return "a frame did not switch the animation frame";
    return nullptr;
}

} // namespace driver
