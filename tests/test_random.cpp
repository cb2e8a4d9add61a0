/*
 * test_random.cpp: the random sequence, and how many draws each event takes.
 *
 * The generator is never seeded, so a game is fixed by its events. A draw
 * too many or too few anywhere shifts every later draw and changes the rest
 * of the game, so the count per event is guarded here as closely as the
 * values themselves.
 */
#include "testing/memoryplatform.h"

#include <QTest>

class TestRandom : public QObject
{
    Q_OBJECT

private slots:
    // The unseeded generator starts with the same three numbers every run.
    void firstDrawsAreFixed()
    {
        Rnd rnd;
        QCOMPARE(rnd.next(), 0.7055475f);
        QCOMPARE(rnd.next(), 0.5334240f);
        QCOMPARE(rnd.next(), 0.5795186f);
    }

    // Every draw lies in [0, 1) and the sequence goes on without sticking.
    void drawsStayInRange()
    {
        Rnd rnd;
        float previous = -1;
        int repeats = 0;
        for (int i = 0; i < 100000; ++i) {
            const float r = rnd.next();
            QVERIFY(r >= 0.0f && r < 1.0f);
            repeats += (r == previous);
            previous = r;
        }
        QCOMPARE(repeats, 0);
    }

    // Amounts are computed in single precision: a draw a hair below 0.13
    // gives 13 when multiplied as a float, where exact arithmetic gives 12.
    void amountsUseSinglePrecision()
    {
        const float justBelow = 2181038.0f / 16777216.0f;
        Game game;
        game.start();
        game.platform.draws = {justBelow, drawForPercent(0), drawForTenth(0)};
        game.fom.ButtonClick();
        QCOMPARE(game.fom.ShpStr.Width, 300.0f + 23.0f);

        game.platform.draws = {justBelow};
        game.fom.GrowthTick();
        QCOMPARE(game.fom.ShpStr.Width, 323.0f - 23.0f);
    }

    void drawsPerEvent_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("draws");
        QTest::newRow("start click") << "start" << 0;
        QTest::newRow("growth tick") << "tick" << 1;
        QTest::newRow("stage-up tick") << "stageup" << 1;
        QTest::newRow("watering") << "water" << 3;
        QTest::newRow("watering that rots") << "rot" << 2;
        QTest::newRow("tick that withers") << "wither" << 1;
        QTest::newRow("love-ending tick") << "love" << 1;
        QTest::newRow("start over") << "startover" << 0;
        QTest::newRow("about box") << "about" << 0;
        QTest::newRow("wiggle frame") << "frame" << 0;
    }

    // Each event draws exactly as many numbers as the rules say.
    void drawsPerEvent()
    {
        QFETCH(QString, event);
        QFETCH(int, draws);

        Game game;
        if (event != "start")
            game.start();
        // Put the game just before the event.
        if (event == "stageup")
            game.fom.TimLbl.Caption = "9";
        if (event == "love") {
            game.fom.Stage = 4;
            game.fom.GrowthStep = 30;
            game.fom.TimLbl.Caption = "149";
        }
        if (event == "rot")
            game.fom.ShpStr.Width = 990;
        if (event == "wither")
            game.fom.ShpStr.Width = 5;
        if (event == "startover")
            game.fom.EndRound(texts::kWither);

        const std::int64_t before = game.platform.drawn;
        if (event == "start" || event == "water" || event == "rot" || event == "startover")
            game.fom.ButtonClick();
        else if (event == "about")
            game.fom.AboutClick();
        else if (event == "frame")
            game.fom.WiggleTick();
        else
            game.fom.GrowthTick();
        QCOMPARE(game.platform.drawn - before, std::int64_t(draws));

        if (event == "rot")
            QCOMPARE(game.fom.E.Picture, texts::kRot);
        if (event == "wither")
            QCOMPARE(game.fom.E.Picture, texts::kWither);
        if (event == "love")
            QCOMPARE(game.fom.E.Picture, texts::kLove);
    }
};

QTEST_GUILESS_MAIN(TestRandom)
#include "test_random.moc"
