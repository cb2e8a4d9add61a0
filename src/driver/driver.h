/*
 * driver.h: the game without a window, driven by events.
 *
 * The window's timers and clicks, as named events: load (the window opens
 * and is first shown), tick (the growth clock fired), frame (the
 * animation clock fired), click (the button), about (the message area).
 * The driver delivers each to the game as the window does: a clock that
 * stands fires nothing, so a tick reaches the growth rule only while Tim
 * runs and a frame the wiggle only while ImgTim runs. The simulator,
 * the soak, the fuzzer and the tests all play through it.
 *
 * It also counts what the rules ask of the platform that a window never
 * needs to know: random draws and about boxes shown.
 */
#pragma once

#include "game/fom.h"
#include "game/platform.h"

#include <QByteArray>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace driver {

enum class Event { Load, Tick, Frame, Click, About };
inline constexpr int kEventKinds = 5;

// The event of that name ("load", "tick", ...), or none.
std::optional<Event> eventNamed(QStringView name);
const char *nameOf(Event event);

// Passes every request on to another platform, counting draws and about boxes.
class CountingPlatform : public Platform
{
public:
    explicit CountingPlatform(Platform &inner)
        : m_inner(inner)
    {
    }

    QString dataDir() override { return m_inner.dataDir(); }
    QStringList readLines(const QString &path) override { return m_inner.readLines(path); }
    void loadPicture(const QString &path) override { m_inner.loadPicture(path); }
    void showAbout() override
    {
        ++m_abouts;
        m_inner.showAbout();
    }
    float rnd() override
    {
        ++m_draws;
        return m_inner.rnd();
    }

    std::int64_t draws() const { return m_draws; }
    int abouts() const { return m_abouts; }

private:
    Platform &m_inner;
    std::int64_t m_draws = 0;
    int m_abouts = 0;
};

class Driver
{
public:
    explicit Driver(Platform &platform);

    // Delivers one event. Throws FatalError when the game stops on broken
    // data, leaving the state as far as the rules got.
    void send(Event event);

    const Fom &fom() const { return m_fom; }
    std::int64_t draws() const { return m_counted.draws(); }
    int abouts() const { return m_counted.abouts(); }

private:
    CountingPlatform m_counted;
    Fom m_fom;
};

// The game's state as one line of JSON: the controls' properties and what
// the driver counted. The simulator prints it after every event.
QByteArray stateLine(const Driver &game);

} // namespace driver
