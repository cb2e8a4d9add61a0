/*
 * test_window.cpp: the game in its real window, driven by clicks, keys and
 * timer events, on Qt's offscreen platform.
 */
#include "common/fatalerror.h"
#include "testing/windowgame.h"
#include "ui/about.h"
#include "ui/clickablelabel.h"
#include "ui/creatureview.h"
#include "ui/fonts.h"
#include "ui/gauge.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

// The colour at a point given in logical pixels, whatever the image's
// device pixel ratio.
QColor colourAt(const QImage &image, double x, double y)
{
    const qreal ratio = image.devicePixelRatio();
    return QColor(image.pixel(int(x * ratio), int(y * ratio)));
}

// The about box's text as it shows it.
QString shownText(const QMessageBox *box)
{
    QTextDocument document;
    document.setHtml(box->text());
    return document.toPlainText();
}

// The white pixels that ink encloses: those no path of white pixels
// joins to the image's edge (ink is darker than mid-grey).
int enclosedWhite(const QImage &image)
{
    const int width = image.width();
    const int height = image.height();
    const auto white = [&](int x, int y) { return qGray(image.pixel(x, y)) >= 128; };
    QList<bool> reached(qsizetype(width) * height, false);
    QList<QPoint> edge;
    for (int x = 0; x < width; ++x)
        edge << QPoint(x, 0) << QPoint(x, height - 1);
    for (int y = 0; y < height; ++y)
        edge << QPoint(0, y) << QPoint(width - 1, y);
    int whites = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            whites += white(x, y);
    while (!edge.isEmpty()) {
        const QPoint p = edge.takeLast();
        if (p.x() < 0 || p.y() < 0 || p.x() >= width || p.y() >= height || !white(p.x(), p.y()))
            continue;
        bool &seen = reached[qsizetype(p.y()) * width + p.x()];
        if (seen)
            continue;
        seen = true;
        --whites;
        edge << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
    }
    return whites;
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
        DataPlatform platform(kData, [] { showAboutBox(nullptr); });
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
        whenModalOpens([&](QMessageBox *box) { aboutText = shownText(box); });
        game.endRest();
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

    // A key held down acts once: its repeats water nothing and open or
    // close no box, in the window and in the about box.
    void heldKeysActOnce()
    {
        Game game;
        const auto repeat = [](QObject *target, Qt::Key key) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(target, &press);
        };
        game.com()->setFocus();
        QTest::keyClick(&game.window, Qt::Key_Return);
        QCOMPARE(game.caption(), kWater);
        const std::int64_t draws = game.counted.draws();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_L})
            repeat(&game.window, key);
        repeat(game.com(), Qt::Key_Space);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(game.com(), &release);
        QCOMPARE(game.counted.draws(), draws);
        QCOMPARE(game.counted.abouts(), 0);

        // F1's repeats open no box; the press that opens one, held, leaves
        // it open. (Two boxes awaited, so that a wrong one fails the test
        // rather than waiting for a player.)
        int boxes = 0;
        bool stayed = false;
        for (int i = 0; i < 2; ++i)
            whenModalOpens([&](QMessageBox *box) {
                ++boxes;
                repeat(box, Qt::Key_Return);
                stayed = box->isVisible();
            });
        repeat(&game.window, Qt::Key_F1);
        QTest::keyClick(&game.window, Qt::Key_F1);
        QCOMPARE(boxes, 1);
        QVERIFY(stayed);
        QCOMPARE(game.counted.abouts(), 1);
    }

    // The about box: its title and three lines, OK only, no icon; it does
    // not start, stop or change a round. It is white with black text and
    // each of its lines is one line, whatever the desktop's colours.
    void aboutBox()
    {
        const QPalette system = QApplication::palette();
        QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x23, 0x26, 0x29));
        dark.setColor(QPalette::WindowText, QColor(0xfc, 0xfc, 0xfc));
        QApplication::setPalette(dark);
        Game game;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QMessageBox::StandardButtons buttons;
        QFont font;
        QImage look;
        double lineSpacings = 0;
        whenModalOpens([&](QMessageBox *box) {
            font = box->font();
            title = box->windowTitle();
            text = shownText(box);
            icon = box->icon();
            buttons = box->standardButtons();
            look = box->grab().toImage();
            for (const QLabel *label : box->findChildren<QLabel *>())
                if (label->text() == box->text())
                    lineSpacings = label->height() / double(QFontMetrics(label->font()).lineSpacing());
        });
        QTest::mouseClick(game.lbl(), Qt::LeftButton);
        QApplication::setPalette(system);
        QCOMPARE(title, QStringLiteral("ぽこたま"));
        // In the game's face, as large as its messages.
        QCOMPARE(font.families(), game.lbl()->font().families());
        QCOMPARE(font.pointSizeF(), game.lbl()->font().pointSizeF());
        QCOMPARE(colourAt(look, 2, 2), QColor(Qt::white));
        qint64 darkest = 255;
        for (int y = 0; y < look.height(); ++y)
            for (int x = 0; x < look.width(); ++x)
                darkest = qMin(darkest, qint64(qGray(look.pixel(x, y))));
        QCOMPARE(darkest, 0); // black text
        QVERIFY2(lineSpacings > 2.5 && lineSpacings < 3.5, qPrintable(QString::number(lineSpacings)));
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

    // While the about box from the message area is open the growth clock
    // holds, whatever else the window does meanwhile; once it is closed the
    // clock goes on with what was left of its period.
    void aboutBoxHoldsTheGrowthClock()
    {
        Game game;
        game.click();
        QVERIFY(game.tim()->isActive());
        bool heldInTheBox = false;
        whenModalOpens([&](QMessageBox *) {
            game.frame(); // the window keeps painting
            heldInTheBox = !game.tim()->isActive();
        });
        QTest::mouseClick(game.lbl(), Qt::LeftButton);
        QVERIFY(heldInTheBox);
        QVERIFY(game.tim()->isActive());
        QVERIFY(game.tim()->interval() <= 400);
        QCOMPARE(game.window.fom().TimLbl.Caption, QStringLiteral("0"));
        // The next tick restores the whole period.
        game.tick();
        QCOMPARE(game.tim()->interval(), 400);
        QVERIFY(game.fatalErrors.isEmpty());
    }

    // For a moment after an ending the button takes no click, Enter or
    // Space, so the rest of the burst of clicks that ended the round does
    // not start the next one over the ending unread.
    void buttonRestsAfterAnEnding()
    {
        Game game;
        game.click();
        while (game.caption() == kWater)
            game.play(driver::Aim::Rot);
        QVERIFY(!game.com()->isEnabled());
        int boxes = 0;
        whenModalOpens([&](QMessageBox *) { ++boxes; });
        game.click();
        QTest::keyClick(&game.window, Qt::Key_Return);
        QTest::keyClick(game.com(), Qt::Key_Space);
        QApplication::processEvents();
        QCOMPARE(boxes, 0);
        QCOMPARE(game.caption(), kStartOver);
        QCOMPARE(game.counted.abouts(), 0);

        game.endRest();
        QVERIFY(game.com()->isEnabled());
        QVERIFY(game.com()->hasFocus());
        whenModalOpens([&](QMessageBox *) { ++boxes; });
        QTest::keyClick(game.com(), Qt::Key_Space);
        QCOMPARE(boxes, 1);
        QCOMPARE(game.caption(), kStart);
    }

    // The button is white in every state; the keyboard focus shows as a
    // ring around it.
    void buttonStaysWhite()
    {
        Game game;
        QPushButton *com = game.com();
        const QPoint middle(com->width() / 2, com->height() / 8 * 3);
        game.window.setFocus();
        const QImage plain = com->grab().toImage();
        com->setFocus(Qt::TabFocusReason);
        const QImage focused = com->grab().toImage();
        QCOMPARE(QColor(focused.pixel(middle * focused.devicePixelRatio())), QColor(Qt::white));
        QCOMPARE(QColor(plain.pixel(middle * plain.devicePixelRatio())), QColor(Qt::white));
        // The ring: the edge darkens with the focus.
        const QPoint edge(com->width() / 2, 1);
        QVERIFY(qGray(focused.pixel(edge * focused.devicePixelRatio())) < qGray(plain.pixel(edge * plain.devicePixelRatio())));
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
        game.endRest();
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
        // The window shows the platform's picture and keeps no copy, so the
        // platform frees it before decoding the next: a stage-up never
        // holds two decoded pictures.
        QVERIFY(game.platform.picture().isDetached());
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

    // Without a screen reader a round never opens MeCab's library, which
    // the game opens itself, only for a reader, to start quicker.
    void noReaderNoMeCab()
    {
        Game game;
        game.click();
        game.play(driver::Aim::Love);
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("libmecab"));
    }

    // The frame's strip beyond the picture's right edge is white, and the
    // picture is stretched over the whole display.
    void frameGeometry()
    {
        struct : PictureSource
        {
            QImage red{100, 50, QImage::Format_RGB32};
            const QImage &picture() const override { return red; }
        } source;
        source.red.fill(Qt::red);
        PictureHolder holder(source);
        holder.pictureChanged();
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
        QCOMPARE(colourAt(image, 396, 10), QColor(Qt::yellow));
        QCOMPARE(colourAt(image, 3, 10), QColor(Qt::yellow));
        // Its outline is dark, at the gauge's edges too.
        QVERIFY(qGray(image.pixel(0, image.height() / 2)) < 100);
        QVERIFY(qGray(image.pixel(image.width() - 1, image.height() / 2)) < 100);

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

    void imposedSizes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("short, maximised on a small screen") << QSize(960, 508);
        QTest::newRow("a wide tile") << QSize(1916, 1053);
        QTest::newRow("a narrow tile") << QSize(500, 1000);
    }

    // A window manager that gives the window another size than it asked
    // for: the grid keeps its proportions, centred, and the messages'
    // font follows it, so every line of the opening still shows.
    void imposedSizes()
    {
        QFETCH(QSize, size);
        Game game;
        const QSize asked = game.window.askedInner();
        const double points = game.lbl()->font().pointSizeF();
        QCOMPARE(game.window.size(), asked);

        game.window.setFixedSize(size);
        const QRect img = game.img()->geometry();
        const QRect lbl = game.lbl()->geometry();
        const double scale = std::min(double(size.width()) / asked.width(), double(size.height()) / asked.height());
        QVERIFY(qAbs(img.height() - 0.6 * asked.height() * scale) <= 1);
        QVERIFY(qAbs(double(img.width()) / img.height() - 0.6 * asked.width() / (0.6 * asked.height())) < 0.02);
        QVERIFY(qAbs((lbl.left() + lbl.right() + 1) - size.width()) <= 1); // centred
        QVERIFY(lbl.bottom() < size.height());
        QVERIFY(qAbs(game.lbl()->font().pointSizeF() - points * scale) < 0.01);
        QVERIFY(qAbs(game.com()->font().pointSizeF() - 1.5 * points * scale) < 0.01);
        const QRect text = QFontMetrics(game.lbl()->font())
                                   .boundingRect(QRect(0, 0, lbl.width(), 10000),
                                                 int(game.lbl()->alignment()) | Qt::TextWordWrap, game.lbl()->text());
        QVERIFY2(text.height() <= lbl.height(), qPrintable(QStringLiteral("%1 > %2").arg(text.height()).arg(lbl.height())));

        // Given its own size back, it is as it was.
        game.window.setFixedSize(asked);
        QCOMPARE(game.lbl()->font().pointSizeF(), points);
        QCOMPARE(game.lbl()->geometry().width(), asked.width());
    }

    void messagesBoldAtEverySize_data()
    {
        QTest::addColumn<int>("pixels");
        for (int pixels : {20, 63, 64, 96})
            QTest::addRow("%d px", pixels) << pixels;
    }

    // The message text is bold italic however large the screen makes it:
    // it takes clearly more ink than the same text without the bold.
    void messagesBoldAtEverySize()
    {
        QFETCH(int, pixels);
        const auto ink = [pixels](bool bold) {
            ClickableLabel label(QStringLiteral("「はじめぃ」を押すと　むにまるが　育ちはじめます。"));
            QFont font = gameFont(12, true);
            font.setPixelSize(pixels);
            font.setBold(bold);
            label.setFont(font);
            label.setWordWrap(true);
            label.resize(pixels * 30, pixels * 3);
            const QImage image = label.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
            qint64 sum = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    sum += 255 - image.pixelColor(x, y).value();
            return double(sum);
        };
        QVERIFY2(ink(true) > 1.2 * ink(false), qPrintable(QString::number(ink(true) / ink(false))));
    }

    void boldKeepsCountersOpen_data()
    {
        QTest::addColumn<QString>("kanji");
        QTest::addColumn<int>("pixels");
        for (const char *kanji : {"育", "着"})
            for (int pixels : {16, 20, 32, 64, 96})
                QTest::addRow("%s %d px", kanji, pixels) << QString::fromUtf8(kanji) << pixels;
    }

    // The bold of dense kanji keeps their counters open: the white that
    // their strokes enclose is still there, on a screen that scales its
    // pixels (this test also runs at 1.5 and 2 device pixels a pixel), at
    // a 4K screen's sizes and in a window made short. (From 20 to 63 px on
    // whole pixels, Qt's own bold.)
    void boldKeepsCountersOpen()
    {
        QFETCH(QString, kanji);
        QFETCH(int, pixels);
        if (qApp->devicePixelRatio() == 1 && pixels >= 20 && pixels < 64)
            QSKIP("Qt's own bold");
        const auto enclosed = [&](bool bold) {
            ClickableLabel label(kanji);
            QFont font = gameFont(12, true);
            font.setPixelSize(pixels);
            font.setBold(bold);
            label.setFont(font);
            label.resize(pixels * 2, pixels * 2);
            return enclosedWhite(label.grab().toImage());
        };
        const int regular = enclosed(false);
        QVERIFY(regular > 0);
        QVERIFY2(enclosed(true) >= 0.35 * regular,
                 qPrintable(QStringLiteral("%1 of %2").arg(enclosed(true)).arg(regular)));
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
        QRect box;
        whenModalOpens<QDialog>([&](QDialog *dialog) {
            text = dialog->findChild<QLabel *>(QStringLiteral("text"))->text();
            box = dialog->frameGeometry();
        });
        reportProblems({FatalError(QStringLiteral("データファイル /x/opn.tad が見つかりません。"),
                                   QStringLiteral("The data file /x/opn.tad is missing.")),
                        FatalError(QStringLiteral("絵のファイル /x/a/very/long/folder/name/that/must/not/break/0.dat が空です。"),
                                   QStringLiteral("The picture /x/a/very/long/folder/name/that/must/not/break/0.dat is empty."))},
                       nullptr);
        // Both problems, then what to do, one language a line.
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines[0], QStringLiteral("データファイル /x/opn.tad が見つかりません。"));
        QCOMPARE(lines[1], QStringLiteral("The data file /x/opn.tad is missing."));
        QVERIFY(lines[6].contains(QStringLiteral("入れ直して")));
        QVERIFY(lines[7].contains(QStringLiteral("reinstall")));
        QVERIFY(!text.contains(QStringLiteral("Qt")));
        // Centred on the screen, with room for the longest path on a line.
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2((box.center() - centre).manhattanLength() < 40, qPrintable(QStringLiteral("%1,%2").arg(box.x()).arg(box.y())));
        const QFontMetrics metrics(QApplication::font());
        QVERIFY(box.width() > metrics.horizontalAdvance(QStringLiteral("/x/a/very/long/folder/name/that/must/not/break/0.dat")));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
