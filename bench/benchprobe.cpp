/*
 * benchprobe.cpp: timestamps for the benchmark (make bench), on stderr.
 *
 * Linked only into pokotama-bench, the game's own main() with this file
 * beside it. When the environment variable POKOTAMA_BENCH_LOG is set, it
 * waits for the game's window to be shown, then watches it from outside
 * (its growth clock, its button and its creature display) and writes one
 * line per moment the benchmark times:
 *
 *   pokotama-bench frame <ns>                      first creature frame painted
 *   pokotama-bench start <ns> <interval>            the growth clock started
 *   pokotama-bench tick <ns> <interval> <count> <level> <running>
 *
 * <ns> is the monotonic clock (CLOCK_MONOTONIC on Linux) in nanoseconds.
 * A frame's time is the end of the first paint that shows a picture; a
 * tick's is when its timer event reached the game, before the game's own
 * work. A tick line also gives the interval the clock fired at, and after
 * the tick the count, the water level and whether the round still runs.
 */
#include "ui/creatureview.h"
#include "ui/window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {

std::int64_t now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One write per line, so the lines never interleave with Qt's messages.
template <typename... Args> void line(const char *format, Args... args)
{
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n > 0)
        std::fwrite(buffer, 1, std::size_t(n) < sizeof buffer ? std::size_t(n) : sizeof buffer - 1, stderr);
}

class BenchProbe : public QObject
{
public:
    // Watches every object only until the game's window is first shown.
    BenchProbe() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_window) {
            if (auto *window = qobject_cast<GameWindow *>(watched); window && event->type() == QEvent::Show)
                attach(window);
        } else if (watched == m_tim && event->type() == QEvent::Timer) {
            m_tickAt = now();
            m_tickInterval = m_window->fom().Tim.Interval;
        } else if (watched == m_img && event->type() == QEvent::Paint && !m_framed && !m_painting
                   && !m_e->picture().isNull()) {
            // The figure is the end of the first paint with the creature in
            // it: let the display paint, then note the time.
            m_painting = true;
            QCoreApplication::sendEvent(watched, event);
            m_painting = false;
            m_framed = true;
            line("pokotama-bench frame %lld\n", static_cast<long long>(now()));
            return true;
        }
        return false;
    }

private:
    void attach(GameWindow *window)
    {
        m_window = window;
        m_tim = window->findChild<QTimer *>(QStringLiteral("Tim"));
        m_img = window->findChild<CreatureView *>(QStringLiteral("Img"));
        m_e = window->findChild<PictureHolder *>(QStringLiteral("E"));
        qApp->removeEventFilter(this);
        m_tim->installEventFilter(this);
        m_img->installEventFilter(this);
        // Connected after the window's own connections, so these run once
        // the window has handled the click or the tick.
        connect(window->findChild<QPushButton *>(QStringLiteral("Com")), &QPushButton::clicked, this, [this] {
            if (!m_running && m_tim->isActive())
                line("pokotama-bench start %lld %d\n", static_cast<long long>(now()), m_window->fom().Tim.Interval);
            m_running = m_tim->isActive();
        });
        connect(m_tim, &QTimer::timeout, this, [this] {
            const Fom &fom = m_window->fom();
            line("pokotama-bench tick %lld %d %d %.0f %d\n", static_cast<long long>(m_tickAt), m_tickInterval,
                 fom.TimLbl.Caption.toInt(), double(fom.ShpStr.Width), int(m_tim->isActive()));
            m_running = m_tim->isActive();
        });
    }

    GameWindow *m_window = nullptr;
    QTimer *m_tim = nullptr;
    CreatureView *m_img = nullptr;
    PictureHolder *m_e = nullptr;
    std::int64_t m_tickAt = 0;
    int m_tickInterval = 0;
    bool m_running = false;
    bool m_framed = false;
    bool m_painting = false;
};

void install()
{
    if (qEnvironmentVariableIsSet("POKOTAMA_BENCH_LOG"))
        new BenchProbe; // lives as long as the program
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
