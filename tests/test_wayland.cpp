/*
 * test_wayland.cpp: the game's window on a real Wayland compositor, run by
 * wayland_window.sh inside Weston's headless compositor. Weston has no
 * input device there, so it never activates a window; and a window that
 * is maximised or made full screen must take the size Weston gives it, or
 * Weston ends its connection, and Qt the program.
 */
#include "services/dataplatform.h"
#include "ui/about.h"
#include "ui/layout.h"
#include "ui/window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

const QString kData = QStringLiteral(POKOTAMA_DATA);

// The game's window, wired as main() wires it, loaded and shown.
struct Game
{
    DataPlatform platform{kData, [this] { showAboutBox(&window); }};
    GameWindow window{platform, platform};
    bool loaded = false;

    Game()
    {
        loaded = window.loadForm();
        window.show();
    }

    template <typename T> T *control(const char *name) { return window.findChild<T *>(QString::fromLatin1(name)); }
};

// The controls keep their places on the grid: the inner area the window
// asked for, or, in another size, the largest area of its proportions,
// centred.
void checkGrid(Game &game)
{
    const QSize inner = game.window.size();
    const QSize asked = game.window.askedInner();
    const QRect area = layout::gameArea(inner, asked).rect;
    QVERIFY(QRect(QPoint(0, 0), inner).contains(area));
    QVERIFY(area.width() == inner.width() || area.height() == inner.height());
    QVERIFY(qAbs(area.center().x() - inner.width() / 2) <= 1 && qAbs(area.center().y() - inner.height() / 2) <= 1);
    QVERIFY(qAbs(double(area.width()) / area.height() - double(asked.width()) / asked.height()) < 0.01);
    QCOMPARE(game.control<QWidget>("Img")->geometry(), layout::place(area, layout::kCreature));
    QCOMPARE(game.control<QWidget>("LBl")->geometry(), layout::place(area, layout::kMessages));
    QCOMPARE(game.control<QWidget>("Com")->geometry(), layout::place(area, layout::kButton));
    QCOMPARE(game.control<QWidget>("PicStr")->geometry(), layout::place(area, layout::kGauge));
}

// The window's frame as the compositor has it now: the native window's,
// since the widget's own lags behind a change of the decorations.
QSize frameOf(Game &game)
{
    return game.window.windowHandle()->frameGeometry().size();
}

} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QGuiApplication::platformName().startsWith(QLatin1String("wayland"))); }

    // Nothing ever activates the window, and the first round is there all
    // the same; the frame (Qt draws it on Wayland, and may add it only
    // with the compositor's first answer) is the game's square from the
    // moment the window is on the screen.
    void startsWithoutActivation()
    {
        Game game;
        QVERIFY(game.loaded);
        QVERIFY(QTest::qWaitForWindowExposed(&game.window));
        QCOMPARE(frameOf(game), QSize(game.window.outerSide(), game.window.outerSide()));
        QTest::qWait(500);
        QVERIFY(!game.window.isActiveWindow());
        QCOMPARE(game.control<QPushButton>("Com")->text(), QStringLiteral("はじめぃ"));
        QVERIFY(game.control<QLabel>("LBl")->text().startsWith('\n'));
        QVERIFY(game.control<QWidget>("Img")->isVisible());
        QCOMPARE(frameOf(game), QSize(game.window.outerSide(), game.window.outerSide()));
        checkGrid(game);
    }

    // Maximised or full screen, as the title bar's button or the compositor
    // asks: the game lives on, drawing ten frames a second in the size it
    // is given, and gets its own size back when the state is left.
    void takesTheCompositorsSize_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("maximised") << Qt::WindowMaximized;
        QTest::newRow("full screen") << Qt::WindowFullScreen;
    }

    void takesTheCompositorsSize()
    {
        QFETCH(Qt::WindowState, state);
        Game game;
        QVERIFY(QTest::qWaitForWindowExposed(&game.window));
        QTest::qWait(300);
        const QSize normal = game.window.size();

        game.window.setWindowState(state);
        QTRY_VERIFY_WITH_TIMEOUT(game.window.size().width() > normal.width(), 5000);
        QTest::qWait(1500);
        const QRect screen = game.window.screen()->geometry();
        QVERIFY(game.window.width() <= screen.width() && game.window.height() <= screen.height());
        QVERIFY(game.window.height() > normal.height());
        checkGrid(game);

        game.window.setWindowState(Qt::WindowNoState);
        QTRY_COMPARE_WITH_TIMEOUT(game.window.size(), normal, 5000);
        QTest::qWait(500);
        QCOMPARE(game.window.size(), normal);
        QCOMPARE(frameOf(game), QSize(game.window.outerSide(), game.window.outerSide()));
        checkGrid(game);
    }
};

QTEST_MAIN(TestWayland)
#include "test_wayland.moc"
