/*
 * windowgame.h: the game in its real window for tests, wired as main()
 * wires it, with the timers fired by hand and modal boxes answered.
 */
#pragma once

#include "common/fatalerror.h"
#include "driver/driver.h"
#include "services/dataplatform.h"
#include "testing/player.h"
#include "ui/about.h"
#include "ui/creatureview.h"
#include "ui/window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>
#include <type_traits>

inline const QString kData = QStringLiteral(POKOTAMA_DATA);
inline const QString kStart = QStringLiteral("はじめぃ");
inline const QString kWater = QStringLiteral("水をやる");
inline const QString kStartOver = QStringLiteral("やりなおし～");

// Runs action once the next modal box is open, if one opens within two
// seconds and before the test's game is gone: hands it the box, then
// closes it.
template <typename Box = QMessageBox> inline void whenModalOpens(const std::type_identity_t<std::function<void(Box *)>> &action)
{
    auto *poll = new QTimer(qApp);
    poll->setObjectName(QStringLiteral("whenModalOpens"));
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, action] {
        auto *box = qobject_cast<Box *>(QApplication::activeModalWidget());
        if (!box && waited->elapsed() < 2000)
            return;
        poll->stop();
        poll->deleteLater();
        if (box) {
            action(box);
            box->accept();
        }
    });
    poll->start(0);
}

// Forgets every box still awaited: their actions belong to a test that is over.
inline void forgetModalBoxes()
{
    qDeleteAll(qApp->findChildren<QTimer *>(QStringLiteral("whenModalOpens"), Qt::FindDirectChildrenOnly));
}

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
    DataPlatform platform;
    CountedPlatform counted{platform};
    GameWindow window{counted, platform};
    QStringList fatalErrors;

    explicit Game(const QString &dataDir = kData)
        : platform(dataDir, [this] { showAboutBox(&window); })
    {
        window.setFatalHandler([this](const FatalError &error) { fatalErrors << error.message(); });
        if (window.loadForm()) {
            window.show();
            window.activateWindow();
            if (!QTest::qWaitForWindowActive(&window))
                qWarning("the window was never activated");
        }
    }

    ~Game() { forgetModalBoxes(); }

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
    // The moment the button rests after an ending, over.
    void endRest() { fire(control<QTimer>("EndingPause")); }
    void frame() { fire(imgTim()); }
    QString caption() const { return window.fom().Com.Caption; }
};
