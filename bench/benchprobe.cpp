/*
 * benchprobe.cpp: the benchmark's timestamp lines, watched from outside
 * the window through event filters and the signals it already has.
 */
#include "bench/benchprobe.h"

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
    explicit BenchProbe(GameWindow &window)
        : QObject(&window)
        , m_window(window)
        , m_tim(window.findChild<QTimer *>(QStringLiteral("Tim")))
        , m_img(window.findChild<CreatureView *>(QStringLiteral("Img")))
        , m_e(window.findChild<PictureHolder *>(QStringLiteral("E")))
    {
        m_tim->installEventFilter(this);
        m_img->installEventFilter(this);
        // Connected after the window's own connections, so these run once
        // the window has handled the click or the tick.
        connect(window.findChild<QPushButton *>(QStringLiteral("Com")), &QPushButton::clicked, this,
                [this] { noteStart(); });
        connect(m_tim, &QTimer::timeout, this, [this] {
            const Fom &fom = m_window.fom();
            line("pokotama-bench tick %lld %d %d %.0f %d\n", static_cast<long long>(m_tickAt), m_tickInterval,
                 fom.TimLbl.Caption.toInt(), double(fom.ShpStr.Width), int(m_tim->isActive()));
            m_running = m_tim->isActive();
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_tim && event->type() == QEvent::Timer) {
            m_tickAt = now();
            m_tickInterval = m_window.fom().Tim.Interval;
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
    void noteStart()
    {
        if (!m_running && m_tim->isActive())
            line("pokotama-bench start %lld %d\n", static_cast<long long>(now()), m_window.fom().Tim.Interval);
        m_running = m_tim->isActive();
    }

    GameWindow &m_window;
    QTimer *m_tim;
    CreatureView *m_img;
    PictureHolder *m_e;
    std::int64_t m_tickAt = 0;
    int m_tickInterval = 0;
    bool m_running = false;
    bool m_framed = false;
    bool m_painting = false;
};

} // namespace

void attachBenchProbe(GameWindow &window)
{
    new BenchProbe(window);
}
