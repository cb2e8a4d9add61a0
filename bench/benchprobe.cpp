/*
 * benchprobe.cpp: timestamps for the benchmark, linked only into
 * pokotama-bench beside the game's own main(). With POKOTAMA_BENCH_LOG set
 * it watches the shown window's growth clock, button and creature display
 * and writes on stderr, <ns> on the monotonic clock:
 *
 *   pokotama-bench frame <ns>               the first paint with a picture done,
 *                                           the whole window's (its text too)
 *   pokotama-bench start <ns> <interval>    the growth clock started
 *   pokotama-bench tick <ns> <interval> <count> <level> <running>
 *
 * A tick's time is when its timer event reached the game, before the game's
 * own work; the interval is the one it fired at, the rest the state after it.
 */
#include "ui/window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

// The monotonic clock in ns, as bench.py reads it.
qint64 now() { return QDeadlineTimer::current().deadlineNSecs(); }

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
        } else if (watched == m_img && event->type() == QEvent::Paint && !m_framed && !m_window->fom().E.Picture.isEmpty()) {
            // The rest of the window paints in the same pass: note the
            // time once it is done, as the floor does.
            m_framed = true;
            QTimer::singleShot(0, this, [] { std::fprintf(stderr, "pokotama-bench frame %lld\n", now()); });
        }
        return false;
    }

private:
    void attach(GameWindow *window)
    {
        m_window = window;
        m_tim = window->findChild<QTimer *>(QStringLiteral("Tim"));
        m_img = window->findChild<QWidget *>(QStringLiteral("Img"));
        qApp->removeEventFilter(this);
        m_tim->installEventFilter(this);
        m_img->installEventFilter(this);
        // Connected after the window's own connections, so these run once
        // the window has handled the click or the tick.
        connect(window->findChild<QPushButton *>(QStringLiteral("Com")), &QPushButton::clicked, this, [this] {
            if (!m_running && m_tim->isActive())
                std::fprintf(stderr, "pokotama-bench start %lld %d\n", now(), m_window->fom().Tim.Interval);
            m_running = m_tim->isActive();
        });
        connect(m_tim, &QTimer::timeout, this, [this] {
            const Fom &fom = m_window->fom();
            std::fprintf(stderr, "pokotama-bench tick %lld %d %d %.0f %d\n", m_tickAt, m_tickInterval,
                         fom.TimLbl.Caption.toInt(), double(fom.ShpStr.Width), int(m_tim->isActive()));
            m_running = m_tim->isActive();
        });
    }

    GameWindow *m_window = nullptr;
    QTimer *m_tim = nullptr;
    QWidget *m_img = nullptr;
    qint64 m_tickAt = 0;
    int m_tickInterval = 0;
    bool m_running = false;
    bool m_framed = false;
};

void install()
{
    if (qEnvironmentVariableIsSet("POKOTAMA_BENCH_LOG"))
        new BenchProbe; // lives as long as the program
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
