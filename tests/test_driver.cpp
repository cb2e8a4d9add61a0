/*
 * test_driver.cpp: the game without a window: events delivered as the
 * window delivers them, what the game asked for counted, and the rules'
 * promises checked after each event.
 */
#include "driver/driver.h"
#include "testing/memoryplatform.h"
#include "testing/player.h"
#include "testing/rules.h"

#include <QRandomGenerator>
#include <QTest>

using driver::Event;

namespace {

// A driver over the standard data in memory, loaded: a round is ready.
struct Session
{
    MemoryPlatform platform;
    driver::Driver game{platform};

    Session()
    {
        platform.addStandardData();
        game.send(Event::Load);
    }
};

} // namespace

class TestDriver : public QObject
{
    Q_OBJECT

private slots:
    // Each event by its name, and nothing else: the simulator trims
    // its lines before asking.
    void eventsByName()
    {
        for (Event event : {Event::Load, Event::Tick, Event::Frame, Event::Click, Event::About})
            QCOMPARE(driver::eventNamed(QString::fromLatin1(driver::nameOf(event))), std::optional(event));
        for (const char *name : {"", "Tick", "tick ", "jump", "loa"})
            QVERIFY(!driver::eventNamed(QString::fromLatin1(name)));
    }

    // load is the window opening and its first activation: a round is ready.
    void loadPutsARoundOnTheScreen()
    {
        Session session;
        const driver::Driver &game = session.game;
        QCOMPARE(game.fom().Com.Caption, texts::kStart);
        QCOMPARE(game.fom().StageMsg[1][0], QStringLiteral("g1 l0"));
        QCOMPARE(game.fom().LBl.Caption, QStringLiteral("\r\nopening 1\r\nopening 2"));
    }

    // The growth clock stands before the start click and after an ending:
    // a tick then reaches nothing and draws nothing.
    void ticksReachTheGameOnlyWhileTheClockRuns()
    {
        Session session;
        driver::Driver &game = session.game;
        game.send(Event::Tick);
        QCOMPARE(game.fom().TimLbl.Caption, QStringLiteral("0"));
        QCOMPARE(game.draws(), 0);

        game.send(Event::Click);
        game.send(Event::Tick);
        QCOMPARE(game.fom().TimLbl.Caption, QStringLiteral("1"));
        QCOMPARE(game.draws(), 1);

        while (game.fom().Com.Caption == texts::kWater)
            game.send(Event::Tick);
        const QString count = game.fom().TimLbl.Caption;
        const std::int64_t draws = game.draws();
        game.send(Event::Tick);
        QCOMPARE(game.fom().TimLbl.Caption, count);
        QCOMPARE(game.draws(), draws);
    }

    // The counts are the game's requests, passed on to the platform.
    void countsWhatTheGameAsksFor()
    {
        Session session;
        driver::Driver &game = session.game;
        const MemoryPlatform &platform = session.platform;
        game.send(Event::About);
        QCOMPARE(game.abouts(), 1);
        QCOMPARE(platform.aboutBoxes, 1);
        game.send(Event::Click);
        game.send(Event::Click); // a watering: amount, roll, message line
        QCOMPARE(game.draws(), 3);
        QCOMPARE(platform.drawn, 3);
        while (game.fom().Com.Caption == texts::kWater)
            game.send(Event::Click);
        game.send(Event::Click); // start over, through the about box
        QCOMPARE(game.abouts(), 2);
        QCOMPARE(game.fom().Com.Caption, texts::kStart);
    }

    // A session of random play keeps every promise, and plays every ending.
    void randomPlayKeepsThePromises()
    {
        MemoryPlatform platform;
        platform.addStandardData();
        driver::Driver game(platform);
        driver::RuleCheck rules;
        rules.before(game);
        game.send(Event::Load);
        QCOMPARE(rules.after(game, Event::Load), nullptr);
        QRandomGenerator random(7);
        QSet<QString> endings;
        for (int i = 0; i < 20000; ++i) {
            const Event events[] = {Event::Tick, Event::Tick, Event::Click, Event::Frame, Event::About};
            Event event = events[random.bounded(5)];
            // Every third round aims at the love ending.
            if (game.fom().Com.Caption == texts::kWater && endings.size() % 3 == 0 && event != Event::About)
                event = driver::nextMove(driver::Aim::Love, game.fom().ShpStr.Width);
            rules.before(game);
            game.send(event);
            QCOMPARE(rules.after(game, event), nullptr);
            if (game.fom().Com.Caption == texts::kStartOver)
                endings.insert(game.fom().E.Picture);
        }
        QCOMPARE(endings, (QSet<QString>{texts::kLove, texts::kWither, texts::kRot}));
    }

    // A tick behind an about box that waits for the player draws during a
    // click on the message area: the check says so.
    void brokenPromisesAreCaught()
    {
        Session session;
        driver::Driver &game = session.game;
        driver::RuleCheck rules;
        game.send(Event::Click);
        session.platform.onAbout = [&] { game.send(Event::Tick); };
        rules.before(game);
        game.send(Event::About);
        QCOMPARE(rules.after(game, Event::About), "the random draws did not grow as the event takes");
    }
};

QTEST_GUILESS_MAIN(TestDriver)
#include "test_driver.moc"
