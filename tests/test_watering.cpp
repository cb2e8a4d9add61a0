/*
 * test_watering.cpp: the button while a round runs: watering, rotting and
 * what むにまる says.
 */
#include "testing/memoryplatform.h"

#include <QTest>

class TestWatering : public QObject
{
    Q_OBJECT

private slots:
    void wateringOutcome_data()
    {
        QTest::addColumn<float>("level");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("roll");
        QTest::addColumn<bool>("rots");
        QTest::addColumn<float>("levelAfter");
        QTest::addColumn<quint32>("colourAfter");
        QTest::newRow("590 + 109: safe whatever the roll") << 590.0f << 109 << 99 << false << 699.0f << colour::kRed;
        QTest::newRow("sum 700, roll 70: rots") << 591.0f << 109 << 70 << true << 591.0f << colour::kRed;
        QTest::newRow("sum 700, roll 69: yellow") << 591.0f << 109 << 69 << false << 700.0f << colour::kYellow;
        QTest::newRow("sum 999, roll 0: yellow") << 890.0f << 109 << 0 << false << 999.0f << colour::kYellow;
        QTest::newRow("sum 1000, roll 0: rots") << 891.0f << 109 << 0 << true << 891.0f << colour::kRed;
        QTest::newRow("smallest amount") << 300.0f << 10 << 99 << false << 310.0f << colour::kRed;
    }

    // The creature rots at a level of 1000 or more, or 700 or more with a
    // roll of 70 or more; a rot leaves the bar where it was.
    void wateringOutcome()
    {
        QFETCH(float, level);
        QFETCH(int, amount);
        QFETCH(int, roll);
        QFETCH(bool, rots);
        QFETCH(float, levelAfter);
        QFETCH(quint32, colourAfter);
        Game game;
        game.start();
        game.fom.ShpStr.Width = level;
        game.water(amount, roll);
        QCOMPARE(game.fom.Com.Caption, rots ? texts::kStartOver : texts::kWater);
        QCOMPARE(game.fom.E.Picture, rots ? texts::kRot : QStringLiteral("0"));
        QCOMPARE(game.fom.ShpStr.Width, levelAfter);
        QCOMPARE(game.fom.ShpStr.BackColor, colourAfter);
        QCOMPARE(game.fom.Tim.Enabled, !rots);
        QCOMPARE(game.platform.drawn, std::int64_t(rots ? 2 : 3));
    }

    // Watering never turns the bar red or blue: a blue bar stays blue until
    // the next growth tick.
    void wateringKeepsBlue()
    {
        Game game;
        game.start();
        game.fom.ShpStr.Width = 100;
        game.fom.ShpStr.BackColor = colour::kBlue;
        game.water(50, 0);
        QCOMPARE(game.fom.ShpStr.Width, 150.0f);
        QCOMPARE(game.fom.ShpStr.BackColor, colour::kBlue);
        game.tick(10);
        QCOMPARE(game.fom.ShpStr.BackColor, colour::kRed);
    }

    // Each watering shows line k of the current stage's group, replacing
    // the message area, and reloads the stage's picture.
    void wateringShowsAStageMessage()
    {
        Game game;
        game.start();
        game.water(20, 0, 7);
        QCOMPARE(game.fom.LBl.Caption, QStringLiteral("\r\ng0 l7"));
        QCOMPARE(game.platform.lastPicture(), game.path("0.dat"));

        game.fom.Stage = 3;
        const qsizetype loads = game.platform.pictureLoads;
        game.water(20, 0, 9);
        QCOMPARE(game.fom.LBl.Caption, QStringLiteral("\r\ng3 l9"));
        QCOMPARE(game.platform.pictureLoads, loads + 1);
        QCOMPARE(game.platform.lastPicture(), game.path("3.dat"));
    }

    // An empty entry of the table shows only the empty first line.
    void emptyMessageShowsEmptyLine()
    {
        MemoryPlatform platform;
        platform.addStandardData();
        platform.addText("muni", {"only line"});
        Fom fom(platform);
        fom.LoadForm();
        fom.FormActivate();
        fom.ButtonClick();
        platform.draws = {drawForPercent(10), drawForPercent(0), drawForTenth(4)};
        fom.ButtonClick();
        QCOMPARE(fom.LBl.Caption, QStringLiteral("\r\n"));
    }

    // The message area, the about box: neither starts, stops or changes a round.
    void aboutBoxLeavesTheRoundAlone()
    {
        Game game;
        game.start();
        game.tick(20);
        const QString text = game.fom.LBl.Caption;
        game.fom.AboutClick();
        QCOMPARE(game.platform.aboutBoxes, 1);
        QVERIFY(game.fom.Tim.Enabled);
        QCOMPARE(game.fom.Com.Caption, texts::kWater);
        QCOMPARE(game.fom.LBl.Caption, text);
        QCOMPARE(game.platform.drawn, std::int64_t(1));
    }
};

QTEST_GUILESS_MAIN(TestWatering)
#include "test_watering.moc"
