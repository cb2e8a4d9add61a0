/*
 * test_growth.cpp: the growth clock: evaporation, the stage schedule, the
 * withering and love endings, and the bar's colour.
 */
#include "game/int16.h"
#include "testing/memoryplatform.h"

#include <QTest>

class TestGrowth : public QObject
{
    Q_OBJECT

private slots:
    // Ticks counted from the start click: stage-ups at 10, 30, 60 and 100,
    // each 30 ms faster; the love ending at 150.
    void scheduleIsCumulative()
    {
        Game game;
        game.start();
        game.fom.ShpStr.Width = 5000; // never runs dry in 150 ticks of 10

        struct StageUp { int tick; qint16 stage; qint16 step; int interval; };
        const StageUp schedule[] = {{10, 1, 15, 370}, {30, 2, 20, 340}, {60, 3, 25, 310}, {100, 4, 30, 280}};
        int tick = 0;
        for (const StageUp &up : schedule) {
            while (tick < up.tick - 1) {
                game.tick(10);
                ++tick;
            }
            QCOMPARE(game.fom.Stage, qint16(up.stage - 1)); // not one tick early
            game.tick(10);
            ++tick;
            QCOMPARE(game.fom.TimLbl.Caption, QString::number(up.tick));
            QCOMPARE(game.fom.Stage, up.stage);
            QCOMPARE(game.fom.GrowthStep, up.step);
            QCOMPARE(game.fom.Tim.Interval, up.interval);
            QCOMPARE(game.platform.lastPicture(), game.path(QStringLiteral("%1.dat").arg(up.stage)));
        }
        while (tick < 149) {
            game.tick(10);
            ++tick;
        }
        QCOMPARE(game.fom.Com.Caption, texts::kWater);
        const float level = game.fom.ShpStr.Width;
        game.tick(10);
        QCOMPARE(game.fom.Stage, qint16(5));
        QCOMPARE(game.fom.Com.Caption, texts::kStartOver);
        QVERIFY(!game.fom.Tim.Enabled);
        // On the love tick no water evaporates and the clock keeps its pace.
        QCOMPARE(game.fom.ShpStr.Width, level);
        QCOMPARE(game.fom.Tim.Interval, 280);
        QCOMPARE(game.fom.GrowthStep, qint16(30));
        QCOMPARE(game.fom.LBl.Caption, QStringLiteral("\r\nlove 1\r\nlove 2"));
    }

    // A stage-up replaces the message area with the growth message and the
    // creature's speech, after an empty first line; water still evaporates.
    void stageUpMessage()
    {
        Game game;
        game.start();
        game.fom.TimLbl.Caption = "9";
        game.fom.LBl.Caption = "old text";
        game.tick(30);
        QCOMPARE(game.fom.LBl.Caption,
                 QStringLiteral("\r\n『幼いながらも』むにまるに　成長しました。\r\n「ちみちみちみちみ・・・」"));
        QCOMPARE(game.fom.ShpStr.Width, 270.0f);
    }

    // A tick that takes exactly the remaining water withers the creature;
    // the bar keeps its last level instead of showing an empty gauge.
    void exactDrainWithers()
    {
        Game game;
        game.start();
        game.fom.ShpStr.Width = 40;
        game.fom.ShpStr.BackColor = colour::kBlue;
        game.tick(40);
        QCOMPARE(game.fom.Com.Caption, texts::kStartOver);
        QCOMPARE(game.fom.E.Picture, texts::kWither);
        QCOMPARE(game.fom.ShpStr.Width, 40.0f);
        QCOMPARE(game.fom.ShpStr.BackColor, colour::kBlue);
        QCOMPARE(game.fom.TimLbl.Caption, QStringLiteral("1"));
    }

    void oneUnitLeftSurvives()
    {
        Game game;
        game.start();
        game.fom.ShpStr.Width = 41;
        game.tick(40);
        QCOMPARE(game.fom.Com.Caption, texts::kWater);
        QCOMPARE(game.fom.ShpStr.Width, 1.0f);
    }

    void colourAfterTick_data()
    {
        QTest::addColumn<float>("level");
        QTest::addColumn<quint32>("colourBefore");
        QTest::addColumn<int>("evaporation");
        QTest::addColumn<quint32>("colourAfter");
        QTest::newRow("800 stays yellow") << 810.0f << colour::kYellow << 10 << colour::kYellow;
        QTest::newRow("700 keeps red") << 710.0f << colour::kRed << 10 << colour::kRed;
        QTest::newRow("700 keeps yellow") << 710.0f << colour::kYellow << 10 << colour::kYellow;
        QTest::newRow("699 turns red") << 709.0f << colour::kYellow << 10 << colour::kRed;
        QTest::newRow("111 turns red") << 121.0f << colour::kBlue << 10 << colour::kRed;
        QTest::newRow("110 turns blue") << 120.0f << colour::kRed << 10 << colour::kBlue;
        QTest::newRow("1 turns blue") << 110.0f << colour::kYellow << 109 << colour::kBlue;
    }

    // At 700 or more the bar keeps its colour; between 111 and 699 it is
    // red; at 110 or less blue.
    void colourAfterTick()
    {
        QFETCH(float, level);
        QFETCH(quint32, colourBefore);
        QFETCH(int, evaporation);
        QFETCH(quint32, colourAfter);
        Game game;
        game.start();
        game.fom.ShpStr.Width = level;
        game.fom.ShpStr.BackColor = colourBefore;
        game.tick(evaporation);
        QCOMPARE(game.fom.ShpStr.Width, level - float(evaporation));
        QCOMPARE(game.fom.ShpStr.BackColor, colourAfter);
    }

    // Every round that reaches stage 4 leaves the next one 120 ms faster;
    // the clock stops getting faster at 10 ms instead of reaching zero.
    void intervalStopsAtItsFloor()
    {
        Game game;
        QList<int> intervals;
        for (int round = 0; round < 5; ++round) {
            game.start();
            game.fom.ShpStr.Width = 5000;
            for (int i = 0; i < 150; ++i)
                game.tick(10);
            QCOMPARE(game.fom.E.Picture, texts::kLove);
            intervals.append(game.fom.Tim.Interval);
            game.fom.ButtonClick(); // start over
        }
        QCOMPARE(intervals, (QList<int>{280, 160, 40, 10, 10}));
    }

    // The stage arithmetic is checked: numbers out of 16-bit range stop the
    // game with an error instead of wrapping around.
    void overflowIsAnError_data()
    {
        QTest::addColumn<qint16>("stage");
        QTest::addColumn<qint16>("step");
        QTest::newRow("threshold") << qint16(1) << qint16(32767);
        QTest::newRow("threshold product") << qint16(200) << qint16(200);
        QTest::newRow("stage + 1") << qint16(32767) << qint16(1);
    }

    void overflowIsAnError()
    {
        QFETCH(qint16, stage);
        QFETCH(qint16, step);
        Game game;
        game.start();
        game.fom.Stage = stage;
        game.fom.GrowthStep = step;
        try {
            game.tick(10);
            QFAIL("no error");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().contains("16-bit"), qPrintable(error.message()));
        }
    }

    // The step's own increment is checked too: a stage-up from a step at
    // the top of the range stops the game.
    void stepOverflowIsAnError()
    {
        Game game;
        game.start();
        game.fom.GrowthStep = 32765;
        game.fom.TimLbl.Caption = QStringLiteral("40000");
        try {
            game.tick(10);
            QFAIL("no error");
        } catch (const FatalError &error) {
            QVERIFY2(error.english().contains("GrowthStep + 5 = 32770"), qPrintable(error.message()));
        }
    }

    void int16Limits_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("multiply");
        QTest::addColumn<bool>("fits");
        QTest::newRow("largest sum") << 32766 << 1 << false << true;
        QTest::newRow("sum one over") << 32767 << 1 << false << false;
        QTest::newRow("smallest sum") << -32767 << -1 << false << true;
        QTest::newRow("sum one under") << -32768 << -1 << false << false;
        QTest::newRow("largest product") << 181 << 181 << true << true;
        QTest::newRow("product over") << 182 << 181 << true << false;
        QTest::newRow("most negative squared") << -32768 << -32768 << true << false;
        QTest::newRow("most negative times -1") << -32768 << -1 << true << false;
    }

    // The 16-bit operations are computed wide and then checked, so the
    // check itself never overflows (UndefinedBehaviorSanitizer runs this).
    void int16Limits()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, multiply);
        QFETCH(bool, fits);
        const int exact = multiply ? a * b : a + b;
        try {
            const qint16 result = multiply ? int16::mul(qint16(a), qint16(b), "test") : int16::add(qint16(a), qint16(b), "test");
            QVERIFY(fits);
            QCOMPARE(int(result), exact);
        } catch (const FatalError &error) {
            QVERIFY2(!fits, qPrintable(error.message()));
            QVERIFY2(error.english().contains(QString::number(exact)), qPrintable(error.message()));
        }
    }

    // A tick after the round has ended does nothing in the front ends (the
    // clock is stopped); the tick count is a plain number all round long.
    void tickCountCounts()
    {
        Game game;
        game.start();
        for (int i = 1; i <= 5; ++i) {
            game.tick(10);
            QCOMPARE(game.fom.TimLbl.Caption, QString::number(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestGrowth)
#include "test_growth.moc"
