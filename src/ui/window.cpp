/*
 * window.cpp: the game's window, its layout and its events.
 */
#include "ui/window.h"

#include "common/fatalerror.h"
#include "ui/about.h"
#include "ui/clickablelabel.h"
#include "ui/creatureview.h"
#include "ui/gauge.h"
#include "ui/growthclock.h"
#include "ui/layout.h"
#include "x11frame.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

// The game's face is MS PGothic. Where it is missing, IPA's proportional
// Gothic (Debian's fonts-ipafont-gothic) and other Japanese faces follow,
// so kanji always take Japanese shapes, never Chinese ones.
const QStringList kFontFamilies{
    QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
    QStringLiteral("IPAexGothic"),   QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
    QStringLiteral("Source Han Sans JP"), QStringLiteral("TakaoPGothic"), QStringLiteral("IPAGothic"),
};

// The first family of the list installed here, alone. Qt would pass over
// the missing ones by itself, but only after asking fontconfig for their
// substitutes, for every font and script: a fifth of the start-up. Given
// more than one family, it also asks for the substitutes of the one it
// takes, at once, whether a character needs them or not. Each face of the
// list is a whole Japanese face: IPA's lacks one character of code page
// 932 (∑), which falls back through fontconfig, as it would have after the
// rest of the list. With none installed, Qt gets the whole list.
const QStringList &installedFontFamilies()
{
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &family : kFontFamilies)
            if (installed.contains(family, Qt::CaseInsensitive))
                return QStringList{family};
        return kFontFamilies;
    }();
    return families;
}

QFont gameFont(double points, bool boldItalic)
{
    QFont font;
    font.setFamilies(installedFontFamilies());
    font.setPointSizeF(points);
    font.setBold(boldItalic);
    font.setItalic(boldItalic);
    return font;
}

} // namespace

GameWindow::GameWindow(Platform &platform, const PictureSource &pictures, QWidget *parent)
    : QWidget(parent)
    , m_pictures(pictures)
    , m_fom(platform)
{
    setObjectName(QStringLiteral("Fom"));
    setWindowTitle(QStringLiteral("ぽこたま"));
    setWindowIcon(QIcon(QStringLiteral(":/pokotama-32.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    // The controls, in their order in the window.
    m_e = new PictureHolder(this);
    m_e->setObjectName(QStringLiteral("E"));
    m_img = new CreatureView(m_e, this);
    m_img->setObjectName(QStringLiteral("Img"));
    m_imgTim = new QTimer(this);
    m_imgTim->setObjectName(QStringLiteral("ImgTim"));
    m_tim = new QTimer(this);
    m_tim->setObjectName(QStringLiteral("Tim"));
    // The growth clock paces the whole round: it must not drift.
    m_tim->setTimerType(Qt::PreciseTimer);
    m_picStr = new Gauge(this);
    m_picStr->setObjectName(QStringLiteral("PicStr"));
    m_com = new QPushButton(this);
    m_com->setObjectName(QStringLiteral("Com"));
    // A white button, drawn by us rather than in the desktop's button colour.
    m_com->setStyleSheet(QStringLiteral(
        "QPushButton { background: white; color: black; border: 1px solid #8a8a8a; border-radius: 4px; }"
        "QPushButton:hover { border-color: #5a8f3c; }"
        "QPushButton:focus { border: 2px solid #5a8f3c; }"
        "QPushButton:pressed { background: #eef6e8; }"));
    // The tick count lives in a label that the player never sees.
    m_timLbl = new QLabel(this);
    m_timLbl->setObjectName(QStringLiteral("TimLbl"));
    m_timLbl->hide();
    m_lbl = new ClickableLabel(this);
    m_lbl->setObjectName(QStringLiteral("LBl"));
    // Data files are shown as they are, never read as markup.
    m_lbl->setTextFormat(Qt::PlainText);
    m_lbl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lbl->setWordWrap(true);

    connect(m_com, &QPushButton::clicked, this, [this] { handle([this] { m_fom.ButtonClick(); }); });
    connect(m_lbl, &ClickableLabel::clicked, this, [this] { handle([this] { m_fom.AboutClick(); }); });
    connect(m_tim, &QTimer::timeout, this, [this] {
        m_tickClock.start();
        // The first period after a stage-up may have been shortened (see
        // sync()); from here on the clock runs at the period itself.
        if (m_tim->interval() != m_timInterval)
            m_tim->setInterval(m_timInterval);
        handle([this] { m_fom.GrowthTick(); });
        m_tickClock.invalidate();
    });
    connect(m_imgTim, &QTimer::timeout, this, [this] { handle([this] { m_fom.WiggleTick(); }); });

    // Broken data ends the game: say what is wrong, then leave every event
    // loop, the about box's included, so main() returns 1.
    m_onFatal = [this](const FatalError &error) {
        reportFatalError(error, this);
        QCoreApplication::exit(1);
    };
    m_com->setFocus();
}

bool GameWindow::loadForm()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const layout::Screen metrics = layout::screenOf(screen->geometry().size(), screen->logicalDotsPerInchY());
    m_outerSide = layout::outerSide(metrics);
    const int points = layout::baseFontPoints(metrics);
    m_lbl->setFont(gameFont(points, true));
    m_com->setFont(gameFont(points * 1.5, false));
    m_timLbl->setFont(gameFont(points, false));

    // Until a window manager tells us its frame, the inner area is the frame.
    m_frameMargins = {};
    m_sizedByCompositor = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    setInnerSize(QSize(m_outerSide, m_outerSide));
    const QPoint centre = screen->availableGeometry().center();
    move(centre.x() - m_outerSide / 2, centre.y() - m_outerSide / 2);

    handle([this] { m_fom.LoadForm(); });
    return !m_stopped;
}

template <typename Handler> void GameWindow::handle(Handler handler)
{
    if (m_stopped)
        return;
    try {
        handler();
    } catch (const FatalError &error) {
        stop();
        if (m_onFatal)
            m_onFatal(error);
        return;
    }
    if (!m_stopped)
        sync();
}

void GameWindow::stop()
{
    m_stopped = true;
    m_tim->stop();
    m_imgTim->stop();
    m_com->setEnabled(false);
}

void GameWindow::sync()
{
    m_com->setText(m_fom.Com.Caption);
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
    const QImage &picture = m_pictures.picture();
    if (picture.cacheKey() != m_pictureKey) {
        m_pictureKey = picture.cacheKey();
        m_e->setPicture(picture);
        m_img->pictureChanged();
    }
    if (m_fom.WiggleFrame != m_img->frame())
        m_img->showFrame(m_fom.WiggleFrame);

    if (m_imgTim->interval() != m_fom.ImgTim.Interval)
        m_imgTim->setInterval(m_fom.ImgTim.Interval);
    if (m_imgTim->isActive() != m_fom.ImgTim.Enabled)
        m_fom.ImgTim.Enabled ? m_imgTim->start() : m_imgTim->stop();

    // The growth clock. A new period restarts its count at the moment the
    // game sets it, which a stage-up does early in its tick: the next tick
    // comes one new period after this one, not after the rest of the
    // tick's work (loading the next stage's picture takes milliseconds).
    if (!m_fom.Tim.Enabled) {
        m_tim->stop();
    } else if (!m_tim->isActive() || m_timInterval != m_fom.Tim.Interval) {
        const bool midTick = m_tim->isActive() && m_tickClock.isValid();
        m_timInterval = m_fom.Tim.Interval;
        m_tim->start(growthclock::firstPeriodMs(m_timInterval, midTick ? m_tickClock.nsecsElapsed() : 0));
    }
}

bool GameWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
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
    case QEvent::Move:
        fitFrame();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void GameWindow::fitFrame()
{
    // A window manager adds a title bar and borders around the inner area.
    // Once they are known, shrink the inner area so the frame is square.
    if (m_outerSide <= 0 || !isVisible())
        return;
    const QRect inner = geometry();
    const QRect frame = frameGeometry();
    QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                     frame.bottom() - inner.bottom());
    if (margins.isNull())
        margins = x11FrameMargins(*this);
    if (margins == m_frameMargins)
        return;
    m_frameMargins = margins;
    setInnerSize(QSize(m_outerSide - margins.left() - margins.right(), m_outerSide - margins.top() - margins.bottom()));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    move(centre.x() - m_outerSide / 2, centre.y() - m_outerSide / 2);
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
    placeControls();
}

void GameWindow::placeControls()
{
    const QSize inner = size();
    m_lbl->setGeometry(layout::place(inner, layout::kMessages));
    m_com->setGeometry(layout::place(inner, layout::kButton));
    m_picStr->setGeometry(layout::place(inner, layout::kGauge));
    m_img->setGeometry(layout::place(inner, layout::kCreature));
}

void GameWindow::keyPressEvent(QKeyEvent *event)
{
    // The button takes Space by itself; Enter works too, wherever the focus is.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_com->isEnabled()) {
        m_com->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
