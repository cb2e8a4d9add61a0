/*
 * window.h: the game's window, which shows Fom and delivers its events.
 *
 * The window owns the real widgets and timers and the game's state. Each
 * event (a timer firing, a click on the button or the message area, the
 * first showing) runs one handler of the game, and then sync() makes
 * the widgets show what the state now says: the one place that copies
 * state to the screen. The growth clock's period and running state reach
 * the real timer the same way.
 *
 * It knows the world around it only as interfaces: the game's Platform,
 * and the PictureSource whose picture the creature display paints.
 */
#pragma once

#include "game/fom.h"
#include "game/platform.h"
#include "reading/readings.h"
#include "services/services.h"

#include <QMargins>
#include <QWidget>

#include <functional>

class Announcer;
class ClickableLabel;
class CreatureView;
class FatalError;
class Gauge;
class GrowthClock;
class PictureHolder;
class QLabel;
class QPushButton;
class QScreen;
class QTimer;

class GameWindow : public QWidget
{
    Q_OBJECT

public:
    // Called when the game meets broken data; the game is stopped by then.
    // Unless a test sets another, the window shows the error and then
    // leaves the event loop with status 1.
    using FatalHandler = std::function<void(const FatalError &)>;

    GameWindow(Platform &platform, const PictureSource &pictures, QWidget *parent = nullptr);

    void setFatalHandler(FatalHandler handler) { m_onFatal = std::move(handler); }

    // Sizes the window for the primary screen, lays out its controls and
    // loads the game (LoadForm). False if the game could not load. Shown,
    // the window sizes itself again whenever its screen changes.
    bool loadForm();

    const Fom &fom() const { return m_fom; }
    bool stopped() const { return m_stopped; }

    // The outer frame's side, in pixels, that the layout asks for, and the
    // inner area that leaves inside the window manager's frame.
    int outerSide() const { return m_outerSide; }
    QSize askedInner() const { return m_askedInner; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // clicked: the event is a click of the button, which the news tells apart.
    template <typename Handler> void handle(Handler handler, bool clicked = false);
    void openAbout();
    void sync();
    void arrange();
    void fitFrame();
    void fitScreen(const QScreen &screen, bool centre);
    void followScreen();
    void setInnerSize(QSize inner);
    void stop();

    const PictureSource &m_pictures;
    // The kana readings of what the game says, learnt as the game reads its texts.
    reading::Readings m_readings;
    reading::ReadingPlatform m_readingPlatform;
    Fom m_fom;
    FatalHandler m_onFatal;
    bool m_stopped = false;

    PictureHolder *m_e;
    CreatureView *m_img;
    QTimer *m_imgTim;
    GrowthClock *m_tim;
    Gauge *m_picStr;
    QPushButton *m_com;
    QLabel *m_timLbl;
    ClickableLabel *m_lbl;

    // After an ending the button rests for a moment, so the clicks of the
    // burst that ended the round do not start the next one unread.
    QTimer *m_endingPause;

    // Tells a screen reader the news of each event.
    Announcer *m_announcer;

    QString m_message; // the game's message text that LBl shows
    int m_outerSide = 0;
    QSize m_askedInner;
    int m_basePoints = 0; // the message font's size for the area asked for
    double m_points = 0;  // and for the area the grid has
    QMargins m_frameMargins;
    QMetaObject::Connection m_screenWatch;    // the window's move to another screen; set once its native window is watched
    QMetaObject::Connection m_screenGeometry; // its screen's change of size
    bool m_sizedByCompositor = false; // on Wayland: the size is the compositor's
    qint64 m_pictureKey = 0;
    QString m_pictureName; // the game's name for the picture Img shows
};
