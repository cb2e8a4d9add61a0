/*
 * test_window.cpp: the game in its real window, driven by clicks, keys and
 * timer events, on Qt's offscreen platform.
 */
#include "common/fatalerror.h"
#include "driver/driver.h"
#include "driver/player.h"
#include "platform/dataplatform.h"
#include "ui/about.h"
#include "ui/creatureview.h"
#include "ui/gauge.h"
#include "ui/window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

const QString kData = QStringLiteral(POKOTAMA_DATA);
const QString kStart = QStringLiteral("はじめぃ");
const QString kWater = QStringLiteral("水をやる");
const QString kStartOver = QStringLiteral("やりなおし～");

// The game's requests counted on their way to the data folder; loading
// the stage-1 picture can be made slow, as a big picture on a slow disk.
struct CountedPlatform : driver::CountingPlatform
{
    using CountingPlatform::CountingPlatform;
    int slowStageUpMs = 0;
    void loadPicture(const QString &path) override
    {
        if (slowStageUpMs > 0 && path.endsWith(QStringLiteral("/1.dat")))
            QThread::msleep(ulong(slowStageUpMs));
        CountingPlatform::loadPicture(path);
    }
};

// A window on a data folder, loaded, shown and activated: a round is ready.
// Wired as main() wires it, with the game's requests counted on the way.
struct Game
{
    AboutDialog about;
    DataPlatform platform;
    CountedPlatform counted{platform};
    GameWindow window{counted, platform};
    QStringList fatalErrors;

    explicit Game(const QString &dataDir = kData)
        : platform(dataDir, &about)
    {
        about.setParent(&window);
        window.setFatalHandler([this](const FatalError &error) { fatalErrors << error.message(); });
        if (window.loadForm()) {
            window.show();
            window.activateWindow();
            if (!QTest::qWaitForWindowActive(&window))
                qWarning("the window was never activated");
        }
    }

    template <typename T> T *control(const char *name) { return window.findChild<T *>(QString::fromLatin1(name)); }
    QPushButton *com() { return control<QPushButton>("Com"); }
    QLabel *lbl() { return control<QLabel>("LBl"); }
    QTimer *tim() { return control<QTimer>("Tim"); }
    QTimer *imgTim() { return control<QTimer>("ImgTim"); }
    CreatureView *img() { return control<CreatureView>("Img"); }

    void click() { QTest::mouseClick(com(), Qt::LeftButton); }
    // One move of a player aiming at an ending: a watering or a tick.
    void play(driver::Aim aim)
    {
        driver::nextMove(aim, window.fom().ShpStr.Width) == driver::Event::Click ? click() : tick();
    }
    // A timer firing, without waiting for it.
    static void fire(QTimer *timer) { QMetaObject::invokeMethod(timer, "timeout"); }
    void tick() { fire(tim()); }
    void frame() { fire(imgTim()); }
    QString caption() const { return window.fom().Com.Caption; }
};

// The colour at a point given in logical pixels, whatever the image's
// device pixel ratio.
QColor colourAt(const QImage &image, double x, double y)
{
    const qreal ratio = image.devicePixelRatio();
    return QColor(image.pixel(int(x * ratio), int(y * ratio)));
}

// Runs action once the next modal box is open: hands it the box, then
// closes it. Does nothing if no box opened.
void whenModalOpens(const std::function<void(QMessageBox *)> &action)
{
    QTimer::singleShot(0, [action] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        action(box);
        box->accept();
    });
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    // A shown window holds a round ready to start; the widgets show the
    // game's state.
    void aRoundIsReady()
    {
        Game game;
        QCOMPARE(game.window.windowTitle(), QStringLiteral("ぽこたま"));
        QCOMPARE(game.com()->text(), kStart);
        QVERIFY(game.lbl()->text().startsWith('\n'));
        QCOMPARE(game.lbl()->text(), forDisplay(game.window.fom().LBl.Caption));
        QVERIFY(!game.tim()->isActive());
        QVERIFY(game.imgTim()->isActive());
        QCOMPARE(game.imgTim()->interval(), 100);
        QVERIFY(!game.control<QLabel>("TimLbl")->isVisible());
        QVERIFY(!game.control<QWidget>("E")->isVisible());
        QCOMPARE(game.control<QWidget>("E")->size(), game.platform.picture().size());

        // Coming back to the window later starts nothing new.
        game.click();
        game.tick();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&game.window, &activate);
        QCOMPARE(game.window.fom().TimLbl.Caption, QStringLiteral("1"));
        QCOMPARE(game.com()->text(), kWater);
    }

    // The first round is there as soon as the window is shown, before any
    // activation and whether or not one ever comes: the first paint never
    // shows the design's "Label1" or its caption. Showing the window again
    // later (after it was minimised) starts nothing.
    void firstShowingStartsARound()
    {
        AboutDialog about;
        DataPlatform platform(kData, &about);
        GameWindow window(platform, platform);
        QVERIFY(window.loadForm());
        auto *com = window.findChild<QPushButton *>(QStringLiteral("Com"));
        auto *lbl = window.findChild<QLabel *>(QStringLiteral("LBl"));
        QCOMPARE(lbl->text(), QStringLiteral("Label1"));

        // No event has been handled yet: nothing has activated the window.
        window.show();
        QVERIFY(!window.isActiveWindow());
        QCOMPARE(com->text(), kStart);
        QVERIFY(lbl->text().startsWith('\n'));
        QCOMPARE(window.fom().TimLbl.Caption, QStringLiteral("0"));

        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(com, Qt::LeftButton);
        window.hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(com->text(), kWater);
    }

    // The growth clock follows the game: started by はじめぃ, 30 ms faster
    // after a stage-up, stopped by an ending.
    void growthClockFollowsTheGame()
    {
        Game game;
        game.click();
        QVERIFY(game.tim()->isActive());
        QCOMPARE(game.tim()->interval(), 400);
        QCOMPARE(game.tim()->timerType(), Qt::PreciseTimer);
        // The stage-up's tick takes at least 40 ms, loading its picture.
        game.counted.slowStageUpMs = 40;
        while (game.window.fom().Stage == 0 && game.caption() == kWater)
            game.play(driver::Aim::Love);
        QCOMPARE(game.window.fom().Stage, qint16(1));
        QVERIFY(game.tim()->isActive());
        // The new period counts from the stage-up's tick: the first one is
        // shortened by the time the tick took after setting it...
        QVERIFY2(game.tim()->interval() <= 370 - 40, qPrintable(QString::number(game.tim()->interval())));
        // ...and the clock runs at the new period from the next tick on.
        game.tick();
        QCOMPARE(game.tim()->interval(), 370);
        QVERIFY(game.tim()->isActive());
    }

    void playsToEveryEnding_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<driver::Aim>("aim");
        QTest::newRow("love") << "love" << driver::Aim::Love;
        QTest::newRow("wither") << QStringLiteral("枯れる") << driver::Aim::Wither;
        QTest::newRow("rot") << QStringLiteral("腐る") << driver::Aim::Rot;
    }

    // A whole round by clicks and timer events, then starting over through
    // the about box.
    void playsToEveryEnding()
    {
        QFETCH(QString, ending);
        QFETCH(driver::Aim, aim);
        Game game;
        game.click();
        int events = 0;
        while (game.caption() == kWater && events++ < 5000) {
            game.play(aim);
            game.frame();
        }
        QCOMPARE(game.com()->text(), kStartOver);
        QCOMPARE(game.window.fom().E.Picture, ending);
        QVERIFY(!game.tim()->isActive());
        QVERIFY(game.imgTim()->isActive());
        QCOMPARE(game.lbl()->text(), forDisplay(game.window.fom().LBl.Caption));

        QString aboutText;
        whenModalOpens([&](QMessageBox *box) { aboutText = box->text(); });
        game.click();
        QCOMPARE(aboutText, forDisplay(::aboutText()));
        QCOMPARE(game.com()->text(), kStart);
        QCOMPARE(game.window.fom().E.Picture, QStringLiteral("0"));
        QVERIFY(game.fatalErrors.isEmpty());
    }

    // The button answers Space when it has the focus, and Enter anywhere.
    void keyboardPlays()
    {
        Game game;
        game.com()->setFocus();
        QTest::keyClick(game.com(), Qt::Key_Space);
        QCOMPARE(game.caption(), kWater);
        const std::int64_t draws = game.counted.draws();
        QTest::keyClick(&game.window, Qt::Key_Return);
        QCOMPARE(game.counted.draws(), draws + 3);
    }

    // The about box: its title and three lines, OK only, no icon; it does
    // not start, stop or change a round.
    void aboutBox()
    {
        Game game;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QMessageBox::StandardButtons buttons;
        whenModalOpens([&](QMessageBox *box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
        });
        QTest::mouseClick(game.lbl(), Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("ぽこたま"));
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("ぽこたま"));
        QCOMPARE(lines[1], QStringLiteral("ばーじょん") + QStringLiteral(POKOTAMA_VERSION));
        QVERIFY(lines[2].contains(QChar(0xFF08)) && lines[2].endsWith(QChar(0xFF09)));
        QVERIFY(lines[2].contains(QStringLiteral(".example")));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(game.counted.abouts(), 1);
        QCOMPARE(game.com()->text(), kStart);
        QVERIFY(!game.tim()->isActive());
        QVERIFY(aboutText().contains("\r\n") && !aboutText().endsWith("\r\n"));
    }

    // The growth clock goes on behind the about box; a round that ends
    // there is shown ended once the box is closed, and nothing breaks.
    void roundEndsBehindTheAboutBox()
    {
        Game game;
        game.click();
        whenModalOpens([&](QMessageBox *) {
            while (game.caption() == kWater)
                game.tick();
        });
        QTest::mouseClick(game.lbl(), Qt::LeftButton);
        QCOMPARE(game.com()->text(), kStartOver);
        QCOMPARE(game.window.fom().E.Picture, QStringLiteral("枯れる"));
        QVERIFY(!game.tim()->isActive());
        QVERIFY(game.fatalErrors.isEmpty());
    }

    // The wiggle: two frames that differ, strictly alternating, in every
    // state; a round start makes frame 2 the next one.
    void wiggle()
    {
        Game game;
        CreatureView *img = game.img();
        QCOMPARE(img->frame(), 1);
        QVERIFY(img->renderFrame(1) != img->renderFrame(2));
        QList<int> frames;
        for (int i = 0; i < 4; ++i) {
            game.frame();
            frames << img->frame();
        }
        QCOMPARE(frames, (QList<int>{2, 1, 2, 1}));

        // The displayed pixels are the frame's.
        game.frame();
        QCOMPARE(img->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 img->renderFrame(2).convertToFormat(QImage::Format_RGB32));

        // After an ending and a new round start, frame 2 comes next.
        game.click();
        while (game.caption() == kWater)
            game.tick();
        game.frame();
        whenModalOpens([](QMessageBox *) {});
        game.click();
        QCOMPARE(img->frame(), 1);
        game.frame();
        QCOMPARE(img->frame(), 2);
    }

    // A newly loaded picture is what the next frame paints.
    void newPictureShowsAtTheNextFrame()
    {
        Game game;
        CreatureView *img = game.img();
        game.frame();
        const QImage stage0 = img->grab().toImage();
        game.click();
        while (game.window.fom().Stage == 0 && game.caption() == kWater)
            game.play(driver::Aim::Love);
        QCOMPARE(game.window.fom().E.Picture, QStringLiteral("1"));
        game.frame();
        game.frame();
        const QImage stage1 = img->grab().toImage();
        QVERIFY(stage1 != stage0);
        QCOMPARE(stage1.convertToFormat(QImage::Format_RGB32),
                 img->renderFrame(img->frame()).convertToFormat(QImage::Format_RGB32));
    }

    // A watering loads the stage's picture from its file again: a file
    // changed meanwhile shows at the next frame, an unchanged one keeps
    // the frames the display has already scaled.
    void wateringReloadsThePicture()
    {
        QTemporaryDir dir;
        for (const QString &name : QDir(kData).entryList(QDir::Files))
            QVERIFY(QFile::copy(kData + '/' + name, dir.path() + '/' + name));
        Game game(dir.path());
        CreatureView *img = game.img();
        game.click();
        game.frame();
        const QImage before = img->renderFrame(1);
        game.click();
        QCOMPARE(game.caption(), kWater);
        game.frame();
        // The very frames scaled before, not new ones.
        QCOMPARE(img->renderFrame(1).cacheKey(), before.cacheKey());

        // Stage 0's picture replaced by stage 1's on disk.
        QFile::remove(dir.path() + "/0.dat");
        QVERIFY(QFile::copy(kData + "/1.dat", dir.path() + "/0.dat"));
        game.click();
        QCOMPARE(game.caption(), kWater);
        game.frame();
        game.frame();
        const QImage after = img->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(after != before.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(after, img->renderFrame(img->frame()).convertToFormat(QImage::Format_RGB32));
    }

    // Each frame is scaled at the display's size in device pixels, so a
    // high-density screen shows it sharp rather than blown up.
    void crispAtAnyScale()
    {
        Game game;
        CreatureView *img = game.img();
        const qreal ratio = img->devicePixelRatioF();
        const QImage frame = img->renderFrame(1);
        QCOMPARE(frame.size(), (QSizeF(img->size()) * ratio).toSize());
        QCOMPARE(frame.devicePixelRatio(), ratio);
    }

    // The frame's strip beyond the picture's right edge is white, and the
    // picture is stretched over the whole display.
    void frameGeometry()
    {
        PictureHolder holder;
        QImage red(100, 50, QImage::Format_RGB32);
        red.fill(Qt::red);
        holder.setPicture(red);
        QCOMPARE(holder.size(), QSize(100, 50));
        CreatureView view(&holder);
        view.resize(240, 120);
        // Frame 1: the picture over the left 100/120 of the display, then white.
        const QImage one = view.renderFrame(1);
        QCOMPARE(one.size(), (QSizeF(240, 120) * view.devicePixelRatioF()).toSize());
        QCOMPARE(colourAt(one, 5, 60), QColor(Qt::red));
        QCOMPARE(colourAt(one, 190, 60), QColor(Qt::red));
        QCOMPARE(colourAt(one, 210, 60), QColor(Qt::white));
        // Frame 2: from the picture's 20th column: still red up to 80/100.
        const QImage two = view.renderFrame(2);
        QCOMPARE(colourAt(two, 180, 60), QColor(Qt::red));
        QCOMPARE(colourAt(two, 200, 60), QColor(Qt::white));
    }

    // The bar in gauge units, 800 across: cut at the gauge's right edge,
    // in the colour the game gives.
    void gauge()
    {
        Gauge gauge;
        gauge.resize(400, 20);
        ShapeState bar;
        bar.Width = 300;
        bar.Height = 1;
        bar.BackColor = colour::kRed;
        gauge.setBar(bar);
        QImage image = gauge.grab().toImage();
        QCOMPARE(colourAt(image, 140, 10), QColor(Qt::red));
        QCOMPARE(colourAt(image, 160, 10), QColor(Qt::white));

        bar.Width = 950;
        bar.BackColor = colour::kYellow;
        gauge.setBar(bar);
        image = gauge.grab().toImage();
        QCOMPARE(image.deviceIndependentSize(), QSizeF(400, 20));
        QCOMPARE(colourAt(image, 399, 10), QColor(Qt::yellow));
        QCOMPARE(colourAt(image, 0, 10), QColor(Qt::yellow));

        bar.Width = 50;
        bar.BackColor = colour::kBlue;
        gauge.setBar(bar);
        image = gauge.grab().toImage();
        QCOMPARE(colourAt(image, 10, 10), QColor(Qt::blue));
        QCOMPARE(colourAt(image, 30, 10), QColor(Qt::white));
    }

    // The controls sit on the 10 × 10 grid of the inner area.
    void layoutOnTheScreen()
    {
        Game game;
        const QSize inner = game.window.size();
        // The outer frame is the square; Qt's offscreen platform draws a
        // frame of its own around the inner area, as a window manager would.
        QCOMPARE(game.window.frameGeometry().size(), QSize(game.window.outerSide(), game.window.outerSide()));
        const QRect img = game.img()->geometry();
        QCOMPARE(img.left(), qRound(inner.width() * 0.4));
        QCOMPARE(img.top(), 0);
        QCOMPARE(img.right() + 1, inner.width());
        QCOMPARE(img.bottom() + 1, qRound(inner.height() * 0.6));
        const QRect lbl = game.lbl()->geometry();
        QCOMPARE(lbl.top(), qRound(inner.height() * 0.7));
        QCOMPARE(lbl.width(), inner.width());
        QCOMPARE(lbl.bottom() + 1, inner.height());
        const QRect com = game.com()->geometry();
        QCOMPARE(com.left(), qRound(inner.width() * 0.05));
        QCOMPARE(com.width(), qRound(inner.width() * 0.35) - qRound(inner.width() * 0.05));
        const QRect gauge = game.control<QWidget>("PicStr")->geometry();
        QCOMPARE(gauge.top(), qRound(inner.height() * 0.65));
        QCOMPARE(gauge.bottom() + 1, lbl.top());
        QVERIFY(game.lbl()->font().bold() && game.lbl()->font().italic());
        QVERIFY(qAbs(game.com()->font().pointSizeF() - 1.5 * game.lbl()->font().pointSizeF()) < 0.01);
    }

    // Data text is shown as written, never read as markup.
    void messagesArePlainText()
    {
        QTemporaryDir dir;
        for (const QString &name : QDir(kData).entryList(QDir::Files))
            QVERIFY(QFile::copy(kData + '/' + name, dir.path() + '/' + name));
        QFile opening(dir.path() + "/opn.tad");
        QVERIFY(opening.open(QIODevice::WriteOnly | QIODevice::Truncate));
        opening.write("<b>bold?</b>\r\n");
        opening.close();
        Game game(dir.path());
        QCOMPARE(game.lbl()->textFormat(), Qt::PlainText);
        QCOMPARE(game.lbl()->text(), QStringLiteral("\n<b>bold?</b>"));
    }

    // Broken data stops the game: the clocks stop and the error names the file.
    void missingPictureStopsTheGame()
    {
        QTemporaryDir dir;
        for (const QString &name : QDir(kData).entryList(QDir::Files))
            if (name != "0.dat")
                QVERIFY(QFile::copy(kData + '/' + name, dir.path() + '/' + name));
        Game game(dir.path());
        QCOMPARE(game.fatalErrors.size(), 1);
        QVERIFY2(game.fatalErrors[0].contains(dir.path() + "/0.dat"), qPrintable(game.fatalErrors[0]));
        QVERIFY(game.window.stopped());
        QVERIFY(!game.imgTim()->isActive());
        QVERIFY(!game.com()->isEnabled());
    }

    // The error dialog: the message, both languages, OK to leave.
    void errorDialog()
    {
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenModalOpens([&](QMessageBox *box) {
            text = box->text();
            icon = box->icon();
        });
        reportFatalError(FatalError(QStringLiteral("データファイル /x/opn.tad が見つかりません。"),
                                    QStringLiteral("The data file /x/opn.tad is missing.")),
                         nullptr);
        QCOMPARE(text, QStringLiteral("データファイル /x/opn.tad が見つかりません。\nThe data file /x/opn.tad is missing."));
        QCOMPARE(icon, QMessageBox::Critical);
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
