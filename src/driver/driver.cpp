/*
 * driver.cpp: events to the game's handlers.
 */
#include "driver/driver.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace driver {

namespace {

constexpr std::array<const char *, kEventKinds> kNames = {"load", "tick", "frame", "click", "about"};

} // namespace

std::optional<Event> eventNamed(QStringView name)
{
    for (int i = 0; i < kEventKinds; ++i)
        if (name == QLatin1StringView(kNames[i]))
            return Event(i);
    return std::nullopt;
}

const char *nameOf(Event event)
{
    return kNames[int(event)];
}

QByteArray stateLine(const Driver &game)
{
    const Fom &fom = game.fom();
    const QJsonObject state{
        {"Com", fom.Com.Caption},
        {"LBl", fom.LBl.Caption},
        {"TimLbl", fom.TimLbl.Caption},
        {"Stage", fom.Stage},
        {"GrowthStep", fom.GrowthStep},
        {"WiggleFrame", fom.WiggleFrame},
        {"Level", double(fom.ShpStr.Width)},
        {"Colour", qint64(fom.ShpStr.BackColor)},
        {"TimEnabled", fom.Tim.Enabled},
        {"TimInterval", fom.Tim.Interval},
        {"ImgTimEnabled", fom.ImgTim.Enabled},
        {"Picture", fom.E.Picture},
        {"ImgVisible", fom.Img.Visible},
        {"Abouts", game.abouts()},
        {"Draws", qint64(game.draws())},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

Driver::Driver(Platform &platform)
    : m_counted(platform)
    , m_fom(m_counted)
{
}

void Driver::send(Event event)
{
    switch (event) {
    case Event::Load:
        m_fom.LoadForm();
        m_fom.FormActivate();
        break;
    case Event::Tick:
        if (m_fom.Tim.Enabled)
            m_fom.GrowthTick();
        break;
    case Event::Frame:
        if (m_fom.ImgTim.Enabled)
            m_fom.WiggleTick();
        break;
    case Event::Click:
        m_fom.ButtonClick();
        break;
    case Event::About:
        m_fom.AboutClick();
        break;
    }
}

} // namespace driver
