/*
 * window.cpp: the game's window, its layout and its events.
 */
#include "ui/window.h"

#include "common/fatalerror.h"
#include "game/texts.h"
#include "ui/about.h"
#include "ui/accessibility.h"
#include "ui/announcer.h"
#include "ui/clickablelabel.h"
#include "ui/creatureview.h"
#include "ui/fonts.h"
#include "ui/gamebutton.h"
#include "ui/gauge.h"
#include "ui/growthclock.h"
#include "ui/layout.h"
#include "ui/x11frame.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

// How long the button rests after an ending appears.
constexpr int kEndingPauseMs = 1000;

} // namespace

GameWindow::GameWindow(Platform &platform, const PictureSource &pictures, QWidget *parent)
    : QWidget(parent)
    , m_pictures(pictures)
    , m_readings(reading::wanted(), &QAccessible::isActive)
    , m_readingPlatform(platform, m_readings)
    , m_fom(m_readingPlatform)
{
    installAccessibility();
    setObjectName(QStringLiteral("Fom"));
    setWindowTitle(QStringLiteral("ぽこたま"));
    setWindowIcon(QIcon(QStringLiteral(":/pokotama-32.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // White, with black text, whatever the desktop's colour scheme: the
    // palette Qt makes from a white button. The about box takes it too.
    setPalette(QPalette(QColor(Qt::white)));
    setAutoFillBackground(true);

    // The controls, in their order in the window.
    m_e = new PictureHolder(m_pictures, this);
    m_e->setObjectName(QStringLiteral("E"));
    m_img = new CreatureView(m_e, this);
    m_img->setObjectName(QStringLiteral("Img"));
    m_imgTim = new QTimer(this);
    m_imgTim->setObjectName(QStringLiteral("ImgTim"));
    m_tim = new GrowthClock(this);
    m_picStr = new Gauge(this);
    m_picStr->setObjectName(QStringLiteral("PicStr"));
    m_com = new GameButton(this);
    m_com->setObjectName(QStringLiteral("Com"));
    // The tick count lives in a label that the player never sees. A name
    // of its own keeps it from telling a screen reader of every tick.
    m_timLbl = new QLabel(this);
    m_timLbl->setObjectName(QStringLiteral("TimLbl"));
    m_timLbl->setAccessibleName(QStringLiteral("経過"));
    m_timLbl->hide();
    m_lbl = new ClickableLabel(this);
    m_lbl->setObjectName(QStringLiteral("LBl"));
    // Data files are shown as they are, never read as markup.
    m_lbl->setTextFormat(Qt::PlainText);
    m_lbl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lbl->setWordWrap(true);

    m_endingPause = new QTimer(this);
    m_endingPause->setObjectName(QStringLiteral("EndingPause"));
    m_endingPause->setSingleShot(true);
    m_endingPause->setInterval(kEndingPauseMs);
    m_announcer = new Announcer(m_lbl, m_readings);

    connect(m_com, &QPushButton::clicked, this, [this] { handle([this] { m_fom.ButtonClick(); }, true); });
    connect(m_lbl, &ClickableLabel::clicked, this, &GameWindow::openAbout);
    connect(m_tim, &GrowthClock::fired, this, [this] { handle([this] { m_fom.GrowthTick(); }); });
    connect(m_imgTim, &QTimer::timeout, this, [this] { handle([this] { m_fom.WiggleTick(); }); });
    connect(m_endingPause, &QTimer::timeout, this, [this] {
        if (m_stopped)
            return;
        m_com->setEnabled(true);
        // Disabling the button took the keyboard focus from it.
        if (!focusWidget())
            m_com->setFocus();
        if constexpr (kReaderSpeaksCaptions)
            m_com->setAccessibleName(m_readings.of(texts::kStartOver)); // the reader now hears やりなおし～
        else
            m_announcer->say(m_readings.of(texts::kStartOver));
    });

    // Broken data ends the game: say what is wrong, then leave every event
    // loop, the about box's included, so main() returns 1.
    m_onFatal = [this](const FatalError &error) {
        reportProblems({error}, this);
        QCoreApplication::exit(1);
    };
    m_com->setFocus();
    qApp->installEventFilter(this);
}

bool GameWindow::loadForm()
{
    // Until a window manager tells us its frame, the inner area is the frame.
    m_frameMargins = {};
    m_sizedByCompositor = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    fitScreen(*QGuiApplication::primaryScreen(), true);

    handle([this] { m_fom.LoadForm(); });
    return !m_stopped;
}

template <typename Handler> void GameWindow::handle(Handler handler, bool clicked)
{
    if (m_stopped)
        return;
    const Moment before = momentOf(m_fom);
    try {
        handler();
    } catch (const FatalError &error) {
        stop();
        if (m_onFatal)
            m_onFatal(error);
        return;
    }
    if (m_stopped)
        return;
    sync();
    const Moment after = momentOf(m_fom);
    m_announcer->say([this, before, after, clicked] { return news(before, after, clicked, m_readings); },
                     startsRound(before, after));
}

void GameWindow::openAbout()
{
    // The growth clock holds while the player reads the box.
    m_tim->hold();
    handle([this] { m_fom.AboutClick(); });
    m_tim->resume();
}

void GameWindow::stop()
{
    m_stopped = true;
    m_tim->follow(false, 0);
    m_endingPause->stop();
    m_imgTim->stop();
    m_com->setEnabled(false);
}

void GameWindow::sync()
{
    if (m_fom.Com.Caption != m_com->text()) {
        const bool ended = m_fom.Com.Caption == texts::kStartOver;
        // A reader that speaks the focused button's new caption hears its
        // reading. It would say やりなおし～ (unavailable) at the ending, ahead
        // of the ending's text; to the reader the button keeps its old name
        // while it rests.
        if (kReaderSpeaksCaptions)
            m_com->setAccessibleName(m_readings.of(ended ? m_com->text() : m_fom.Com.Caption));
        m_com->setText(m_fom.Com.Caption);
        if (ended) {
            m_com->setEnabled(false);
            m_endingPause->start();
        }
    }
    // Most events leave the message as it was: the ten frames a second
    // need not rewrite its line ends each time.
    if (m_fom.LBl.Caption != m_message) {
        m_message = m_fom.LBl.Caption;
        m_lbl->setText(forDisplay(m_message));
    }
    m_timLbl->setText(m_fom.TimLbl.Caption);
    m_picStr->setBar(m_fom.ShpStr);
    m_img->setVisible(m_fom.Img.Visible);

    // A new picture in E shows from the next frame on. (Every watering
    // loads the stage's picture again, but the platform keeps the picture
    // it has when the file's bytes are unchanged, so the display keeps its
    // scaled frames.)
    if (m_fom.E.Picture != m_pictureName) {
        m_pictureName = m_fom.E.Picture;
        m_img->setAccessibleName(creatureDescription(m_pictureName));
    }
    const QImage &picture = m_pictures.picture();
    if (picture.cacheKey() != m_pictureKey) {
        m_pictureKey = picture.cacheKey();
        m_e->pictureChanged();
        m_img->pictureChanged();
    }
    if (m_fom.WiggleFrame != m_img->frame())
        m_img->showFrame(m_fom.WiggleFrame);

    if (m_imgTim->interval() != m_fom.ImgTim.Interval)
        m_imgTim->setInterval(m_fom.ImgTim.Interval);
    if (m_imgTim->isActive() != m_fom.ImgTim.Enabled)
        m_fom.ImgTim.Enabled ? m_imgTim->start() : m_imgTim->stop();

    m_tim->follow(m_fom.Tim.Enabled, m_fom.Tim.Interval);
}

bool GameWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        followScreen();
        // The first round is on the screen before the window's first paint,
        // whether or not the desktop ever activates the window: some never
        // do (focus-stealing prevention, a compositor without a seat, a
        // player busy elsewhere). Only the first showing starts a round;
        // the game knows which, so showing the window again after it was
        // minimised, or activating it, starts nothing.
        handle([this] { m_fom.FormActivate(); });
        fitFrame();
        break;
    case QEvent::WindowActivate:
        m_announcer->windowActivated();
        fitFrame();
        break;
    case QEvent::Move:
        fitFrame();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool GameWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A key held down repeats; the game's keys act once per press, in the
    // window and in its boxes alike: a held Enter would water むにまる at
    // every repeat and rot it, or close the about box it has just opened.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
        case Qt::Key_F1:
        case Qt::Key_L:
            if (key->isAutoRepeat())
                return true;
            break;
        default:
            break;
        }
    }
    if (watched == windowHandle()) {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            fitFrame();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GameWindow::fitFrame()
{
    // A window manager adds a title bar and borders around the inner area.
    // Once they are known, shrink the inner area so the frame is square.
    if (m_outerSide <= 0 || !isVisible() || !windowHandle())
        return;
    // The native window's margins, as they are now: the widget's own frame
    // geometry lags behind them where no move or resize has come since
    // they changed (Qt 6.10's Wayland decorations).
    QMargins margins = windowHandle()->frameMargins();
    if (margins.isNull())
        margins = x11FrameMargins(*this);
    // Until the frame is there, Qt's X11 margins can come out negative
    // (the inner area against a frame not yet sized).
    if (margins == m_frameMargins || std::min({margins.left(), margins.top(), margins.right(), margins.bottom()}) < 0)
        return;
    m_frameMargins = margins;
    fitScreen(*screen(), true);
}

void GameWindow::setInnerSize(QSize inner)
{
    if (!m_sizedByCompositor) {
        setFixedSize(inner);
        return;
    }
    // A Wayland compositor has the last word on a window's size: maximised
    // or full screen it sends its own, and it ends the connection of a
    // window that keeps another. There the game asks for its size, takes
    // whatever it is given, and keeps the grid in that inner area.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    resize(inner);
}

void GameWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void GameWindow::arrange()
{
    const layout::GameArea area = layout::gameArea(size(), m_askedInner);
    const double points = m_basePoints * area.scale;
    if (points != m_points) {
        m_points = points;
        // The window's own font is the one its boxes (the about box) take.
        setFont(gameFont(points, false));
        m_lbl->setFont(gameFont(points, true));
        m_com->setFont(gameFont(points * 1.5, false));
        m_timLbl->setFont(gameFont(points, false));
    }
    m_lbl->setGeometry(layout::place(area.rect, layout::kMessages));
    m_com->setGeometry(layout::place(area.rect, layout::kButton));
    m_picStr->setGeometry(layout::place(area.rect, layout::kGauge));
    m_img->setGeometry(layout::place(area.rect, layout::kCreature));
}

void GameWindow::keyPressEvent(QKeyEvent *event)
{
    // The button takes Space by itself; Enter works too, wherever the focus
    // is. F1 opens the about box, as a click on the message area does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_com->isEnabled()) {
        m_com->click();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        openAbout();
        return;
    }
    // L: the level, for a player who cannot see the gauge.
    if (event->key() == Qt::Key_L) {
        m_announcer->say([this, bar = m_fom.ShpStr] { return levelNews(bar, m_readings); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void GameWindow::fitScreen(const QScreen &screen, bool centre)
{
    const layout::Screen metrics = layout::screenOf(screen.geometry().size(), screen.logicalDotsPerInchY());
    m_outerSide = layout::outerSide(metrics);
    m_basePoints = layout::baseFontPoints(metrics);
    m_askedInner = QSize(m_outerSide - m_frameMargins.left() - m_frameMargins.right(),
                         m_outerSide - m_frameMargins.top() - m_frameMargins.bottom());
    setInnerSize(m_askedInner);
    // The same size as before brings no resize: the fonts may be another
    // screen's all the same.
    arrange();
    // The frame wholly on the screen: where it was if it still fits there,
    // else moved in as little as it must; centred when it first opens and
    // when its frame becomes known.
    const QRect room = screen.availableGeometry();
    const QPoint inset(m_frameMargins.left(), m_frameMargins.top());
    QPoint corner = windowHandle() ? windowHandle()->position() - inset : pos();
    if (centre)
        corner = room.topLeft() + QPoint((room.width() - m_outerSide) / 2, (room.height() - m_outerSide) / 2);
    corner.setX(std::max(room.left(), std::min(corner.x(), room.left() + room.width() - m_outerSide)));
    corner.setY(std::max(room.top(), std::min(corner.y(), room.top() + room.height() - m_outerSide)));
    // Once the frame is known the inner area goes where that frame puts
    // it. QWidget::move() would go by the widget's own idea of the frame,
    // which lags behind: under KWin the frame then ended up a title bar's
    // height above the centre.
    if (m_frameMargins.isNull())
        move(corner);
    else
        windowHandle()->setPosition(corner + inset);
}

void GameWindow::followScreen()
{
    // Once the window has its native window: a screen that changes size (a
    // laptop docked, a monitor unplugged) or another screen the window is
    // moved to lays the window out again for that screen. The round goes
    // on as it was.
    if (m_screenWatch || !windowHandle())
        return;
    // The frame can change without the widget hearing of it: on Wayland,
    // Qt's own decorations come with the compositor's first answer, which
    // only the native window sees.
    windowHandle()->installEventFilter(this);
    const auto watch = [this](QScreen *screen) {
        disconnect(m_screenGeometry);
        if (!screen)
            return;
        m_screenGeometry = connect(screen, &QScreen::geometryChanged, this, [this, screen] {
            fitScreen(*screen, false);
        });
    };
    watch(windowHandle()->screen());
    m_screenWatch = connect(windowHandle(), &QWindow::screenChanged, this, [this, watch](QScreen *screen) {
        watch(screen);
        if (screen)
            fitScreen(*screen, false);
    });
}
